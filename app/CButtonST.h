#pragma once
// An owner-drawn push button with an icon, for the captionless main window's close and
// minimise buttons. Flat by default with hover tracking: entering the button switches the
// hover state on and redraws it once, leaving switches it off and redraws it once.
// A click takes the focus, then (check-box mode) toggles, or shows the attached menu below
// the button, or opens the address; then it reaches the parent as an ordinary click.
#include <QColor>
#include <QIcon>
#include <QPushButton>
#include <QString>

class QMenu;

class CButtonST : public QPushButton {
  Q_OBJECT
 public:
  explicit CButtonST(QWidget* parent = nullptr);

  // Keeps the icon and its size and redraws.
  void SetIcon(const QIcon& icon, const QSize& size);
  // The button becomes exactly as large as its icon, without moving.
  void SizeToContent();
  void SetFlat(bool flat);
  bool isFlatButton() const { return flat_; }
  bool isHover() const { return hover_; }
  const QSize& iconSizeST() const { return iconSize_; }

  // Colours of the three states; an invalid colour follows the current look.
  void SetColors(const QColor& normalBack, const QColor& hoverBack, const QColor& focusBack,
                 const QColor& normalText, const QColor& hoverText, const QColor& focusText);
  void SetMenuST(QMenu* menu) { menu_ = menu; }
  void SetAddress(const QString& address) { address_ = address; }
  void SetCheckBoxMode(bool on);

  // How often the button asked to be redrawn because its hover state changed, and how often
  // it was painted.
  int hoverRedraws() const { return hoverRedraws_; }
  int paints() const { return paints_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void nextCheckState() override;

 private:
  void SetHover(bool on);
  void OnClicked();

  bool flat_ = true;
  bool hover_ = false;
  QIcon icon_;
  QSize iconSize_;
  QColor backNormal_, backHover_, backFocus_, textNormal_, textHover_, textFocus_;
  QMenu* menu_ = nullptr;
  QString address_;
  bool checkBoxMode_ = false;
  int hoverRedraws_ = 0;
  int paints_ = 0;
};

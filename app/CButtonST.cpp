#include "app/CButtonST.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "app/platform/ShellOps.h"
#include "app/platform/VisualStyle.h"

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
  setAttribute(Qt::WA_Hover, true);
  setMouseTracking(true);
  setAutoDefault(false);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::ArrowCursor);
  connect(this, &QAbstractButton::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
  connect(this, &QAbstractButton::clicked, this, &CButtonST::OnClicked);
}

void CButtonST::SetIcon(const QIcon& icon, const QSize& size) {
  icon_ = icon;
  iconSize_ = size;
  update();
}

void CButtonST::SizeToContent() {
  if (iconSize_.isValid()) resize(iconSize_);
}

void CButtonST::SetFlat(bool flat) {
  flat_ = flat;
  setMouseTracking(flat);
  update();
}

void CButtonST::SetColors(const QColor& normalBack, const QColor& hoverBack, const QColor& focusBack,
                          const QColor& normalText, const QColor& hoverText, const QColor& focusText) {
  backNormal_ = normalBack;
  backHover_ = hoverBack;
  backFocus_ = focusBack;
  textNormal_ = normalText;
  textHover_ = hoverText;
  textFocus_ = focusText;
  update();
}

void CButtonST::SetCheckBoxMode(bool on) {
  checkBoxMode_ = on;
  setCheckable(on);
}

void CButtonST::nextCheckState() {
  if (checkBoxMode_) QPushButton::nextCheckState();
}

void CButtonST::SetHover(bool on) {
  if (hover_ == on) return;
  hover_ = on;
  ++hoverRedraws_;
  update();
}

void CButtonST::enterEvent(QEnterEvent* event) {
  if (flat_) SetHover(true);
  QPushButton::enterEvent(event);
}

void CButtonST::leaveEvent(QEvent* event) {
  SetHover(false);
  QPushButton::leaveEvent(event);
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
  if (flat_) SetHover(rect().contains(event->position().toPoint()));
  QPushButton::mouseMoveEvent(event);
}

void CButtonST::OnClicked() {
  if (checkBoxMode_) return;
  if (menu_) {
    menu_->popup(mapToGlobal(QPoint(0, height())));
  } else if (!address_.isEmpty()) {
    OpenAddress(address_);
  }
}

void CButtonST::paintEvent(QPaintEvent*) {
  ++paints_;
  const VisualLook& look = CurrentLook();
  QColor normalBack = backNormal_.isValid() ? backNormal_ : look.window;
  QColor hoverBack = backHover_.isValid() ? backHover_ : (look.dark ? look.buttonLight : look.buttonLight.lighter(103));
  QColor focusBack = backFocus_.isValid() ? backFocus_ : normalBack;
  QColor normalText = textNormal_.isValid() ? textNormal_ : look.buttonText;
  QColor hoverText = textHover_.isValid() ? textHover_ : normalText;
  QColor focusText = textFocus_.isValid() ? textFocus_ : normalText;

  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  QRect r = rect();
  bool pressed = isDown() || (checkBoxMode_ && isChecked());
  QColor back = (pressed || hover_) ? hoverBack : hasFocus() ? focusBack : normalBack;
  QColor fore = (pressed || hover_) ? hoverText : hasFocus() ? focusText : normalText;
  if (!flat_ && (hasFocus() || isDefault())) {
    p.fillRect(r, Qt::black);
    r.adjust(1, 1, -1, -1);
  }
  p.fillRect(r, back);
  if (flat_ && hover_) {
    p.setPen(look.border);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  }
  if (!icon_.isNull()) {
    QSize s = iconSize_.isValid() ? iconSize_ : QSize(16, 16);
    s = s.boundedTo(r.size() - QSize(2, 2));
    int side = std::min(s.width(), s.height());
    QRect target(0, 0, side, side);
    target.moveCenter(r.center());
    if (pressed) target.translate(1, 1);
    icon_.paint(&p, target, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  }
  if (!text().isEmpty()) {
    p.setPen(fore);
    p.drawText(r, Qt::AlignCenter, text());
  }
  if (!flat_ && hasFocus()) {
    QStyleOptionFocusRect opt;
    opt.initFrom(this);
    opt.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
  }
}

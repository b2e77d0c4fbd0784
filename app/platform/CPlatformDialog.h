#pragma once
// The base of every window of the program: a dialog built from a DialogTemplate.
//
// Controls: each control of the template is a widget placed at its rectangle (dialog units
// turned into pixels for the dialog font) with the object name "id<number>", so it can be
// found with Control(id) — by the window itself and by tests that drive it like a user.
//   Control(1002), ControlAs<QLineEdit>(1002), ReportListAt(1012)
//   GetItemText / SetItemText, EnableItem / IsItemEnabled, CheckItem / IsItemChecked
//
// Commands: a click on a button or check box calls OnCommand(id). Enter (outside a multi-line
// box, which takes Enter itself) calls OnOK(), Escape calls OnCancel(), and a close request
// of the window manager calls OnCancel() as well. The defaults end a modal dialog with 1 (OK)
// or 2 (Cancel); a child page (Style::ChildPage) does nothing by default. DoModal() runs the
// dialog and returns the code given to EndDialog.
//
// Timers by id: SetTimer(id, ms) / KillTimer(id) -> OnTimer(id) on the window thread.
// A period of 0 or less starts no timer (it would fire without pause).
//
// Posted messages: RegisterAsWindow() gives the window a WindowHandle (common/
// WindowMessages.h); messages posted to it from any thread arrive in OnMessage on the window
// thread, in posted order. The registration ends in UnregisterAsWindow(), which the destructor
// calls at the latest; a derived class calls it first thing in its own destructor.
#include <QDialog>
#include <QEvent>
#include <map>
#include <string>

#include "app/platform/DialogTemplate.h"
#include "app/platform/WindowMessages.h"

class CReportList;

// The Qt event that carries one posted message to the window thread.
class PostedMessageEvent : public QEvent {
 public:
  static QEvent::Type EventType();
  explicit PostedMessageEvent(const PostedMessage& msg) : QEvent(EventType()), message(msg) {}
  PostedMessage message;
};

class CPlatformDialog : public QDialog, public MessageSink {
  Q_OBJECT
 public:
  enum class Style { Modal, ChildPage, Popup };
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;

  CPlatformDialog(const DialogTemplate& tpl, Style style, QWidget* parent = nullptr);
  ~CPlatformDialog() override;

  QWidget* Control(int id) const;
  template <class T>
  T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }
  CReportList* ReportListAt(int id) const;

  std::wstring GetItemText(int id) const;
  void SetItemText(int id, const std::wstring& text);
  void EnableItem(int id, bool enable);
  bool IsItemEnabled(int id) const;
  void CheckItem(int id, bool checked);
  bool IsItemChecked(int id) const;

  int DoModal();
  void EndDialog(int result);
  bool ended() const { return ended_; }

  bool SetTimer(int id, int milliseconds);
  void KillTimer(int id);
  bool HasTimer(int id) const { return timers_.count(id) != 0; }

  WindowHandle RegisterAsWindow();
  void UnregisterAsWindow();
  WindowHandle messageHandle() const { return handle_; }
  void Post(const PostedMessage& msg) override;

  // Pixels for a rectangle in this dialog's units.
  QRect MapDialogRect(const QRect& units) const;
  QSize baseUnits() const { return base_; }
  Style style() const { return style_; }

  // Runs the command of a control as its click would (used by menus and tests).
  void SendCommand(int id) { OnCommand(id); }
  // The size of the template in pixels: the smallest a growing page or window gets.
  QSize templateSize() const { return templateSize_; }

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  virtual void OnCommand(int id);
  virtual void OnTimer(int id);
  virtual void OnMessage(const PostedMessage& msg);
  // After the controls have followed a new size (widgets placed over placeholders follow here).
  virtual void OnLayout() {}

  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void reject() override;
  void accept() override;

 private:
  QWidget* CreateControl(const ControlSpec& spec);
  void LayOut();

  struct Placed {
    QWidget* widget;
    QRect rect;  // pixels at the template size
    Grow grow;
  };

  Style style_;
  QSize base_;
  std::map<int, QWidget*> controls_;
  std::vector<Placed> placed_;  // the controls that follow the size
  QSize templateSize_;
  std::map<int, int> timers_;       // our id -> Qt timer id
  std::map<int, int> timerOwners_;  // Qt timer id -> our id
  WindowHandle handle_ = kNoWindow;
  bool ended_ = false;
};

#pragma once
// A link button: its caption drawn as a link; a click opens the address given with
// SetLinkAddress through OpenAddress (the system's default action), and says in a message box,
// with the address, when nothing could open it. SizeToContent makes it exactly as large as its
// text.
#include <QPushButton>

class CLinkButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CLinkButton(const QString& text, QWidget* parent = nullptr);
  void SetLinkAddress(const QString& address) { address_ = address; }
  const QString& linkAddress() const { return address_; }
  void SizeToContent();

 private:
  QString address_;
};

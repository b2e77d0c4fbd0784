#include "app/platform/CLinkButton.h"

#include "app/platform/ShellOps.h"

CLinkButton::CLinkButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFlat(true);
  setCursor(Qt::PointingHandCursor);
  setAutoDefault(false);
  setProperty("veltroLink", true);
  connect(this, &QPushButton::clicked, this, [this] {
    if (!address_.isEmpty()) OpenAddress(address_);
  });
}

void CLinkButton::SizeToContent() {
  QSize size = fontMetrics().size(Qt::TextShowMnemonic, text());
  resize(size.width() + 6, size.height() + 4);
}

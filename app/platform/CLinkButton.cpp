#include "app/platform/CLinkButton.h"

#include <QPointer>

#include "app/platform/MessageBox.h"
#include "app/platform/ShellOps.h"

CLinkButton::CLinkButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFlat(true);
  setCursor(Qt::PointingHandCursor);
  setAutoDefault(false);
  setProperty("veltroLink", true);
  connect(this, &QPushButton::clicked, this, [this] {
    if (address_.isEmpty()) return;
    // The failure may come after this button has gone.
    QPointer<CLinkButton> self(this);
    const QString address = address_;
    OpenAddress(address, [self, address] {
      ShowMessageBox(self ? self->window() : nullptr,
                     L"无法打开以下地址，系统中可能没有浏览器。请手动打开：\n" + address.toStdWString());
    });
  });
}

void CLinkButton::SizeToContent() {
  QSize size = fontMetrics().size(Qt::TextShowMnemonic, text());
  resize(size.width() + 6, size.height() + 4);
}

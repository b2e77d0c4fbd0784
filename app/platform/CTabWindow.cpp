#include "app/platform/CTabWindow.h"

#include <QTabBar>

#include "app/platform/StringRes.h"

CTabWindow::CTabWindow(QWidget* parent) : QTabWidget(parent) {
  setTabPosition(QTabWidget::North);
  setTabsClosable(false);
  setMovable(false);
  setDocumentMode(false);
  setIconSize(QSize(20, 20));
  tabBar()->setExpanding(false);
}

int CTabWindow::AddTab(QWidget* page, int labelId, int imageIndex) { return AddTab(page, StringRes(labelId), imageIndex); }

int CTabWindow::AddTab(QWidget* page, const QString& label, int imageIndex) {
  QIcon icon;
  if (imageIndex >= 0 && imageIndex < static_cast<int>(images_.size())) icon = images_[static_cast<size_t>(imageIndex)];
  return addTab(page, icon, label);
}

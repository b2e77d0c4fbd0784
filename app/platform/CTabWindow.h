#pragma once
// A tab window: created over a rectangle, an image list (one icon per image index), pages
// added with a string-table label and an image index. Tabs cannot be closed or detached.
#include <QIcon>
#include <QTabWidget>
#include <vector>

class CTabWindow : public QTabWidget {
  Q_OBJECT
 public:
  explicit CTabWindow(QWidget* parent = nullptr);
  void SetImageList(std::vector<QIcon> images) { images_ = std::move(images); }
  // The label is string-table text `labelId`; returns the tab's index.
  int AddTab(QWidget* page, int labelId, int imageIndex);
  int AddTab(QWidget* page, const QString& label, int imageIndex);

 private:
  std::vector<QIcon> images_;
};

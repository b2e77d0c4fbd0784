#pragma once
// A single-line edit box with a folder-browse button at its right end. The button asks for
// a folder (QFileDialog, or the hook under test) and puts its path into the box.
#include <QLineEdit>
#include <functional>

class QToolButton;

class CFolderEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CFolderEdit(QWidget* parent = nullptr);
  // Runs the browse action as a click on the button would.
  void Browse();
  QToolButton* browseButton() const { return button_; }

  // Under test: answers the folder question instead of the dialog (empty answer = cancel).
  static void SetBrowseHook(std::function<QString(const QString& current)> hook);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* button_;
};

#pragma once
// Dialog 135 "增加禁止访问的文件类型": up to four new forbidden file types, typed without
// their dot (a typed one is taken too). After OK, Entry(i) gives the texts entered in the order
// of the edits from left to right (1024, 1021, 1022, 1023), trimmed, empty ones left out.
// OK refuses an entry that is no file type (IsFileTypeEntry) with a message and leaves the
// dialog open on it.
//
// Run() shows it modally; under test a hook takes the place of the modal run (it can fill the
// edits and press OK through SendCommand) so nothing blocks.
#include <functional>
#include <string>
#include <vector>

#include "app/platform/CPlatformDialog.h"

class CDlgRunAddExt : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kEditIds[4] = {1024, 1021, 1022, 1023};

  explicit CDlgRunAddExt(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The modal run (or the hook's); returns the closing code, 1 for OK.
  int Run();
  // Entry i of the texts entered; empty past the end.
  std::string Entry(size_t index) const;
  const std::vector<std::string>& entries() const { return entries_; }

  static void SetRunHook(std::function<int(CDlgRunAddExt& dialog)> hook);

 protected:
  void OnOK() override;

 private:
  std::vector<std::string> entries_;
};

#pragma once
// The URL list page: every successfully fetched address followed by CR LF in an editable
// box (1021), which is the only store of the list, and "保存" (1018), which writes the box's
// text to a file the user chooses.
#include <functional>
#include <string>
#include <vector>

#include "app/SaveReport.h"
#include "app/platform/CPlatformDialog.h"

class CDlgSubYahoo : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdText = 1021;
  static constexpr int kIdSave = 1018;

  explicit CDlgSubYahoo(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // Appends the full addresses (narrow text) at the end of the list, each with CR LF.
  void AppendAddresses(const std::vector<std::string>& fullAddresses);
  void ClearList();
  std::wstring ListText() const;
  // Asks for a file name and writes the list; false when cancelled or not written (a file
  // that could not be written is named in a message box with the reason). An empty list is
  // not saved: a message box says so before any file is asked for.
  bool Save();
  // Told what a good Save wrote, for the status line.
  void SetSaveReporter(SaveReporter report) { saveReporter_ = std::move(report); }
  // The crawled site's name, for the file name Save suggests (<site>_urls.txt).
  void SetSiteNameSource(std::function<std::string()> source) { siteName_ = std::move(source); }


 protected:
  void OnCommand(int id) override;

 private:
  std::function<std::string()> siteName_;
  SaveReporter saveReporter_;
};

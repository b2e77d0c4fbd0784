#pragma once
// The failure page: the label "访问失败的网址列表" over a report list (1014) with the row
// number, the path, the result code, its description and the page whose link led to it, and
// "保存" (1018), which writes the crawl's failure file (the four columns of the list).
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/SaveReport.h"
#include "crawl/CrawlPortion.h"
#include "app/platform/CPlatformDialog.h"

class CReportList;
class CrawlResults;

class CDlgSubReportFail : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdList = 1014;
  static constexpr int kIdSave = 1018;

  explicit CDlgSubReportFail(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // Appended at the end in the given order, each with the page it was found on; where a failing
  // redirect pointed is named in its description.
  void AppendFailures(const std::vector<FailedPage>& failures);
  void DeleteAll();
  CReportList* list() const;
  // The results whose failure file Save writes (a new crawl's, at its start).
  void ShowResults(std::shared_ptr<CrawlResults> results) { results_ = std::move(results); }
  // Writes <site>_failed.tsv in the working folder, and <site>_deadlinks.txt when the settings
  // ask for it; a message box names a problem, or says that there is nothing to save (no file
  // is written then). True when written.
  bool Save();
  // Told what a good Save wrote, for the status line.
  void SetSaveReporter(SaveReporter report) { saveReporter_ = std::move(report); }
  // Whether Save also writes the dead-link file, and with every failure in it.
  struct DeadLinkChoice {
    bool wanted = false;
    bool everyFailure = false;
  };
  void SetDeadLinksWanted(std::function<DeadLinkChoice()> wanted) { deadLinksWanted_ = std::move(wanted); }

 protected:
  void OnCommand(int id) override;

 private:
  std::shared_ptr<CrawlResults> results_;
  SaveReporter saveReporter_;
  std::function<DeadLinkChoice()> deadLinksWanted_;
};

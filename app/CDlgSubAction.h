#pragma once
// The crawl page: the address box (1002), Start (1003) and Stop (1006), the exclude (1004)
// and include (1005) pattern boxes with their help buttons (1014, 1013), the progress bar
// (1023) and the list of fetched paths (1012).
//
// Idle: Start enabled, Stop disabled. Crawling: the reverse, from a successful Start until
// the main window calls SetIdle on WM_CRAWL_FINISHED. Start (or Enter outside the pattern
// boxes) while a crawl runs is ignored: it must not reset the data the running crawl uses;
// the address box is read-only meanwhile. Start with an empty address says what to type.
#include <string>
#include <vector>

#include "app/platform/CPlatformDialog.h"

class CrawlPageHost;
class CReportList;

class CDlgSubAction : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdAddress = 1002;
  static constexpr int kIdStart = 1003;
  static constexpr int kIdExclude = 1004;
  static constexpr int kIdStop = 1006;
  static constexpr int kIdList = 1012;
  static constexpr int kIdIncludeHelp = 1013;
  static constexpr int kIdExcludeHelp = 1014;
  static constexpr int kIdInclude = 1005;
  static constexpr int kIdProgress = 1023;

  CDlgSubAction(CrawlPageHost& host, QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The text of a box as the crawl takes it: trimmed at both ends of the whole text, in
  // UTF-8.
  std::string ReadBox(int id) const;

  void StartAction();
  void StopAction();
  bool isCrawling() const { return crawling_; }

  // Operations of the main window.
  void AppendResultRows(const std::vector<std::string>& paths);
  void DeleteAllRows();
  void SetProgress(int position);
  int progress() const;
  void SetIdle();
  CReportList* list() const;

 protected:
  void OnOK() override;
  void OnCancel() override {}
  void OnCommand(int id) override;

 private:
  void ShowPatternHelp(bool include);
  // The connection settings checked, the password asked for when none is kept, and a crawl
  // without certificate verification confirmed; false starts no crawl.
  bool PrepareConnection(const std::string& address);

  CrawlPageHost& host_;
  bool crawling_ = false;
};

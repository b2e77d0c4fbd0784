#pragma once
// The audit page 网站地图检查: what the site's own sitemap gets wrong against the crawl. A
// line of counts by kind (1041) over a report list (1040) with the kind, the address, the code
// and the detail, and "保存" (1042), which writes <site>_audit.tsv. Filled while the crawl runs.
#include <array>
#include <memory>
#include <string>

#include "app/platform/CPlatformDialog.h"
#include "crawl/AuditRow.h"

class CReportList;
class CrawlSession;

class CDlgSubAudit : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdList = 1040;
  static constexpr int kIdCounts = 1041;
  static constexpr int kIdSave = 1042;

  explicit CDlgSubAudit(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The crawl whose audit the page shows (a new crawl's, at its start); its rows are taken by Refresh.
  void ShowCrawl(std::shared_ptr<CrawlSession> crawl);
  // Appends the rows found since the last call and brings the counts up to date.
  void Refresh();
  CReportList* list() const;
  const std::array<size_t, kAuditKindCount>& counts() const { return counts_; }
  // Writes <site>_audit.tsv in the working folder; a message box names a problem. True when written.
  bool Save();

  // What the page calls a kind (the file's word beside it).
  static std::wstring KindLabel(AuditKind kind);

 protected:
  void OnCommand(int id) override;

 private:
  void ShowCounts();

  std::shared_ptr<CrawlSession> crawl_;
  size_t shown_ = 0;
  std::array<size_t, kAuditKindCount> counts_{};
};

#include "app/CDlgSubAudit.h"

#include <QLabel>
#include <vector>

#include "app/platform/CReportList.h"
#include "app/platform/MessageBox.h"
#include "app/platform/WideText.h"
#include "common/PercentEncoding.h"
#include "output/AuditReport.h"
#include "output/CrawlResults.h"
#include "output/CrawlSession.h"
#include "texts/FileWriteText.h"

DialogTemplate CDlgSubAudit::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::Static, -1, L"网站现有的网站地图与爬行结果的比较", {6, 4, 300, 12}},
                            {ControlKind::Static, kIdCounts, L"", {6, 18, 492, 20}},
                            {ControlKind::ReportList, kIdList, L"", {6, 40, 492, 196}},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}},
                        }};
}

CDlgSubAudit::CDlgSubAudit(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  CReportList* l = list();
  l->AddColumn(L"类型", 110);
  l->AddColumn(L"网址", 300);
  l->AddColumn(L"代码", 60);
  l->AddColumn(L"说明", 300);
  if (auto* counts = ControlAs<QLabel>(kIdCounts)) counts->setWordWrap(true);
  ShowCounts();
}

CReportList* CDlgSubAudit::list() const { return ReportListAt(kIdList); }

std::wstring CDlgSubAudit::KindLabel(AuditKind kind) {
  switch (kind) {
    case AuditKind::Orphan: return L"孤立网页";
    case AuditKind::Missing: return L"未列入";
    case AuditKind::Redirect: return L"重定向";
    case AuditKind::Error: return L"错误";
    case AuditKind::Noindex: return L"noindex";
    case AuditKind::Canonicalised: return L"另有规范网址";
    case AuditKind::Blocked: return L"robots.txt 禁止";
    case AuditKind::Offsite: return L"其他网站";
    case AuditKind::TooLong: return L"网址过长";
    case AuditKind::Format: return L"格式问题";
  }
  return {};
}

void CDlgSubAudit::ShowCrawl(std::shared_ptr<CrawlSession> crawl) {
  crawl_ = std::move(crawl);
  shown_ = 0;
  counts_.fill(0);
  list()->DeleteAllItems();
  ShowCounts();
}

void CDlgSubAudit::Refresh() {
  if (!crawl_) return;
  const std::vector<AuditRow> rows = crawl_->auditRows(shown_);
  if (rows.empty()) return;
  shown_ += rows.size();
  std::vector<QStringList> lines;
  lines.reserve(rows.size());
  for (const AuditRow& row : rows) {
    ++counts_[static_cast<size_t>(row.kind)];
    lines.push_back({QString::fromStdWString(KindLabel(row.kind)), QString::fromStdString(ReadableAddress(row.address)),
                     QString::fromStdString(row.outcome.Text()), QString::fromStdString(AuditDetail(row))});
  }
  list()->AppendRows(std::move(lines));
  ShowCounts();
}

void CDlgSubAudit::ShowCounts() {
  if (!crawl_ || !crawl_->params().rules.auditSitemap) {
    SetItemText(kIdCounts, L"要检查网站现有的网站地图，请在设置的“抓取规则”页选中“检查网站现有的网站地图”，再开始爬行。");
    return;
  }
  std::wstring line;
  for (size_t kind = 0; kind < kAuditKindCount; ++kind) {
    if (!line.empty()) line += L"  ";
    line += KindLabel(static_cast<AuditKind>(kind)) + L" " + std::to_wstring(counts_[kind]);
  }
  SetItemText(kIdCounts, line);
}

void CDlgSubAudit::OnCommand(int id) {
  if (id == kIdSave) Save();
}

bool CDlgSubAudit::Save() {
  if (!crawl_ || !crawl_->params().rules.auditSitemap || crawl_->results()->SiteName().empty()) {
    ShowMessageBox(this, L"还没有可以保存的检查结果：请先选中“检查网站现有的网站地图”，再在“爬行”页开始爬行一个网站。");
    return false;
  }
  FileWriteResult failure;
  if (SaveAuditReport(AuditReportName(crawl_->results()->SiteName()), crawl_->auditRows(), &failure).ok()) return true;
  ShowMessageBox(this, L"网站地图检查结果没有保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
  return false;
}

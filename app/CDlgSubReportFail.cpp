#include "app/CDlgSubReportFail.h"

#include "app/platform/CReportList.h"
#include "app/platform/StringRes.h"
#include "common/PercentEncoding.h"
#include "common/TextCodec.h"
#include "output/FailureReport.h"

DialogTemplate CDlgSubReportFail::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::Static, -1, L"访问失败的网址列表", {6, 4, 200, 12}},
                            {ControlKind::ReportList, kIdList, L"", {6, 18, 492, 238}},
                        }};
}

CDlgSubReportFail::CDlgSubReportFail(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  CReportList* l = list();
  l->AddColumn(LoadStringById(109), 50);
  l->AddColumn(LoadStringById(110), 450);
  l->AddColumn(LoadStringById(111), 80);
  l->AddColumn(LoadStringById(112), 280);
}

CReportList* CDlgSubReportFail::list() const { return ReportListAt(kIdList); }

void CDlgSubReportFail::AppendFailures(const std::vector<std::pair<std::string, std::string>>& failures) {
  if (failures.empty()) return;
  CReportList* l = list();
  int number = l->RowCount();
  std::vector<QStringList> rows;
  rows.reserve(failures.size());
  for (const auto& [path, code] : failures) {
    QString description = code.empty() ? QString() : QString::fromStdWString(FailureDescription(code));
    rows.push_back({QString::number(++number), QString::fromStdString(ReadableAddress(path)),
                    QString::fromStdWString(Utf8ToWide(code)), description});
  }
  l->AppendRows(std::move(rows));
}

void CDlgSubReportFail::DeleteAll() { list()->DeleteAllItems(); }

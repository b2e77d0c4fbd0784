#include "app/CDlgSubReportFail.h"

#include <QDir>

#include "texts/FileWriteText.h"
#include "app/platform/CReportList.h"
#include "app/platform/MessageBox.h"
#include "app/platform/StringRes.h"
#include "common/PercentEncoding.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "output/CrawlResults.h"
#include "output/FailureReport.h"

DialogTemplate CDlgSubReportFail::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::Static, -1, L"访问失败的网址列表", {6, 4, 200, 12}},
                            {ControlKind::ReportList, kIdList, L"", {6, 18, 492, 218}, kNoFlags, {}, kGrowBoth},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}, kNoFlags, {}, kMoveCorner},
                        }};
}

CDlgSubReportFail::CDlgSubReportFail(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  CReportList* l = list();
  l->AddColumn(Utf8ToWide(LoadStringById(109)), 50);
  l->AddColumn(Utf8ToWide(LoadStringById(110)), 300);
  l->AddColumn(Utf8ToWide(LoadStringById(111)), 80);
  l->AddColumn(Utf8ToWide(LoadStringById(112)), 200);
  l->AddColumn(L"所在页面", 250);
}

CReportList* CDlgSubReportFail::list() const { return ReportListAt(kIdList); }

void CDlgSubReportFail::AppendFailures(const std::vector<FailedPage>& failures) {
  if (failures.empty()) return;
  CReportList* l = list();
  int number = l->RowCount();
  std::vector<QStringList> rows;
  rows.reserve(failures.size());
  for (const FailedPage& failure : failures) {
    const std::string code = failure.outcome.Text();
    const std::string target = ReadableAddress(failure.redirectTo);
    QString description = code.empty() ? QString() : QString::fromStdString(FailureDescription(code, target));
    rows.push_back({QString::number(++number), QString::fromStdString(ReadableAddress(failure.path)),
                    QString::fromStdString(code), description,
                    QString::fromStdString(ReadableAddress(failure.foundOn))});
  }
  l->AppendRows(std::move(rows));
}

void CDlgSubReportFail::DeleteAll() { list()->DeleteAllItems(); }

void CDlgSubReportFail::OnCommand(int id) {
  if (id == kIdSave) Save();
}

bool CDlgSubReportFail::Save() {
  if (!results_ || results_->SiteName().empty()) {
    ShowMessageBox(this, L"还没有可以保存的失败列表：请先在“" + StringRes(104).toStdWString() + L"”页开始爬行一个网站。");
    return false;
  }
  const size_t count = results_->failureCount();
  if (count == 0) {
    ShowMessageBox(this, L"没有访问失败的网址，没有保存文件。");
    return false;
  }
  FileWriteResult failure;
  if (!results_->SaveFailures("", &failure).ok()) {
    ShowMessageBox(this, L"访问失败的网址列表没有保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
    return false;
  }
  const DeadLinkChoice dead = deadLinksWanted_ ? deadLinksWanted_() : DeadLinkChoice();
  if (dead.wanted && !results_->SaveDeadLinks("", dead.everyFailure, &failure).ok()) {
    ShowMessageBox(this, L"死链文件没有保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
    return false;
  }
  if (saveReporter_) {
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const QString file = QDir::toNativeSeparators(QDir::current().absoluteFilePath(
        QString::fromStdString(CrawlResults::FailureListName(results_->SiteName()))));
    const std::wstring head = L"已保存" + std::to_wstring(count) + L"个访问失败的网址到 ";
    saveReporter_({head + file.toStdWString(), head + folder.toStdWString()});
  }
  return true;
}

#include "app/CDlgSubAction.h"

#include <QProgressBar>

#include "app/CDlgPassword.h"
#include "app/CDlgPatternHelp.h"
#include "app/CrawlPageHost.h"
#include "app/platform/CReportList.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "app/platform/StringRes.h"
#include "common/SystemInfo.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "app/CrawlMessages.h"
#include "crawl/CrawlStartParams.h"
#include "crawl/PatternFilter.h"
#include "settings/CSetupManager.h"
#include "settings/ConnectionSettings.h"
#include "settings/CrawlStartParamsOf.h"
#include "texts/ConnectionText.h"
#include "common/PercentEncoding.h"
#include "web/UrlRules.h"

DialogTemplate CDlgSubAction::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::Static, -1, L"网址", {6, 8, 24, 12}},
                            {ControlKind::Edit, kIdAddress, L"", {32, 7, 330, 14}, kAutoHScroll, {}, kGrowWidth},
                            {ControlKind::PushButton, kIdStart, L"开始", {372, 6, 58, 16}, kNoFlags, {}, kMoveRight},
                            {ControlKind::PushButton, kIdStop, L"停止", {436, 6, 58, 16}, kNoFlags, {}, kMoveRight},
                            {ControlKind::Static, -1, L"必须排除的样式", {6, 28, 80, 12}},
                            {ControlKind::PushButton, kIdExcludeHelp, L"?", {88, 27, 14, 13}},
                            {ControlKind::MultiLineEdit, kIdExclude, L"", {6, 42, 240, 46}, kVScroll, {}, {0, 0, 50, 10}},
                            {ControlKind::Static, -1, L"必须包含的样式", {396, 28, 80, 12}, kAlignRight, {}, kMoveRight},
                            {ControlKind::PushButton, kIdIncludeHelp, L"?", {480, 27, 14, 13}, kNoFlags, {}, kMoveRight},
                            {ControlKind::MultiLineEdit, kIdInclude, L"", {254, 42, 240, 46}, kVScroll, {}, {50, 0, 50, 10}},
                            {ControlKind::Progress, kIdProgress, L"", {6, 94, 488, 9}, kNoFlags, {}, {0, 10, 100, 0}},
                            {ControlKind::ReportList, kIdList, L"", {6, 108, 488, 148}, kNoFlags, {}, {0, 10, 100, 90}},
                        }};
}

CDlgSubAction::CDlgSubAction(CrawlPageHost& host, QWidget* parent)
    : CPlatformDialog(Template(), Style::ChildPage, parent), host_(host) {
  setObjectName(QStringLiteral("page"));
  CReportList* l = list();
  l->AddColumn(Utf8ToWide(LoadStringById(107)), 50);
  l->AddColumn(Utf8ToWide(LoadStringById(108)), 800);
  SetProgress(0);
  EnableItem(kIdStart, true);
  EnableItem(kIdStop, false);
}

CReportList* CDlgSubAction::list() const { return ReportListAt(kIdList); }

std::string CDlgSubAction::ReadBox(int id) const { return WideToUtf8(TrimWhitespace(GetItemText(id))); }

void CDlgSubAction::OnOK() {
  if (!crawling_) StartAction();
}

void CDlgSubAction::OnCommand(int id) {
  switch (id) {
    case kIdStart:
      StartAction();
      break;
    case kIdStop:
      StopAction();
      break;
    case kIdIncludeHelp:
      ShowPatternHelp(true);
      break;
    case kIdExcludeHelp:
      ShowPatternHelp(false);
      break;
    default:
      break;
  }
}

void CDlgSubAction::ShowPatternHelp(bool include) {
  CDlgPatternHelp help(include ? CDlgPatternHelp::Topic::Include : CDlgPatternHelp::Topic::Exclude, this);
  help.DoModal();
}

void CDlgSubAction::StartAction() {
  if (crawling_) return;  // a running crawl is never reset or started twice
  std::string address = ReadBox(kIdAddress);
  if (address.empty()) {
    ShowMessageBox(this, L"请先输入要爬行的网站网址，例如 http://www.example.com/");
    return;
  }
  if (HostOf(address).empty()) {
    ShowMessageBox(this, Utf8ToWide(LoadStringById(105)));
    return;
  }
  if (!PrepareConnection(address)) return;
  const CSetupManager& setup = host_.Settings();
  CrawlStartParams params = CrawlStartParamsOf(setup);
  params.startUrl = address;
  std::string include = ReadBox(kIdInclude);
  if (!include.empty()) PatternFilter::FillPatternSet(params.includePatterns, include);
  std::string exclude = ReadBox(kIdExclude);
  if (!exclude.empty()) PatternFilter::FillPatternSet(params.excludePatterns, exclude);

  crawling_ = true;
  EnableItem(kIdStart, false);
  EnableItem(kIdStop, true);
  // The address names the running crawl: it is read, not edited, until the crawl ends.
  SetEditReadOnly(Control(kIdAddress), true);
  PostWindowMessage(host_.MainWindowHandle(), WM_CRAWL_RESET, 0, 0);
  host_.SetStartTick(GetTickCount32());
  if (!host_.StartCrawl(params)) SetIdle();  // no thread: nothing will finish it
}

bool CDlgSubAction::PrepareConnection(const std::string& address) {
  const CSetupManager& setup = host_.Settings();
  if (const ConnectionProblem problem = CheckConnection(HttpOptionsOf(setup))) {
    ShowMessageBox(this, Utf8ToWide(ConnectionProblemMessage(problem)));
    return false;
  }
  if (NeedsPassword(setup.credentials)) {
    CDlgPassword ask(setup.credentials, HostOf(address), this);
    if (ask.Run() != kIdOk) return false;
    host_.UsePassword(ask.password(), ask.remember());
  }
  return !HttpOptionsOf(host_.Settings()).verifyTls ? AskYesNo(this, Utf8ToWide(InsecureQuestion(address))) : true;
}

void CDlgSubAction::StopAction() {
  if (!crawling_) return;
  host_.SaveCursorAndWait();
  host_.StopCrawl();
}

void CDlgSubAction::AppendResultRows(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  CReportList* l = list();
  int number = l->RowCount();
  std::vector<QStringList> rows;
  rows.reserve(paths.size());
  for (const std::string& path : paths)
    rows.push_back({QString::number(++number), QString::fromStdString(ReadableAddress(path))});
  l->AppendRows(std::move(rows));
}

void CDlgSubAction::DeleteAllRows() { list()->DeleteAllItems(); }

void CDlgSubAction::SetProgress(int position) {
  if (auto* bar = ControlAs<QProgressBar>(kIdProgress)) bar->setValue(position);
}

int CDlgSubAction::progress() const {
  auto* bar = ControlAs<QProgressBar>(kIdProgress);
  return bar ? bar->value() : 0;
}

void CDlgSubAction::SetIdle() {
  crawling_ = false;
  SetEditReadOnly(Control(kIdAddress), false);
  EnableItem(kIdStart, true);
  EnableItem(kIdStop, false);
}

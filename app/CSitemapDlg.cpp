#include "app/CSitemapDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QSizeGrip>
#include <QTime>
#include <QWindow>
#include <algorithm>
#include <climits>

#include "texts/CrawlStatusText.h"
#include "texts/SettingsText.h"
#include "texts/FileWriteText.h"
#include "app/CButtonST.h"
#include "app/CDlgSubAction.h"
#include "app/CDlgSubGoogle.h"
#include "app/CDlgSubAudit.h"
#include "settings/OutputOptionsOf.h"
#include "app/CDlgSubReportFail.h"
#include "output/SitemapEntry.h"
#include "app/CDlgSubYahoo.h"
#include "app/ResourcePaths.h"
#include "app/SettingsSheetHook.h"
#include "app/platform/CLinkButton.h"
#include "app/platform/CTabWindow.h"
#include "app/CrawlJournalChoice.h"
#include "app/platform/MessageBox.h"
#include "app/platform/ShellOps.h"
#include "app/platform/StringRes.h"
#include "app/platform/VisualStyle.h"
#include "common/SystemInfo.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "crawl/CSitemapControl.h"
#include "crawl/CThreadAutoSave.h"
#include "settings/ConnectionSettings.h"
#include "app/CrawlMessages.h"
#include "crawl/CrawlPortion.h"
#include "crawl/CrawlStatus.h"
#include "app/PostingResultConsumer.h"
#include "crawl/RepeatedParamWatch.h"
#include "output/AutoSave.h"
#include "output/CrawlEnding.h"
#include "output/CrawlResults.h"
#include "output/FileWriteResult.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "store/CLevelDb.h"
#include "web/HttpGlobal.h"

namespace {

QWidget* MakeIconButton(QWidget* parent, const char* icon) {
  auto* b = new CButtonST(parent);
  b->SetIcon(QIcon(QString::fromLatin1(icon)), QSize(20, 20));
  return b;
}

QWidget* MakeSettingsButton(QWidget* parent) {
  auto* b = new QPushButton(QIcon(QStringLiteral(":/icons/settings.svg")), QStringLiteral("设置"), parent);
  b->setIconSize(QSize(18, 18));
  b->setFlat(true);
  b->setToolTip(StringRes(126));
  return b;
}

}  // namespace

DialogTemplate CSitemapDlg::Template() {
  return DialogTemplate{
      Utf8ToWide(LoadStringById(133)),
      520,
      336,
      {
          {ControlKind::StaticIcon, -1, L":/icons/app.svg", {6, 4, 16, 16}},
          {ControlKind::Static, kIdTitle, L"", {26, 4, 260, 16}},
          {ControlKind::LinkButton, kIdHelp, L"帮助", {392, 7, 24, 11}, kNoFlags, {}, kMoveRight},
          {ControlKind::Custom, kIdSettings, L"", {420, 4, 46, 16}, kNoFlags, MakeSettingsButton, kMoveRight},
          {ControlKind::Custom, kIdMinimise, L"", {476, 4, 16, 14}, kNoFlags,
           [](QWidget* p) { return MakeIconButton(p, ":/icons/minimise.svg"); }, kMoveRight},
          {ControlKind::Custom, kIdClose, L"", {496, 4, 16, 14}, kNoFlags,
           [](QWidget* p) { return MakeIconButton(p, ":/icons/close.svg"); }, kMoveRight},
          {ControlKind::Placeholder, kIdTabArea, L"", {6, 24, 508, 282}, kNoFlags, {}, kGrowBoth},
          {ControlKind::Static, kIdElapsed, L"", {8, 308, 290, 12}, kNoFlags, {}, kMoveDown},
          {ControlKind::Static, kIdSaveStatus, L"", {300, 308, 208, 12}, kAlignRight, {}, kMoveDownGrowWidth},
          {ControlKind::Static, kIdCounters, L"", {8, 321, 500, 12}, kNoFlags, {}, kMoveDownGrowWidth},
      },
      9,
      true};
}

CSitemapDlg::CSitemapDlg(QWidget* parent) : CPlatformDialog(Template(), Style::Popup, parent) {
  setObjectName(QStringLiteral("CSitemapDlg"));
  HttpGlobalInit();
  tabs_ = new CTabWindow(this);
  action_ = new CDlgSubAction(*this, tabs_);
  fail_ = new CDlgSubReportFail(tabs_);
  google_ = new CDlgSubGoogle(tabs_);
  yahoo_ = new CDlgSubYahoo(tabs_);
  audit_ = new CDlgSubAudit(tabs_);
  setup_ = std::make_shared<CSetupManager>();
  settingsDb_ = std::make_shared<CLevelDb>();
  autoSave_ = std::make_shared<CThreadAutoSave>();
  autoSaver_ = std::make_unique<AutoSave>();
  yahoo_->SetSiteNameSource([this] { return crawl_ ? crawl_->results()->SiteName() : std::string(); });
  auto showSaved = [this](const SaveReport& report) { ShowSaveStatus(report.line, report.line, report.shortLine); };
  google_->SetSaveReporter(showSaved);
  fail_->SetSaveReporter(showSaved);
  yahoo_->SetSaveReporter(showSaved);
  std::weak_ptr<CSetupManager> weakSetup = setup_;
  google_->SetIndexWanted([weakSetup] {
    auto s = weakSetup.lock();
    return s && s->sitemapIndex;
  });
  google_->SetPushSource([this] {
    CDlgSubGoogle::PushSource source;
    source.engines = SearchEngineSettingsOf(*setup_);
    if (crawl_) source.http = crawl_->params().httpOptions.value_or(http_options());
    source.http.userAgent = crawl_ ? crawl_->params().rules.userAgent : setup_->userAgent;
    source.crawling = crawlState() == 1;
    // robots.txt is read while the crawl opens; asked only once it is over.
    source.robotsLacksSitemap = !source.crawling && crawl_ && crawl_->robotsTxtLacksSitemap();
    return source;
  });
  // As the crawl was started: its titles were collected or not.
  google_->SetHtmlPageWanted([this] { return crawl_ && crawl_->params().sitemap.htmlPage; });
  fail_->SetDeadLinksWanted([weakSetup] {
    auto s = weakSetup.lock();
    return CDlgSubReportFail::DeadLinkChoice{s && s->deadLinks != 0, s && s->deadLinksAll != 0};
  });
  google_->SetPushReporter([this](const std::wstring& line) { ShowSaveStatus(line, line); });

  RegisterAsWindow();
  InitWindow();
}

CSitemapDlg::~CSitemapDlg() {
  UnregisterAsWindow();
  KillTimer(kTimerStatus);
  KillTimer(kTimerAutoSave);
  RestoreCursor();
  // A push still running uses libcurl: it ends before libcurl is cleaned up.
  google_->pusher().Stop();
  HttpGlobalCleanup();
}

void CSitemapDlg::InitWindow() {
  setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
  setup_->ResetToDefaults();
  std::vector<std::string> replaced;
  const Status loaded = LoadSettings(setup_.get(), settingsDb_.get(), &replaced);

  tabs_->setGeometry(Control(kIdTabArea)->geometry());
  // Captionless, so the corner grip is how the window is made larger.
  grip_ = new QSizeGrip(this);
  grip_->setToolTip(QStringLiteral("拖动以改变窗口大小"));
  tabs_->SetImageList({QIcon(QStringLiteral(":/icons/tab-crawl.svg")), QIcon(QStringLiteral(":/icons/tab-failures.svg")),
                       QIcon(QStringLiteral(":/icons/tab-xml.svg")), QIcon(QStringLiteral(":/icons/tab-urllist.svg"))});
  tabs_->AddTab(action_, 104, 0);
  tabs_->AddTab(fail_, 106, 1);
  tabs_->AddTab(google_, 113, 2);
  tabs_->AddTab(yahoo_, 114, 3);
  tabs_->AddTab(audit_, QStringLiteral("网站地图检查"), 1);

  setWindowTitle(StringRes(133));
  SetItemText(kIdTitle, Utf8ToWide(LoadStringById(133)));
  Control(kIdTitle)->setFont(DialogFont(16));
  Control(kIdTitle)->setObjectName(QStringLiteral("id1031"));
  if (auto* help = ControlAs<CLinkButton>(kIdHelp)) {
    help->SetLinkAddress(UserGuidePath());
    help->setToolTip(QStringLiteral("用户指南 / User guide"));
  }
  Control(kIdMinimise)->setToolTip(QStringLiteral("最小化"));
  Control(kIdClose)->setToolTip(QStringLiteral("关闭"));
  QFont status = DialogFont(11);
  Control(kIdElapsed)->setFont(status);
  Control(kIdCounters)->setFont(status);
  Control(kIdSaveStatus)->setFont(status);

  ApplyVisualStyle(setup_->styleIndex);
  // Said once, on the line the saves use: the settings in force are not all the stored ones.
  if (loaded == StatusCode::kNewerFormat) {
    const std::wstring newer = Utf8ToWide(NewerSettingsMessage(settingsDb_.get()));
    ShowSaveStatus(newer, newer);
  } else if (!replaced.empty()) {
    const std::wstring note = Utf8ToWide(ReplacedSettingsMessage(replaced));
    ShowSaveStatus(note, note);
  }
  SetTimer(kTimerStatus, 1000);
  StartAutoSaveTimer();
}

void CSitemapDlg::StartAutoSaveTimer() {
  // At least a second: a stored 0 or less would fire the timer on every pass of the event loop.
  long long period = std::max(1LL, static_cast<long long>(setup_->autoSaveInterval)) * 1000;
  const int periodMs = period > INT_MAX ? INT_MAX : static_cast<int>(period);
  // An unchanged interval keeps its countdown: applying other settings does not put it off.
  if (periodMs == autoSavePeriodMs_ && HasTimer(kTimerAutoSave)) return;
  autoSavePeriodMs_ = periodMs;
  SetTimer(kTimerAutoSave, periodMs);
}

void CSitemapDlg::OnSettingsApplied(QWidget* sheet) {
  // Stored at once, as the close button stores them: a crash after OK loses nothing.
  const Status saved = WriteSettings();
  if (!saved.ok()) ShowMessageBox(sheet ? sheet : this, Utf8ToWide(SettingsSaveFailureMessage(saved, settingsDb_.get())));
  if (!closing_) StartAutoSaveTimer();
}

QString CSitemapDlg::UserGuidePath() {
  return ResourceFilePath(QStringLiteral("user-guide.html"));
}

void CSitemapDlg::UsePassword(const std::string& password, bool remember) {
  std::string user, old;
  SplitCredentials(setup_->credentials, user, old);
  setup_->credentials = user + ":" + password;
  if (!remember) return;
  setup_->rememberPassword = 1;
  WriteSettings();
}

Status CSitemapDlg::WriteSettings() { return SaveSettings(setup_.get(), settingsDb_.get()); }

void CSitemapDlg::OnCommand(int id) {
  switch (id) {
    case kIdClose: {
      const Status saved = WriteSettings();
      if (!saved.ok()) ShowMessageBox(this, Utf8ToWide(SettingsSaveFailureMessage(saved, settingsDb_.get())));
      EndDialog(kIdOk);
      break;
    }
    case kIdMinimise:
      showMinimized();
      break;
    case kIdSettings:
      OpenSettingsSheet(this, setup_, [this](QWidget* sheet) { OnSettingsApplied(sheet); });
      break;
    default:
      break;
  }
}

void CSitemapDlg::OnTimer(int id) {
  if (id == kTimerStatus) {
    OnStatusTimer();
  } else if (id == kTimerAutoSave && !closing_) {
    if (crawl_) autoSaver_->Tick(AutoSaveOptionsOf(*setup_), crawl_->results(), *autoSave_);
  }
}

void CSitemapDlg::OnStatusTimer() {
  RefreshSaveStatus();
  int32_t state = crawlState();
  if (state == 1 || (state == 2 && finalRefreshPending_)) {
    RefreshStatus();
    audit_->Refresh();
    finalRefreshPending_ = state == 1;
  }
}

void CSitemapDlg::RefreshSaveStatus() {
  AutoSaveReport report = autoSaver_->LastReport();
  if (report.sequence == shownSaveSequence_) return;
  shownSaveSequence_ = report.sequence;
  if (report.result.ok()) {
    ShowSaveStatus(std::wstring(), std::wstring());
    return;
  }
  std::wstring head = L"自动保存失败（" + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdWString() + L"）：";
  std::wstring file = L"，文件“" + Utf8ToWide(FileWritePathText(report.result)) + L"”";
  ShowSaveStatus(head + Utf8ToWide(FileWriteReasonWords(report.result)) + file, head + Utf8ToWide(FileWriteReason(report.result)) + file);
}

void CSitemapDlg::ShowSaveStatus(const std::wstring& line, const std::wstring& whole, const std::wstring& shorter) {
  saveStatus_ = whole;
  saveLine_ = line;
  saveShortLine_ = shorter;
  Control(kIdSaveStatus)->setToolTip(QString::fromStdWString(whole));
  FitSaveStatus();
}

// One line, however long the path: the shorter form when the line does not fit, and that
// shortened in the middle only when even it does not; the whole text, with the system's own
// words, is the line's tip.
void CSitemapDlg::FitSaveStatus() {
  QWidget* label = Control(kIdSaveStatus);
  const QFontMetrics metrics = label->fontMetrics();
  QString shown = QString::fromStdWString(saveLine_);
  if (metrics.horizontalAdvance(shown) > label->width() && !saveShortLine_.empty())
    shown = QString::fromStdWString(saveShortLine_);
  SetItemText(kIdSaveStatus, metrics.elidedText(shown, Qt::ElideMiddle, label->width()).toStdWString());
}

void CSitemapDlg::ShowWhole(int id, const std::wstring& text) {
  QWidget* label = Control(id);
  const QString whole = QString::fromStdWString(text);
  const QString shown = label->fontMetrics().elidedText(whole, Qt::ElideRight, label->width());
  SetItemText(id, shown.toStdWString());
  label->setToolTip(shown == whole ? QString() : whole);
}

void CSitemapDlg::RefreshStatus() {
  uint32_t seconds = (GetTickCount32() - startTick_) / 1000u;
  std::wstring first = Utf8ToWide(FormatElapsed(seconds));
  if (!endingText_.empty()) first += L"  " + endingText_;
  CrawlCounters counters = crawl_ ? crawl_->counters() : CrawlCounters{};
  // What the crawl wants the user to know goes after the counters, the line with the room; a
  // text too long for it is cut visibly and shown whole in its tip.
  std::wstring line = Utf8ToWide(FormatCounters(counters));
  std::wstring notice = crawl_ ? Utf8ToWide(RenderStopText(crawl_->renderStop())) : std::wstring();
  // A site that makes endless addresses out of one parameter: the rule that ends it is named.
  const std::string repeated = crawl_ ? crawl_->repeatedParameter() : std::string();
  if (!repeated.empty()) {
    if (!notice.empty()) notice += L"  ";
    notice += L"超过" + std::to_wstring(RepeatedParamWatch::kThreshold) + L"个网址只在参数“" + Utf8ToWide(repeated) +
              L"”上不同，可在“网址规则”中去掉它";
  }
  // A busy site waited out, and a crawl that accepts any certificate, are said while they last.
  if (crawl_) {
    std::string connection = PauseText(crawl_->pauseRemaining());
    if (crawl_->params().httpOptions && !crawl_->params().httpOptions->verifyTls)
      connection += (connection.empty() ? "" : "  ") + InsecureText();
    if (!connection.empty()) notice += (notice.empty() ? L"" : L"  ") + Utf8ToWide(connection);
    // Last: its cause may be long, and is cut first.
    const std::string journal = JournalProblemText(crawl_->journalProblem());
    if (!journal.empty()) notice += (notice.empty() ? L"" : L"  ") + Utf8ToWide(journal);
  }
  if (!notice.empty()) line += L"  " + notice;
  ShowWhole(kIdElapsed, first);
  ShowWhole(kIdCounters, line);
  // A crawl that fetched nothing did not get anywhere, however many failures it counted.
  action_->SetProgress(fetchedNothing_ ? 0 : ProgressPosition(counters));
}

bool CSitemapDlg::StartCrawl(const CrawlStartParams& params) {
  auto poster = std::make_shared<PostingResultConsumer>(messageHandle(), ++crawlCount_);
  const CrawlStartParams chosen = ChooseJournal(this, params);
  // The time the resume question was open is not the crawl's.
  startTick_ = GetTickCount32();
  std::shared_ptr<CrawlSession> crawl = CrawlSession::Start(chosen, poster, prepare_);
  if (!crawl) return false;
  crawl_ = std::move(crawl);
  poster_ = std::move(poster);
  endingText_.clear();
  fetchedNothing_ = false;
  return true;
}

void CSitemapDlg::StopCrawl() {
  if (crawl_) crawl_->Stop();
}

int32_t CSitemapDlg::crawlState() const { return crawl_ ? crawl_->state() : -1; }

void CSitemapDlg::OnMessage(const PostedMessage& msg) {
  // What an earlier crawl still posts belongs to no page any more.
  const bool current = poster_ && msg.lParam == poster_->crawlId();
  switch (msg.message) {
    case WM_CRAWL_RESULTS:
      if (current) {
        OnPortion(poster_->Take());
        poster_->Release();
      }
      break;
    case WM_CRAWL_FINISHED:
      if (!current) break;
      OnFinished(static_cast<int32_t>(static_cast<uint32_t>(msg.wParam)));
      RestoreCursor();
      break;
    case WM_CRAWL_RESET:
      OnReset();
      break;
    default:
      break;
  }
}

void CSitemapDlg::OnPortion(const CrawlPortion& portion) {
  if (closing_) return;  // the window is going: only release the worker
  action_->AppendResultRows(portion.okPaths);
  yahoo_->AppendAddresses(portion.okAddresses);
  fail_->AppendFailures(portion.failures);
  google_->AddEntries(SitemapEntriesOf(portion));
}

void CSitemapDlg::OnFinished(int32_t result) {
  action_->SetIdle();
  audit_->Refresh();
  google_->ShowResults(crawl_->results());  // the documents in their final, sorted order
  const CrawlEnding ending = DescribeEnding(*crawl_->results(), result);
  fetchedNothing_ = ending.FetchedNothing();
  endingText_ = Utf8ToWide(EndingStatusText(ending));
  if (crawl_->pageLimitReached())
    endingText_ += L"，已达到网页数上限（" + std::to_wstring(crawl_->params().rules.maxPages) + L"）";
  if (const size_t tooLong = crawl_->results()->tooLongCount())
    endingText_ += L"，" + std::to_wstring(tooLong) + L" 个网页的网址超过 " + std::to_wstring(kMaxSitemapAddress) +
                   L" 个字符，未写入站点地图（仍在网址列表中）";
  AddChangesToEnding();
  if (crawl_->robotsTxtLacksSitemap())
    endingText_ += L"，robots.txt 没有指明网站地图（保存后给出要加入的 Sitemap 行）";
  RefreshStatus();
  if (closing_) return;
  // A site that gave nothing must not look like a finished crawl.
  if (ending.FetchedNothing()) ShowMessageBox(this, Utf8ToWide(EndingMessage(ending, crawl_->params().startUrl)));
}

// Under lastmod from content: the changes file beside the saved sitemaps (the working folder),
// and the counts on the status line.
void CSitemapDlg::AddChangesToEnding() {
  const std::shared_ptr<CrawlResults>& results = crawl_->results();
  const ContentChanges changes = results->changes();
  if (!changes.judged) return;
  endingText_ += L"，" + Utf8ToWide(ChangesCountText(changes));
  const std::string notice = HistoryNoticeText(changes.notice);
  if (!notice.empty()) endingText_ += L"，" + Utf8ToWide(notice);
  const std::string unwritten = HistoryWriteText(changes.notice);
  if (!unwritten.empty()) endingText_ += L"，" + Utf8ToWide(unwritten);
  FileWriteResult failure;
  if (!results->SaveChanges("", &failure).ok())
    endingText_ += L"，无法写入 " + Utf8ToWide(CrawlResults::ChangesName(results->SiteName()));
}

void CSitemapDlg::OnReset() {
  // What was saved or said before belongs to the earlier crawl.
  ShowSaveStatus(std::wstring(), std::wstring());
  action_->DeleteAllRows();
  fail_->DeleteAll();
  google_->ClearText();
  google_->ShowResults(crawl_ ? crawl_->results() : nullptr);
  fail_->ShowResults(crawl_ ? crawl_->results() : nullptr);
  yahoo_->ClearList();
  audit_->ShowCrawl(crawl_);
}

void CSitemapDlg::SaveCursorAndWait() { ShowWaitCursor(); }

void CSitemapDlg::OnLayout() {
  if (tabs_) tabs_->setGeometry(Control(kIdTabArea)->geometry());
  if (grip_) {
    const QSize hint = grip_->sizeHint();
    grip_->setGeometry(width() - hint.width(), height() - hint.height(), hint.width(), hint.height());
    grip_->raise();
  }
  if (Control(kIdSaveStatus)) FitSaveStatus();
}

bool CSitemapDlg::FinishBackgroundWork(std::chrono::milliseconds limit) {
  closing_ = true;
  KillTimer(kTimerAutoSave);
  if (crawlState() == 1) StopCrawl();
  auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    // Hand-overs still arrive as messages: answering them lets the workers finish.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    bool done = (!crawl_ || crawl_->ThreadEnded(std::chrono::milliseconds(10))) &&
                autoSave_->WaitFinished(std::chrono::milliseconds(10));
    if (done) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

void CSitemapDlg::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    // The background works as a caption: the window follows the mouse.
    if (QWindow* w = QWidget::windowHandle(); w && w->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
    e->accept();
    return;
  }
  CPlatformDialog::mousePressEvent(e);
}

void CSitemapDlg::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_ && (e->buttons() & Qt::LeftButton)) {
    move(e->globalPosition().toPoint() - dragOffset_);
    e->accept();
    return;
  }
  CPlatformDialog::mouseMoveEvent(e);
}

void CSitemapDlg::mouseReleaseEvent(QMouseEvent* e) {
  dragging_ = false;
  CPlatformDialog::mouseReleaseEvent(e);
}

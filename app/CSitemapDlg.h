#pragma once
// The main window: captionless, dragged by its background, with its own close (1000) and
// minimise (1022) buttons, the settings button (1023), the help link (1029), the tab window
// over placeholder 1001 with the four pages, the two status lines (1019 elapsed time,
// 1020 counters) and, right of the elapsed time, the auto-save line (1034), which names a
// failed auto-save until the next auto-save succeeds. It owns every long-lived object and
// turns the crawl messages and its two timers (10: status each second, 20: auto-save) into
// updates of the pages.
//
// Enter, Escape and a close request of the window manager leave it open; the close button
// writes the settings (a box says so when they could not be written) and ends the modal run.
// Apply and OK of the settings sheet write them at once in the same way and restart the
// auto-save timer when its interval changed.
#include <QPoint>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "app/CrawlPageHost.h"
#include "common/Status.h"
#include "app/platform/CPlatformDialog.h"
#include "output/CrawlSession.h"

class CButtonST;
class QSizeGrip;
class CDlgSubAction;
class CDlgSubGoogle;
class CDlgSubReportFail;
class CDlgSubAudit;
class CDlgSubYahoo;
class CLevelDb;
class CSetupManager;
class AutoSave;
class CSitemapControl;
class CTabWindow;
class CThreadAutoSave;
class PostingResultConsumer;
struct CrawlPortion;

class CSitemapDlg : public CPlatformDialog, public CrawlPageHost {
  Q_OBJECT
 public:
  static constexpr int kIdClose = 1000;
  static constexpr int kIdTabArea = 1001;
  static constexpr int kIdElapsed = 1019;
  static constexpr int kIdCounters = 1020;
  static constexpr int kIdMinimise = 1022;
  static constexpr int kIdSettings = 1023;
  static constexpr int kIdHelp = 1029;
  static constexpr int kIdTitle = 1031;
  static constexpr int kIdSaveStatus = 1034;
  static constexpr int kTimerStatus = 10;
  static constexpr int kTimerAutoSave = 20;

  explicit CSitemapDlg(QWidget* parent = nullptr);
  ~CSitemapDlg() override;
  static DialogTemplate Template();

  // CrawlPageHost
  WindowHandle MainWindowHandle() const override { return messageHandle(); }
  void SetStartTick(uint32_t tick) override { startTick_ = tick; }
  const CSetupManager& Settings() const override { return *setup_; }
  void UsePassword(const std::string& password, bool remember) override;
  bool StartCrawl(const CrawlStartParams& params) override;
  void StopCrawl() override;
  void SaveCursorAndWait() override;

  // The latest crawl (null before the first Start), with its results.
  const std::shared_ptr<CrawlSession>& crawl() const { return crawl_; }
  // Where the latest crawl posts its portions to this window.
  const std::shared_ptr<PostingResultConsumer>& crawlMessages() const { return poster_; }
  // Whether a crawl runs: -1 never started, 1 running, 2 stopped or ended.
  int32_t crawlState() const;
  // Runs on every new crawl before it starts (tests replace how pages are fetched).
  void SetCrawlPreparer(CrawlSession::Prepare prepare) { prepare_ = std::move(prepare); }

  CTabWindow* tabs() const { return tabs_; }
  CDlgSubAction* actionPage() const { return action_; }
  CDlgSubReportFail* failPage() const { return fail_; }
  CDlgSubAudit* auditPage() const { return audit_; }
  CDlgSubGoogle* googlePage() const { return google_; }
  CDlgSubYahoo* yahooPage() const { return yahoo_; }
  CSetupManager& setup() { return *setup_; }
  const std::shared_ptr<CSetupManager>& sharedSetup() const { return setup_; }
  CLevelDb& settingsStore() { return *settingsDb_; }
  CThreadAutoSave& autoSaveThread() { return *autoSave_; }
  uint32_t startTick() const { return startTick_; }

  // Elapsed time, counters line and progress bar, from the crawl's counters now.
  void RefreshStatus();
  // Sets a status label to text, cut with an ellipsis where it does not fit and then whole in its tip.
  void ShowWhole(int id, const std::wstring& text);
  // Writes the settings to their store (the close button does it first): 0, or the code of
  // SaveSettings.
  Status WriteSettings();
  // The period the auto-save timer runs with, in milliseconds.
  int autoSavePeriodMs() const { return autoSavePeriodMs_; }
  // The whole text of the auto-save line, as its tip shows it (the line itself may show it
  // shortened, without the system's words).
  const std::wstring& saveStatusText() const { return saveStatus_; }
  // Takes the outcome of the latest auto-save: a failure shows on the auto-save line, a
  // success clears it. The status timer calls it every second.
  void RefreshSaveStatus();
  // At program end: asks a running crawl to stop and keeps answering its hand-overs until the
  // crawl and any auto-save have ended or the limit has passed; true when nothing runs any more.
  bool FinishBackgroundWork(std::chrono::milliseconds limit);
  // What the help link opens.
  static QString UserGuidePath();

 protected:
  void OnOK() override {}
  void OnCancel() override {}
  void OnCommand(int id) override;
  void OnTimer(int id) override;
  void OnMessage(const PostedMessage& msg) override;
  void OnLayout() override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void InitWindow();
  void OnPortion(const CrawlPortion& portion);
  void OnFinished(int32_t result);
  // The changes since the site's last crawl, when the crawl judged content.
  void AddChangesToEnding();
  void OnReset();
  void OnStatusTimer();
  // The save line shows line (or shorter, when line does not fit); whole is its tip.
  void ShowSaveStatus(const std::wstring& line, const std::wstring& whole, const std::wstring& shorter = {});
  void FitSaveStatus();
  // After Apply or OK in the settings sheet: store, and take a new auto-save interval.
  void OnSettingsApplied(QWidget* sheet);
  // (Re)starts the auto-save timer with the interval of the settings, unless it runs with it.
  void StartAutoSaveTimer();

  // Owned objects in their order of creation.
  CTabWindow* tabs_ = nullptr;
  QSizeGrip* grip_ = nullptr;
  CDlgSubAction* action_ = nullptr;
  CDlgSubReportFail* fail_ = nullptr;
  CDlgSubGoogle* google_ = nullptr;
  CDlgSubYahoo* yahoo_ = nullptr;
  CDlgSubAudit* audit_ = nullptr;
  std::shared_ptr<CSetupManager> setup_;
  std::shared_ptr<CLevelDb> settingsDb_;
  std::shared_ptr<CThreadAutoSave> autoSave_;
  std::unique_ptr<AutoSave> autoSaver_;
  std::shared_ptr<CrawlSession> crawl_;
  std::shared_ptr<PostingResultConsumer> poster_;  // the crawl's messages to this window
  CrawlSession::Prepare prepare_;
  intptr_t crawlCount_ = 0;                         // names each crawl's messages

  uint32_t startTick_ = 0;
  int autoSavePeriodMs_ = 0;
  uint64_t shownSaveSequence_ = 0;  // the auto-save whose outcome the line shows
  std::wstring saveStatus_;
  std::wstring saveLine_;       // what the save line shows when it fits
  std::wstring saveShortLine_;  // and when it does not
  std::wstring endingText_;  // how the latest crawl ended, beside the elapsed time
  bool finalRefreshPending_ = false;
  bool fetchedNothing_ = false;  // the latest crawl ended without a page: its bar stays empty
  bool closing_ = false;
  bool dragging_ = false;
  QPoint dragOffset_;
};

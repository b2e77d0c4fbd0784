#pragma once
// The XML sitemap page: shows one sitemap document (1015) of the crawl's results, the
// chooser of documents (1017: every file with its name and number of addresses, so a split
// sitemap shows that there are several and each can be read), the check box "GZIP压缩"
// (1016, checked at start) and "保存" (1018), which saves every document named after the
// crawl's site. Each crawl brings its own results. "提交到搜索引擎" (1019) asks once whether to
// send the sitemap's pages to the engines set up in the settings and sends them on a thread of
// its own; the result goes to the status line and a message.
//
// Unless the user chose an earlier document, the display follows the newest one without
// printing it whole after every portion: new entries are inserted as text before the root
// end tag; a new document (or the first entry of one, or entries the box has not kept pace
// with) is printed whole.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/SearchEnginePusher.h"
#include "app/SaveReport.h"
#include "app/platform/CPlatformDialog.h"
#include "output/SitemapEntry.h"
#include "output/SitemapFrame.h"

class CSitemapXmlWriter;
class CrawlResults;

class CDlgSubGoogle : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdText = 1015;
  static constexpr int kIdGzip = 1016;
  static constexpr int kIdDocuments = 1017;
  static constexpr int kIdSave = 1018;
  static constexpr int kIdPush = 1019;

  // What a push needs from the window when the button is pressed.
  struct PushSource {
    SearchEngineSettings engines;
    http_options http;
    bool crawling = false;         // a crawl is still running
    bool robotsLacksSitemap = false;  // the crawl read robots.txt and it names no sitemap
  };

  explicit CDlgSubGoogle(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The results whose documents the page shows and saves (a new crawl's, at its start).
  void ShowResults(std::shared_ptr<CrawlResults> results);
  const std::shared_ptr<CrawlResults>& results() const { return results_; }
  // Told what a good Save wrote (how many files, and where), for the status line.
  void SetSaveReporter(SaveReporter report) { saveReporter_ = std::move(report); }
  // Whether Save also writes a sitemap index beside several documents.
  void SetIndexWanted(std::function<bool()> wanted) { indexWanted_ = std::move(wanted); }
  void SetPushSource(std::function<PushSource()> source) { pushSource_ = std::move(source); }
  // Whether Save also writes the HTML sitemap page (the crawl collected the titles).
  void SetHtmlPageWanted(std::function<bool()> wanted) { htmlPageWanted_ = std::move(wanted); }
  // Told the push's one-line result, for the status line.
  void SetPushReporter(std::function<void(const std::wstring&)> report) { pushReporter_ = std::move(report); }
  // Asks, then starts the push; false when nothing was sent (nothing to send, no engine set
  // up, the answer was 否, or a push still runs).
  bool Push();
  SearchEnginePusher& pusher() { return pusher_; }

  // A portion's successful addresses, byte-wise ordered, that the documents have taken:
  // shown. An address in lastmods has that lastmod instead of the writer's date.
  void AddAddresses(const std::set<std::string>& addresses, const std::map<std::string, std::string>& lastmods = {});
  // The same for a portion's entries (SitemapEntriesOf), each with its depth and alternates.
  void AddEntries(const std::vector<SitemapEntry>& entries);
  // Empties the text box (WM_CRAWL_RESET).
  void ClearText();
  // Shows the chosen document (the newest unless the user chose another) whole.
  void RefreshDisplay();
  // Shows document index (as a choice in the chooser would); the newest one is followed again.
  void ShowDocument(int index);
  // The document the box shows; -1 when it shows none.
  int32_t shownDocument() const { return shownIndex_; }
  // The chooser's line for every document, in order.
  std::vector<std::wstring> DocumentChoices() const;
  // Saves every document, and the index when one is wanted and there are several; a file
  // that could not be written is named in a message box with the reason. True when every
  // file was written.
  bool Save();

 protected:
  void OnCommand(int id) override;

 private:
  // The document the box should show: the chosen one, or the newest.
  int32_t WantedDocument() const;
  // One line per document, the shown one selected.
  void UpdateChooser();

  std::shared_ptr<CrawlResults> results_;
  std::shared_ptr<CSitemapXmlWriter> writer_;
  std::function<bool()> indexWanted_;
  std::function<PushSource()> pushSource_;
  std::function<bool()> htmlPageWanted_;
  std::function<void(const std::wstring&)> pushReporter_;
  // After a save: the robots.txt line for the files, offered for copying.
  void OfferRobotsLine(const std::vector<std::string>& names, bool index);
  void OnPushed(const PushOutcome& outcome);
  SaveReporter saveReporter_;
  bool followNewest_ = true;  // false while the user reads an earlier document
  int32_t chosen_ = -1;
  SitemapFrame frame_;
  bool frameReady_ = false;
  int32_t shownIndex_ = -1;   // document the box shows; -1: the box does not follow the writer
  bool shownHasEntries_ = false;
  size_t shownCount_ = 0;     // entries of that document the box shows
  SearchEnginePusher pusher_;  // last: its thread ends before the rest goes
};

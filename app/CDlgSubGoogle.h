#pragma once
// The XML sitemap page: shows the current sitemap document (1015) of the crawl's results,
// the check box "GZIP压缩" (1016, checked at start) and "保存" (1018), which saves every
// document named after the crawl's site. Each crawl brings its own results.
//
// The display follows the documents without printing the whole one after every portion:
// new entries are inserted as text before the root end tag; a new document (or the first
// entry of one, or entries the box has not kept pace with) is printed whole.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

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
  static constexpr int kIdSave = 1018;

  explicit CDlgSubGoogle(QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The results whose documents the page shows and saves (a new crawl's, at its start).
  void ShowResults(std::shared_ptr<CrawlResults> results);
  const std::shared_ptr<CrawlResults>& results() const { return results_; }
  // Told what a good Save wrote (how many files, and where), for the status line.
  void SetSavedReporter(std::function<void(const std::wstring&)> report) { savedReporter_ = std::move(report); }
  // Whether Save also writes a sitemap index beside several documents.
  void SetIndexWanted(std::function<bool()> wanted) { indexWanted_ = std::move(wanted); }

  // A portion's successful addresses, byte-wise ordered, that the documents have taken:
  // shown. An address in lastmods has that lastmod instead of the writer's date.
  void AddAddresses(const std::set<std::string>& addresses, const std::map<std::string, std::string>& lastmods = {});
  // The same for a portion's entries (SitemapEntriesOf), each with its depth and alternates.
  void AddEntries(const std::vector<SitemapEntry>& entries);
  // Empties the text box (WM_CRAWL_RESET).
  void ClearText();
  // Shows the current document whole.
  void RefreshDisplay();
  // Saves every document, and the index when one is wanted and there are several; a file
  // that could not be written is named in a message box with the reason. True when every
  // file was written.
  bool Save();

 protected:
  void OnCommand(int id) override;

 private:
  std::shared_ptr<CrawlResults> results_;
  std::shared_ptr<CSitemapXmlWriter> writer_;
  std::function<bool()> indexWanted_;
  std::function<void(const std::wstring&)> savedReporter_;
  SitemapFrame frame_;
  bool frameReady_ = false;
  int32_t shownIndex_ = -1;   // document the box shows; -1: the box does not follow the writer
  bool shownHasEntries_ = false;
  size_t shownCount_ = 0;     // entries of that document the box shows
};

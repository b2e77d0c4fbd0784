#pragma once
// The XML sitemap page: shows the current sitemap document (1015), the check box
// "GZIP压缩" (1016, checked at start) and "保存" (1018), which saves every document with the
// crawl's host as prefix. The page owns the program's one CSitemapXmlWriter.
//
// The display follows the writer without printing the whole document after every portion:
// new entries are inserted as text before the root end tag; a new document (or the first
// entry of one) is printed whole.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/platform/CPlatformDialog.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapFrame.h"

class CDlgSubGoogle : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdText = 1015;
  static constexpr int kIdGzip = 1016;
  static constexpr int kIdSave = 1018;

  explicit CDlgSubGoogle(QWidget* parent = nullptr);
  static DialogTemplate Template();

  CSitemapXmlWriter& writer() { return *writer_; }
  // Where Save takes its prefix from (the crawl's host, read under its lock).
  void SetHostSource(std::function<std::string()> host) { host_ = std::move(host); }
  // The site's root address when Save is to write a sitemap index beside several documents;
  // empty when no index is wanted.
  void SetIndexSource(std::function<std::string()> siteRoot) { indexRoot_ = std::move(siteRoot); }

  // A portion's successful addresses, byte-wise ordered: added to the writer, then shown.
  // An address in lastmods gets that lastmod instead of the writer's date.
  void AddAddresses(const std::set<std::string>& addresses, const std::map<std::string, std::string>& lastmods = {});
  // Empties the text box (WM_CRAWL_RESET); the writer keeps its documents.
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
  std::unique_ptr<CSitemapXmlWriter> writer_;
  std::function<std::string()> host_;
  std::function<std::string()> indexRoot_;
  SitemapFrame frame_;
  bool frameReady_ = false;
  int32_t shownIndex_ = -1;   // document the box shows; -1: the box does not follow the writer
  bool shownHasEntries_ = false;
};

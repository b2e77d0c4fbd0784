#pragma once
#include <boost/thread/shared_mutex.hpp>
#include <cstdint>
#include <mutex>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/LocalDate.h"
#include "crawl/SitemapContent.h"
#include "output/CSitemapDocument.h"
#include "output/FileWriteResult.h"
#include "output/SitemapFrame.h"

// The XML sitemap of the run: urlset documents that grow as addresses arrive, a new one
// started whenever the current one's printed text has passed kSplitSize bytes, each saved to
// its own file (plain with CR LF line ends, or gzip with LF).
class CSitemapXmlWriter {
 public:
  static constexpr size_t kSplitSize = 2000000;

  // lastmod of every entry is the local date of construction (YYYY-MM-DD).
  CSitemapXmlWriter();
  // The same with a given lastmod text (fixed dates make files comparable).
  explicit CSitemapXmlWriter(const std::string& lastmod);
  // The same with what the entries hold beyond loc and lastmod (change frequency, priority
  // by depth, language alternates); an empty lastmod is today's date.
  CSitemapXmlWriter(const std::string& lastmod, const SitemapContent& content);
  // What the entries hold besides their address (change frequency, priority, alternates).
  const SitemapContent& content() const { return content_; }
  CSitemapXmlWriter(const CSitemapXmlWriter&) = delete;
  CSitemapXmlWriter& operator=(const CSitemapXmlWriter&) = delete;

  // kMissing before the header exists; kAttach when the entry could not be added.
  Status AddUrl(const std::string& address);
  // The same with the entry's own lastmod text (a W3C date, such as W3cDateOfHttpDate
  // gives); an empty one is the writer's date, so the entry is exactly what AddUrl(address)
  // adds.
  Status AddUrl(const std::string& address, const std::string& lastmod);
  // The same for a page at that link depth with its language alternates and its images
  // (each written only when the content asks for them).
  Status AddUrl(const std::string& address, const std::string& lastmod, int32_t depth,
                const std::vector<std::pair<std::string, std::string>>& alternates,
                const std::vector<std::string>& images = {});
  // The printed text of such an entry: what AddUrl appends, and what the sitemap page shows.
  std::string EntryText(const std::string& address, const std::string& lastmod, int32_t depth,
                        const std::vector<std::pair<std::string, std::string>>& alternates,
                        const std::vector<std::string>& images = {}) const;
  // Writes document i to base + i + ".xml" (+ ".gz"), base being prefix + "_sitemap", or
  // "sitemap" for an empty prefix. ok when every file was written, else kFileOpen with the
  // first failure's file and cause (files that could not be written keep their previous
  // content; the others are still written), kMissing before the header exists. When
  // firstFailure is given it receives the first file that failed and why (ok when none did);
  // savedNames, when given, the name of every file written, in document order (the documents
  // a sitemap index lists).
  Status SaveAll(const std::string& prefix, bool gzip, FileWriteResult* firstFailure = nullptr,
                 std::vector<std::string>* savedNames = nullptr);
  Status SaveAll(const std::string& prefix, bool gzip, std::vector<std::string>& savedNames) {
    return SaveAll(prefix, gzip, nullptr, &savedNames);
  }
  // The current document in the printer form; kMissing when there is none, kGeneral when it
  // cannot be printed. urlCount, when given, receives how many entries that text holds.
  Status PrintCurrent(std::string& out, size_t* urlCount = nullptr);
  // How many entries the current document holds.
  size_t CurrentUrlCount() const;
  // Document index in the printer form, as PrintCurrent does for the current one.
  Status PrintDocument(size_t index, std::string& out, size_t* urlCount = nullptr) const;
  // How many entries document index holds (0 past the last).
  size_t UrlCount(size_t index) const;

  int32_t currentIndex() const;
  size_t documentCount() const;
  const std::map<std::string, std::string>& childTemplate() const { return childTemplate_; }
  // The lastmod of entries without their own (also kept when the content writes none).
  const std::string& date() const { return date_; }
  // The fixed pieces of every document; ready() false when they could not be made.
  const SitemapFrame& frame() const { return frame_; }
  bool ready() const { return ready_; }

  // File name of document index for a prefix.
  static std::string FileName(const std::string& prefix, size_t index, bool gzip);

 private:
  void Initialise(const std::string& lastmod, const SitemapContent& content);
  bool NewDocumentWithHeader();
  void StartNextDocument();
  Status SaveDocument(size_t index, const std::string& name, bool gzip, FileWriteResult& result);

  // Shared while a document is measured, printed or saved, exclusive while one is created,
  // extended or closed.
  mutable boost::shared_mutex documentLock_;
  // Held for the whole of one save, so two saves (Save and auto-save) never write the same
  // files at the same time.
  std::mutex saveLock_;
  bool ready_ = false;
  int32_t currentIndex_ = -1;
  std::vector<std::unique_ptr<CSitemapDocument>> documents_;
  std::map<std::string, std::string> childTemplate_;
  std::string date_;
  SitemapFrame frame_;
  SitemapContent content_;
};

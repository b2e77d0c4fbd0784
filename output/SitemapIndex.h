#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/FileWriteResult.h"

// The sitemap index (sitemaps.org): one file that names every sitemap document of a site, so
// a search engine needs to be told of one address only.
//
//   std::vector<std::string> saved;
//   writer.SaveAll(host, gzip, saved);
//   WriteSitemapIndexFor({saved, "https://host/", host, ""});   // host_sitemap_index.xml

// One listed document: its full address and its lastmod text.
struct SitemapIndexEntry {
  std::string loc;
  std::string lastmod;
};

// The index document as the XML printer writes it (LF line ends): the declaration, then the
// sitemapindex root (sitemap namespace) with one sitemap element, holding loc and lastmod,
// per entry. loc is written as a sitemap's loc is (percent-encoded, escaped).
std::string SitemapIndexText(const std::vector<SitemapIndexEntry>& entries);

// Writes the index to fileName as the plain sitemap files are written (CR LF, beside its name
// and moved over it when complete). kFileOpen when it could not be written (an existing file
// is then left as it was), kNoMemory; result, when given, receives the file and the cause.
Status WriteSitemapIndexFile(const std::string& fileName, const std::vector<SitemapIndexEntry>& entries,
                             FileWriteResult* result = nullptr);

// The index's file name for the prefix the sitemap files were saved with:
// prefix + "_sitemap_index.xml", or "sitemap_index.xml" for an empty prefix.
std::string SitemapIndexFileName(const std::string& prefix);

struct SitemapIndexRequest {
  std::vector<std::string> documentNames;  // the files SaveAll wrote, as it names them
  std::string siteRoot;                    // the site's root address, "https://host/" ("/" added when missing)
  std::string prefix;                      // the prefix SaveAll was given
  std::string lastmod;                     // of every document; empty: today's local date
};

// Writes SitemapIndexFileName(prefix) listing each document at the site's root under its file
// name without folders ("https://host/host_sitemap0.xml.gz"), when there are two documents or
// more; one document needs no index, and nothing is written. ok when written or not needed
// (written tells which), kFileOpen when the file could not be written, kNoMemory; result, when
// given, receives the outcome (ok when nothing was needed).
Status WriteSitemapIndexFor(const SitemapIndexRequest& request, bool* written = nullptr,
                            FileWriteResult* result = nullptr);

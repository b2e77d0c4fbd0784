#include "output/SitemapIndex.h"

#include <tinyxml.h>

#include <new>

#include "common/TextCodec.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapEscape.h"
#include "output/SitemapFiles.h"
#include "output/SitemapFrame.h"

namespace {

void AddTextChild(TiXmlElement& parent, const char* name, const std::string& text) {
  TiXmlElement child(name);
  child.InsertEndChild(TiXmlText(text.c_str()));
  parent.InsertEndChild(child);
}

// The name without its folders; the file system takes it as UTF-8, and so does its address.
std::string FileNameOnly(const std::string& fullName) {
  size_t slash = fullName.find_last_of('/');
  std::string name = slash == std::string::npos ? fullName : fullName.substr(slash + 1);
  return name;
}

}  // namespace

std::string SitemapIndexText(const std::vector<SitemapIndexEntry>& entries) {
  TiXmlDocument doc;
  doc.InsertEndChild(TiXmlDeclaration("1.0", "UTF-8", ""));
  TiXmlElement root("sitemapindex");
  root.SetAttribute("xmlns", kSitemapNamespace);
  for (const SitemapIndexEntry& entry : entries) {
    TiXmlElement sitemap("sitemap");
    std::string loc;
    AppendPercentEncoded(loc, entry.loc);
    AddTextChild(sitemap, "loc", loc);
    AddTextChild(sitemap, "lastmod", entry.lastmod);
    root.InsertEndChild(sitemap);
  }
  doc.InsertEndChild(root);
  TiXmlPrinter printer;
  doc.Accept(&printer);
  return std::string(printer.CStr(), printer.Size());
}

Status WriteSitemapIndexFile(const std::string& fileName, const std::vector<SitemapIndexEntry>& entries,
                             FileWriteResult* result) {
  try {
    return WritePlainSitemapFile(fileName, SitemapIndexText(entries), result);
  } catch (const std::bad_alloc&) {
    if (result) *result = PrepareFailure(fileName, StatusCode::kNoMemory, "out of memory");
    return StatusCode::kNoMemory;
  }
}

std::string SitemapIndexFileName(const std::string& prefix) {
  return prefix.empty() ? std::string("sitemap_index.xml") : prefix + "_sitemap_index.xml";
}

Status WriteSitemapIndexFor(const SitemapIndexRequest& request, bool* written, FileWriteResult* result) {
  if (written) *written = false;
  if (result) *result = FileWriteResult();
  if (request.documentNames.size() < 2) return {};
  try {
    std::string root = request.siteRoot;
    if (root.empty() || root.back() != '/') root += '/';
    const std::string lastmod = request.lastmod.empty() ? LocalIsoDate() : request.lastmod;
    std::vector<SitemapIndexEntry> entries;
    entries.reserve(request.documentNames.size());
    for (const std::string& name : request.documentNames) entries.push_back({root + FileNameOnly(name), lastmod});
    Status saved = WriteSitemapIndexFile(SitemapIndexFileName(request.prefix), entries, result);
    if (written) *written = saved.ok();
    return saved;
  } catch (const std::bad_alloc&) {
    if (result) *result = PrepareFailure(SitemapIndexFileName(request.prefix), StatusCode::kNoMemory, "out of memory");
    return StatusCode::kNoMemory;
  }
}

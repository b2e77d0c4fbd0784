#include "output/HtmlSitemap.h"

#include <algorithm>
#include <filesystem>

#include "common/PercentEncoding.h"
#include "output/CReplacingFile.h"

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
}

// The folder a page lies in: its path up to the last "/" before any query.
std::string FolderOf(const std::string& address) {
  const size_t scheme = address.find("://");
  const size_t pathStart = address.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (pathStart == std::string::npos) return "/";
  const size_t query = address.find_first_of("?#", pathStart);
  const std::string path = address.substr(pathStart, query == std::string::npos ? std::string::npos : query - pathStart);
  return path.substr(0, path.rfind('/') + 1);
}

struct Placed {
  std::string folder;
  HtmlSitemapEntry entry;
  bool operator<(const Placed& other) const {
    return folder != other.folder ? folder < other.folder : entry.address < other.entry.address;
  }
};

void AppendNavigation(std::string& out, const std::string& site, size_t page, size_t pages) {
  if (pages < 2) return;
  out += "<nav><p>第 " + std::to_string(page + 1) + " 页，共 " + std::to_string(pages) + " 页：";
  for (size_t i = 0; i < pages; ++i) {
    out += ' ';
    if (i == page) {
      out += "<strong>" + std::to_string(i + 1) + "</strong>";
    } else {
      out += "<a href=\"";
      AppendEscaped(out, HtmlSitemapFileName(site, i));
      out += "\">" + std::to_string(i + 1) + "</a>";
    }
  }
  out += "</p></nav>\n";
}

std::string PageText(const std::string& site, const std::vector<Placed>& placed, size_t begin, size_t end, size_t page,
                     size_t pages) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>网站地图 - ";
  AppendEscaped(out, site);
  if (pages > 1) out += "（第 " + std::to_string(page + 1) + " 页）";
  out += "</title>\n</head>\n<body>\n<h1>网站地图</h1>\n";
  AppendNavigation(out, site, page, pages);
  std::string folder;
  bool open = false;
  for (size_t i = begin; i < end; ++i) {
    const Placed& p = placed[i];
    if (!open || p.folder != folder) {
      if (open) out += "</ul>\n</section>\n";
      folder = p.folder;
      open = true;
      out += "<section>\n<h2>";
      AppendEscaped(out, ReadableAddress(folder));
      out += "</h2>\n<ul>\n";
    }
    const std::string href = PercentEncode(p.entry.address, PercentEncodeSet::kAddress);
    out += "<li><a href=\"";
    AppendEscaped(out, href);
    out += "\">";
    AppendEscaped(out, p.entry.title.empty() ? ReadableAddress(href) : p.entry.title);
    out += "</a></li>\n";
  }
  if (open) out += "</ul>\n</section>\n";
  AppendNavigation(out, site, page, pages);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace

std::string HtmlSitemapFileName(const std::string& site, size_t page) {
  return site + "_sitemap" + (page == 0 ? std::string() : std::to_string(page + 1)) + ".html";
}

Status WriteHtmlSitemap(const std::string& dir, const std::string& site, std::vector<HtmlSitemapEntry> entries,
                        FileWriteResult* result, std::vector<std::string>* savedNames) {
  std::vector<Placed> placed;
  placed.reserve(entries.size());
  for (HtmlSitemapEntry& entry : entries) {
    std::string folder = FolderOf(entry.address);
    placed.push_back({std::move(folder), std::move(entry)});
  }
  std::sort(placed.begin(), placed.end());
  const size_t pages = std::max<size_t>(1, (placed.size() + kHtmlSitemapPageSize - 1) / kHtmlSitemapPageSize);
  if (result) *result = FileWriteResult();
  for (size_t page = 0; page < pages; ++page) {
    const std::string name = HtmlSitemapFileName(site, page);
    CReplacingFile out(dir.empty() ? name : (std::filesystem::path(dir) / name).string());
    const size_t begin = page * kHtmlSitemapPageSize;
    const size_t end = std::min(placed.size(), begin + kHtmlSitemapPageSize);
    if (out.isOpen() && out.Write(PageText(site, placed, begin, end, page, pages))) out.Commit();
    if (!out.result().ok()) {
      if (result) *result = out.result();
      return out.status();
    }
    if (savedNames) savedNames->push_back(name);
  }
  return {};
}

#include "output/RobotsSitemapLine.h"

#include <filesystem>

#include "common/PercentEncoding.h"
#include "output/CrawlResults.h"
#include "output/SitemapIndex.h"

namespace {

std::string LineFor(const SiteOrigin& site, const std::string& file) {
  const std::string name = std::filesystem::path(file).filename().string();
  return "Sitemap: " + PercentEncode(FullAddress(site, "/" + name), PercentEncodeSet::kAddress);
}

}  // namespace

std::vector<std::string> RobotsSitemapLines(const SiteOrigin& site, const std::vector<std::string>& savedFiles,
                                            bool indexWritten) {
  std::vector<std::string> lines;
  if (indexWritten && savedFiles.size() >= 2) {
    lines.push_back(LineFor(site, SitemapIndexFileName(SiteFileName(site))));
    return lines;
  }
  for (const std::string& file : savedFiles) lines.push_back(LineFor(site, file));
  return lines;
}

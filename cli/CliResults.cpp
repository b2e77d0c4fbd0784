#include "cli/CliResults.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/FailureTsv.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CReplacingFile.h"
#include "output/CSitemapXmlWriter.h"
#include "output/UrlListFile.h"

namespace {

// Runs fn with the working directory set to dir: the sitemap files get the relative names
// the Save button gives them, whatever characters the folder's path holds.
template <typename Fn>
int32_t InFolder(const std::string& dir, Fn fn) {
  std::error_code ec;
  std::filesystem::path previous = std::filesystem::current_path(ec);
  if (ec || chdir(dir.c_str()) != 0) return rc::kFileOpen;
  int32_t result = fn();
  if (chdir(previous.c_str()) != 0) return result == rc::kOk ? rc::kGeneral : result;
  return result;
}

}  // namespace

CliResults::CliResults() : writer_(std::make_unique<CSitemapXmlWriter>()) {}

CliResults::~CliResults() = default;

void CliResults::AddPortion(const CrawlPortion& portion) {
  for (const std::string& address : portion.okAddresses) {
    okAddresses_ += address;
    okAddresses_ += '\0';
    ++okCount_;
  }
  failures_.insert(failures_.end(), portion.failures.begin(), portion.failures.end());
  if (writer_) {
    for (const std::string& address : portion.sitemapAddresses) writer_->AddUrl(address);
  }
}

void CliResults::ClearLists() {
  okAddresses_.clear();
  okCount_ = 0;
  failures_.clear();
}

int32_t CliResults::SaveSitemap(const std::string& dir, const std::string& host, bool gzip) {
  if (!writer_) return rc::kMissing;
  return InFolder(dir, [&] { return writer_->SaveAll(host, gzip); });
}

void CliResults::ReleaseSitemap() { writer_.reset(); }

int32_t CliResults::SaveUrlList(const std::string& dir, const std::string& host) const {
  // The bytes of SaveUrlListFile for the text of every UrlListLine, written line by line:
  // the whole text in wide characters was by far the largest allocation of a large crawl.
  // Each line converts on its own as the whole would, and trimming the whole text only
  // touches the end of the last line (every address begins with its scheme).
  std::filesystem::path file = std::filesystem::path(dir) / UrlListName(host);
  CReplacingFile out(file.string());
  if (!out.isOpen()) return rc::kFileOpen;
  size_t start = 0;
  while (start < okAddresses_.size()) {
    size_t end = okAddresses_.find('\0', start);
    std::wstring line = UrlListLine(okAddresses_.substr(start, end - start));
    start = end + 1;
    if (start >= okAddresses_.size()) line = TrimWhitespace(line);
    if (!out.Write(WideToAnsiLenient(line))) return rc::kFileOpen;
  }
  return out.Commit() ? rc::kOk : rc::kFileOpen;
}

int32_t CliResults::SaveFailures(const std::string& dir, const std::string& host) const {
  std::filesystem::path file = std::filesystem::path(dir) / FailureListName(host);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return rc::kFileOpen;
  for (const auto& [path, code] : failures_) out << FailureTsvLine(path, code);
  out.flush();
  return out ? rc::kOk : rc::kFileOpen;
}

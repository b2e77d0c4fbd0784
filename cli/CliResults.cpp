#include "cli/CliResults.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "cli/FailureTsv.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CReplacingFile.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapIndex.h"
#include "output/UrlListFile.h"

namespace {

// Runs fn with the working directory set to dir: the sitemap files get the relative names
// the Save button gives them, whatever characters the folder's path holds.
template <typename Fn>
int32_t InFolder(const std::string& dir, FileWriteResult& failure, Fn fn) {
  std::error_code ec;
  std::filesystem::path previous = std::filesystem::current_path(ec);
  if (ec || chdir(dir.c_str()) != 0) {
    failure.code = rc::kFileOpen;
    failure.step = WriteStep::Open;
    failure.path = dir;
    failure.systemError = ec ? ec.value() : errno;
    return rc::kFileOpen;
  }
  int32_t result = fn();
  if (chdir(previous.c_str()) != 0) return result == rc::kOk ? rc::kGeneral : result;
  return result;
}

int32_t Report(const CReplacingFile& file, FileWriteResult* result) {
  if (result) *result = file.result();
  return file.code();
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
    for (const std::string& address : portion.sitemapAddresses) {
      auto own = portion.lastmods.find(address);
      writer_->AddUrl(address, own == portion.lastmods.end() ? std::string() : own->second);
    }
  }
}

void CliResults::ClearLists() {
  okAddresses_.clear();
  okCount_ = 0;
  failures_.clear();
}

int32_t CliResults::SaveSitemap(const std::string& dir, const std::string& host, bool gzip,
                                FileWriteResult* result, const std::string& indexRoot) {
  FileWriteResult failure;
  int32_t code = rc::kMissing;
  if (writer_) {
    code = InFolder(dir, failure, [&] {
      std::vector<std::string> saved;
      int32_t r = writer_->SaveAll(host, gzip, &failure, &saved);
      if (r != rc::kOk || indexRoot.empty()) return r;
      r = WriteSitemapIndexFor({saved, indexRoot, host, ""});
      if (r != rc::kOk)
        failure = PrepareFailure(AbsoluteFilePath(SitemapIndexFileName(host)), r, "the sitemap index could not be written");
      return r;
    });
  } else {
    failure = PrepareFailure(dir, rc::kMissing, "the sitemap was already released");
  }
  if (result) *result = failure;
  return code;
}

void CliResults::ReleaseSitemap() { writer_.reset(); }

int32_t CliResults::SaveUrlList(const std::string& dir, const std::string& host, FileWriteResult* result) const {
  // The bytes of SaveUrlListFile for the text of every UrlListLine, written line by line:
  // the whole text in wide characters was by far the largest allocation of a large crawl.
  // Each line converts on its own as the whole would, and trimming the whole text only
  // touches the end of the last line (every address begins with its scheme).
  std::filesystem::path file = std::filesystem::path(dir) / UrlListName(host);
  CReplacingFile out(file.string());
  if (!out.isOpen()) return Report(out, result);
  size_t start = 0;
  while (start < okAddresses_.size()) {
    size_t end = okAddresses_.find('\0', start);
    std::wstring line = UrlListLine(okAddresses_.substr(start, end - start));
    start = end + 1;
    if (start >= okAddresses_.size()) line = TrimWhitespace(line);
    if (!out.Write(WideToUtf8(line))) return Report(out, result);
  }
  out.Commit();
  return Report(out, result);
}

int32_t CliResults::SaveFailures(const std::string& dir, const std::string& host, FileWriteResult* result) const {
  constexpr size_t kPiece = 64 * 1024;
  std::filesystem::path file = std::filesystem::path(dir) / FailureListName(host);
  CReplacingFile out(file.string());
  if (!out.isOpen()) return Report(out, result);
  std::string piece;
  for (const auto& [path, code] : failures_) {
    piece += FailureTsvLine(path, code);
    if (piece.size() >= kPiece) {
      if (!out.Write(piece)) return Report(out, result);
      piece.clear();
    }
  }
  if (out.Write(piece)) out.Commit();
  return Report(out, result);
}

#include "output/FileWriteResult.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

std::string FileWriteReasonText(const FileWriteResult& result) {
  if (result.systemError != 0) return std::error_code(result.systemError, std::generic_category()).message();
  if (!result.libraryText.empty()) return result.libraryText;
  if (result.code == StatusCode::kNoMemory) return "out of memory";
  return result.ok() ? std::string() : std::string("unknown error");
}

Status FileWriteResult::status() const {
  if (ok()) return {};
  try {
    return Status(code, path + ": " + FileWriteReasonText(*this));
  } catch (...) {
    return code;
  }
}

std::string AbsoluteFilePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

FileWriteResult PrepareFailure(const std::string& path, StatusCode code, const std::string& text) {
  FileWriteResult result;
  result.code = code;
  result.step = WriteStep::Prepare;
  result.path = AbsoluteFilePath(path);
  result.libraryText = text;
  return result;
}

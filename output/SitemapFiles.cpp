#include "output/SitemapFiles.h"

#include <new>

#include "common/TextCodec.h"
#include "output/CGzFile.h"
#include "output/CReplacingFile.h"

namespace {

// Appends the text with LF turned into CR LF, writing in pieces of about 64 KiB.
bool WriteWithCrLf(CReplacingFile& file, std::string_view text) {
  constexpr size_t kPiece = 64 * 1024;
  std::string piece;
  piece.reserve(kPiece + 2);
  for (char c : text) {
    if (c == '\n') piece += '\r';
    piece += c;
    if (piece.size() >= kPiece) {
      if (!file.Write(piece)) return false;
      piece.clear();
    }
  }
  return file.Write(piece);
}

Status Finish(CReplacingFile& file, FileWriteResult* result) {
  file.Commit();
  if (result) *result = file.result();
  return file.status();
}

Status OutOfMemory(const std::string& path, FileWriteResult* result) {
  if (result) *result = PrepareFailure(path, StatusCode::kNoMemory, "out of memory");
  return StatusCode::kNoMemory;
}

}  // namespace

Status WritePlainSitemapFile(const std::string& fileName, std::string_view printedText, FileWriteResult* result) {
  const std::string path = fileName;
  try {
    CReplacingFile file(path);
    if (file.isOpen()) WriteWithCrLf(file, printedText);
    return Finish(file, result);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(path, result);
  }
}

Status WriteGzipSitemapFile(const std::string& fileName, std::string_view printedText, FileWriteResult* result) {
  const std::string path = fileName;
  try {
    CReplacingFile file(path);
    if (file.isOpen()) {
      CGzFile gz(file.DuplicateDescriptor(), "wb");
      bool ok = gz.isOpen() && gz.Write(printedText);
      ok = gz.Close() && ok;
      if (!ok) file.Fail(WriteStep::Write, gz.systemError(), gz.libraryText());
    }
    return Finish(file, result);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(path, result);
  }
}

Status WriteSitemapBytes(const std::string& fileName, std::string_view bytes, FileWriteResult* result) {
  const std::string path = fileName;
  try {
    CReplacingFile file(path);
    if (file.isOpen()) file.Write(bytes);
    return Finish(file, result);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(path, result);
  }
}

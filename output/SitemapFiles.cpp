#include "output/SitemapFiles.h"

#include <new>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CGzFile.h"
#include "output/CReplacingFile.h"

namespace {

std::string FileSystemPath(const std::string& ansiPath) { return AnsiToUtf8(ansiPath); }

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

}  // namespace

int32_t WritePlainSitemapFile(const std::string& ansiPath, std::string_view printedText) {
  try {
    CReplacingFile file(FileSystemPath(ansiPath));
    if (!file.isOpen()) return rc::kFileOpen;
    if (!WriteWithCrLf(file, printedText)) return rc::kFileOpen;
    return file.Commit() ? rc::kOk : rc::kFileOpen;
  } catch (const std::bad_alloc&) {
    return rc::kNoMemory;
  }
}

int32_t WriteGzipSitemapFile(const std::string& ansiPath, std::string_view printedText) {
  CReplacingFile file(FileSystemPath(ansiPath));
  if (!file.isOpen()) return rc::kFileOpen;
  CGzFile gz(file.DuplicateDescriptor(), "wb");
  bool ok = gz.isOpen() && gz.Write(printedText);
  ok = gz.Close() && ok;
  if (!ok) return rc::kFileOpen;
  return file.Commit() ? rc::kOk : rc::kFileOpen;
}

int32_t WriteSitemapBytes(const std::string& ansiPath, std::string_view bytes) {
  CReplacingFile file(FileSystemPath(ansiPath));
  if (!file.isOpen()) return rc::kFileOpen;
  if (!file.Write(bytes)) return rc::kFileOpen;
  return file.Commit() ? rc::kOk : rc::kFileOpen;
}

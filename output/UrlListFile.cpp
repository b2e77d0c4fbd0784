#include "output/UrlListFile.h"

#include <new>

#include "common/TextCodec.h"
#include "output/CReplacingFile.h"
#include "output/SitemapEscape.h"

Status SaveUrlListFile(const std::string& utf8Path, const std::string& boxText, FileWriteResult* result) {
  try {
    std::string text = TrimWhitespace(boxText);
    CReplacingFile file(utf8Path);
    if (file.Write(text)) file.Commit();
    if (result) *result = file.result();
    return file.status();
  } catch (const std::bad_alloc&) {
    if (result) *result = PrepareFailure(utf8Path, StatusCode::kNoMemory, "out of memory");
    return StatusCode::kNoMemory;
  }
}

std::string UrlListLine(const std::string& fullAddress) {
  if (IsValidUtf8(fullAddress)) return fullAddress + "\r\n";
  std::string safe;
  for (char ch : fullAddress) {
    if (static_cast<unsigned char>(ch) >= 0x80) AppendPercentEncoded(safe, std::string_view(&ch, 1));
    else safe += ch;
  }
  return safe + "\r\n";
}

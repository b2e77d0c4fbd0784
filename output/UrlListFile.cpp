#include "output/UrlListFile.h"

#include <new>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CReplacingFile.h"
#include "output/SitemapEscape.h"

int32_t SaveUrlListFile(const std::string& utf8Path, const std::wstring& boxText, FileWriteResult* result) {
  try {
    std::string text = WideToUtf8(TrimWhitespace(boxText));
    CReplacingFile file(utf8Path);
    if (file.Write(text)) file.Commit();
    if (result) *result = file.result();
    return file.code();
  } catch (const std::bad_alloc&) {
    if (result) *result = PrepareFailure(utf8Path, rc::kNoMemory, "out of memory");
    return rc::kNoMemory;
  }
}

std::wstring UrlListLine(const std::string& fullAddress) {
  std::wstring wide = Utf8ToWide(fullAddress);
  if (wide.empty() && !fullAddress.empty()) {
    std::string safe;
    for (char ch : fullAddress) {
      if (static_cast<unsigned char>(ch) >= 0x80) AppendPercentEncoded(safe, std::string_view(&ch, 1));
      else safe += ch;
    }
    wide = Utf8ToWide(safe);
  }
  return wide + L"\r\n";
}

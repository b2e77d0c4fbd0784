#include "output/FailureReport.h"

#include "common/TextCodec.h"
#include "web/StatusTextTable.h"

std::wstring FailureDescription(const std::string& code) {
  if (code.empty()) return {};
  const std::string* text = StatusText(code);
  if (!text) return L"网络错误";
  return AnsiToWide(*text);
}

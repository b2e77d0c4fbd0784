#include "output/CrawlEnding.h"

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CrawlResults.h"
#include "output/FailureReport.h"

CrawlEnding DescribeEnding(const CrawlResults& results, int32_t outcome) {
  CrawlEnding ending;
  if (outcome == rc::kStopped) {
    ending.kind = CrawlEnding::Kind::Stopped;
    return ending;
  }
  if (results.okCount() > 0) return ending;
  // Nothing was fetched: the first failure is the start page's (or the last hop of its
  // redirects), and says why.
  const auto first = results.FirstFailure();
  ending.kind = CrawlEnding::Kind::NothingFetched;
  if (!first) return ending;
  ending.code = first->second;
  ending.cause = FailureDescription(ending.code);
  if (ending.code.rfind("curl ", 0) == 0) ending.kind = CrawlEnding::Kind::Unreachable;
  return ending;
}

std::wstring CrawlEnding::StatusText() const {
  switch (kind) {
    case Kind::Ended:
      return L"爬行已完成";
    case Kind::Stopped:
      return L"爬行已停止";
    case Kind::Unreachable:
      return L"无法连接网站";
    case Kind::NothingFetched:
      return L"没有取得任何网页";
  }
  return std::wstring();
}

std::wstring CrawlEnding::Message(const std::string& address) const {
  std::wstring head = kind == Kind::Unreachable ? L"无法连接网站 " : L"没有从网站取得任何网页：";
  std::wstring text = head + Utf8ToWide(address);
  if (!code.empty()) text += L"\n原因（" + Utf8ToWide(code) + L"）：" + cause;
  return text;
}

#include "texts/CrawlStatusText.h"

#include "common/TextCodec.h"
#include "crawl/CrawlStatus.h"
#include "output/FailureReport.h"
#include "render/PageRenderer.h"
#include "texts/StringTable.h"
#include "web/SiteOrigin.h"

std::string FormatElapsed(uint32_t seconds) {
  uint32_t hours = 0;
  uint32_t minutes = 0;
  uint32_t rest = seconds;
  if (seconds >= 3600) {
    hours = seconds / 3600;
    minutes = (seconds % 3600) / 60;
    rest = seconds % 60;
  } else if (seconds >= 60) {
    minutes = seconds / 60;
    rest = seconds % 60;
  }
  return LoadStringById(115) + std::to_string(hours) + LoadStringById(116) + std::to_string(minutes) +
         LoadStringById(117) + std::to_string(rest) + LoadStringById(118);
}

std::string FormatCounters(const CrawlCounters& c) {
  return LoadStringById(119) + std::to_string(FoundCount(c)) + LoadStringById(120) + std::to_string(c.crawling) +
         LoadStringById(121) + std::to_string(c.crawledOk + c.failed) + LoadStringById(122) +
         std::to_string(c.waiting) + LoadStringById(123) + std::to_string(c.notAllowed + c.tooDeep) +
         LoadStringById(124) + std::to_string(c.excluded) + LoadStringById(125);
}

std::string EndingStatusText(const CrawlEnding& ending) {
  switch (ending.kind) {
    case CrawlEnding::Kind::Ended:
      return "爬行已完成";
    case CrawlEnding::Kind::Stopped:
      return "爬行已停止";
    case CrawlEnding::Kind::Unreachable:
      return "无法连接网站";
    case CrawlEnding::Kind::NothingFetched:
      return "没有取得任何网页";
  }
  return std::string();
}

std::string EndingMessage(const CrawlEnding& ending, const std::string& address) {
  std::string text = ending.kind == CrawlEnding::Kind::Unreachable ? "无法连接网站 " : "没有从网站取得任何网页：";
  // The start may have been redirected: the address that failed is named, and where it came from.
  const std::string typed = FullAddress(OriginOf(address), "/");
  if (ending.address.empty() || ending.address == typed) {
    text += address;
  } else {
    text += ending.address + "（由 " + address + " 重定向而来）";
  }
  const std::string code = ending.outcome.Text();
  if (!code.empty()) text += "\n原因（" + code + "）：" + FailureDescription(code, ending.redirectTo);
  return text;
}

std::string PauseText(std::chrono::milliseconds remaining) {
  if (remaining.count() <= 0) return {};
  const long long seconds = (remaining.count() + 999) / 1000;
  return "网站繁忙，暂停请求 " + std::to_string(seconds) + " 秒";
}

std::string InsecureText() { return "证书验证已关闭"; }

std::string BrowserMissingText(const std::string& executable) {
  return "未找到 Chromium 浏览器（" + executable + "），无法执行网页脚本。请安装 Debian 软件包 chromium：apt install chromium";
}

std::string RenderStopText(RenderStop why) {
  switch (why) {
    case RenderStop::None:
      break;
    case RenderStop::BrowserMissing:
      return BrowserMissingText(kChromiumPath);
    case RenderStop::BrowserDiedTwice:
      return "浏览器两次意外退出，其余网页不再执行网页脚本";
  }
  return std::string();
}

std::string ChangesCountText(const ContentChanges& changes) {
  return "新网页" + std::to_string(changes.newCount) + "个 已更改" + std::to_string(changes.changedCount) + "个 已消失" +
         std::to_string(changes.goneCount) + "个";
}

std::string HistoryNoticeText(const HistoryNotice& notice) {
  switch (notice.kind) {
    case HistoryNotice::Kind::SetAside:
      return "网页历史记录已损坏，已移到 " + notice.asidePath + " 并重新开始记录（" + notice.detail + "）";
    case HistoryNotice::Kind::Unavailable:
      return "无法使用网页历史记录 " + notice.folder + "，本次每个网页都按首次见到处理（" + notice.detail + "）";
    case HistoryNotice::Kind::None:
      break;
  }
  return {};
}

std::string HistoryWriteText(const HistoryNotice& notice) {
  if (notice.writeFailure.ok()) return {};
  return "无法写入网页历史记录 " + Utf8OrEscaped(notice.folder) + "，下次爬行仍按写入前的记录比较（" + CauseText(notice.writeFailure) + "）";
}

std::string JournalProblemText(const JournalNotice& notice) {
  switch (notice.kind) {
    case JournalNotice::Kind::NotBegun:
      return "无法建立爬行记录，中断后不能继续（" + CauseText(notice.cause) + "）";
    case JournalNotice::Kind::Stopped:
      return "爬行记录写入失败，中断后只能从失败前继续（" + CauseText(notice.cause) + "）";
    case JournalNotice::Kind::None:
      break;
  }
  return {};
}

std::string CauseText(const Status& status) {
  // leveldb names the files in its words, and a path need not be UTF-8.
  return status.message().empty() ? std::string(StatusCodeName(status.code())) : Utf8OrEscaped(status.message());
}

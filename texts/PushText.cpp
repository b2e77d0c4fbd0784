#include "texts/PushText.h"

#include "output/FailureReport.h"
#include "web/TransferFailure.h"

namespace {

constexpr size_t kListedRefusals = 10;  // the rest are counted, not listed

std::string Count(size_t n) { return std::to_string(n); }

std::string TransferText(int32_t code) {
  const std::string failure = TransferFailureCode(code);
  return failure + "：" + FailureDescription(failure);
}

void AppendRefused(std::string& text, const char* what, const std::vector<std::string>& addresses) {
  if (addresses.empty()) return;
  text += "\n  " + std::string(what) + " " + Count(addresses.size()) + " 条：";
  for (size_t i = 0; i < addresses.size() && i < kListedRefusals; ++i) text += "\n    " + addresses[i];
  if (addresses.size() > kListedRefusals) text += "\n    ……";
}

// Why Baidu refused, in our words, for the messages its documentation names.
std::string BaiduRefusalReason(int64_t code, const std::string& message) {
  if (message.find("token") != std::string::npos) return "准入密钥（token）无效，请在百度搜索资源平台核对";
  if (message.find("over quota") != std::string::npos) return "今天的推送配额已用完，请明天再提交";
  if (message.find("site") != std::string::npos) return "站点不是在百度搜索资源平台验证过的站点，请核对站点设置";
  if (message.find("empty") != std::string::npos) return "提交的内容为空";
  if (message.find("2000") != std::string::npos) return "一次提交的网址过多";
  if (code == 404) return "接口地址不对，请核对推送接口";
  if (code >= 500) return "百度服务器出错，请稍后再试";
  return "百度拒绝了这次提交";
}

std::string BaiduProblemText(const BaiduPushReport& r) {
  switch (r.problem) {
    case PushProblem::None:
      return std::string();
    case PushProblem::NoSetting:
      return "未设置站点或准入密钥（token），未提交";
    case PushProblem::OtherHost:
      return "设置的站点与爬行的网站不是同一主机，未提交";
    case PushProblem::Unreachable:
      return "无法连接推送接口（" + TransferText(r.transferCode) + "）";
    case PushProblem::Redirect:
      return "推送接口返回了重定向（HTTP " + r.httpStatus + (r.location.empty() ? "" : "，转向 " + r.location) +
             "），未跟随；请核对推送接口";
    case PushProblem::HttpStatus:
      return "推送接口返回了意外的应答（HTTP " + r.httpStatus + "）；请核对推送接口";
    case PushProblem::NotJson:
      return "推送接口的应答不是 JSON（也许是一个网页）；请核对推送接口";
    case PushProblem::NotEngineAnswer:
      return "推送接口的应答不是百度的格式（没有 success 和 remain）；请核对推送接口";
    case PushProblem::Refused:
      return "百度拒绝了提交：" + BaiduRefusalReason(r.errorCode, r.serverMessage) + "（" +
             std::to_string(r.errorCode) + "：" + r.serverMessage + "）";
    case PushProblem::QuotaUsedUp:
      return "今天的推送配额已用完（剩余配额 0），请明天再提交";
    default:
      return "未提交";
  }
}

}  // namespace

std::string IndexNowStatusText(const std::string& status) {
  if (status == "400") return "请求格式无效（400 Bad Request）";
  if (status == "403") return "密钥无效（403 Forbidden）：搜索引擎找不到密钥文件，或文件中的密钥不符";
  if (status == "422") return "网址不属于该网站，或密钥与协议不符（422 Unprocessable Entity）";
  if (status == "429") return "请求过多（429 Too Many Requests），可能被视为滥发，请稍后再试";
  return "意外的应答（HTTP " + status + "）";
}

std::string BaiduReportText(const BaiduPushReport& r) {
  std::string text = "百度：";
  if (r.sent > 0 || r.ok()) {
    text += "已提交 " + Count(r.sent) + " 条，接受 " + std::to_string(r.accepted) + " 条";
    if (r.remain) text += "，剩余配额 " + std::to_string(*r.remain) + " 条";
  }
  if (!r.ok()) text += (r.sent > 0 ? "；" : "") + BaiduProblemText(r);
  if (r.unsent > 0) {
    text += "；" + Count(r.unsent) + " 条未提交";
    if (r.ok() && r.remain && *r.remain == 0) text += "（今天的配额已用完）";
  }
  AppendRefused(text, "不是本站的网址（not_same_site）", r.notSameSite);
  AppendRefused(text, "不合法的网址（not_valid）", r.notValid);
  return text;
}

std::string IndexNowReportText(const IndexNowReport& r, const std::string& key) {
  std::string text = "IndexNow：";
  switch (r.problem) {
    case PushProblem::None:
      return text + "已提交 " + Count(r.sent) + " 条";
    case PushProblem::NoSetting:
      return text + "未设置密钥，未提交";
    case PushProblem::BadKey:
      return text + "密钥须为 8 到 128 个字母、数字或“-”，未提交";
    case PushProblem::KeyFileMissing:
    case PushProblem::KeyFileWrong: {
      text += r.problem == PushProblem::KeyFileWrong
                  ? "密钥文件 " + r.keyFileAddress + " 的内容不是密钥"
                  : "网站上取不到密钥文件 " + r.keyFileAddress + "（" +
                        (r.transferCode != 0 ? TransferText(r.transferCode) : "HTTP " + r.httpStatus) + "）";
      return text + "。请在网站根目录放一个名为 " + key + ".txt 的文件，内容只有一行 " + key + "，使 " +
             r.keyFileAddress + " 可以访问；未提交任何网址";
    }
    case PushProblem::Unreachable:
      text += "无法连接提交接口（" + TransferText(r.transferCode) + "）";
      break;
    case PushProblem::Redirect:
      text += "提交接口返回了重定向（HTTP " + r.httpStatus + (r.location.empty() ? "" : "，转向 " + r.location) +
              "），未跟随；请核对提交接口";
      break;
    case PushProblem::HttpStatus:
      text += IndexNowStatusText(r.httpStatus);
      break;
    default:
      text += "未提交";
      break;
  }
  if (r.sent > 0) text += "；已提交 " + Count(r.sent) + " 条";
  if (r.unsent > 0) text += "；" + Count(r.unsent) + " 条未提交";
  return text;
}

std::string PushReportText(const PushOutcome& outcome) {
  std::string text;
  if (outcome.baiduTried) text += BaiduReportText(outcome.baidu);
  if (outcome.indexNowTried) {
    if (!text.empty()) text += '\n';
    text += IndexNowReportText(outcome.indexNow, outcome.indexNowKey);
  }
  return text;
}

std::string PushSummaryText(const PushOutcome& outcome) {
  std::string text;
  if (outcome.baiduTried) {
    const BaiduPushReport& r = outcome.baidu;
    text += r.ok() ? "百度接受 " + std::to_string(r.accepted) + " 条" + (r.remain ? "，剩余配额 " + std::to_string(*r.remain) : "")
                   : "百度提交失败";
  }
  if (outcome.indexNowTried) {
    if (!text.empty()) text += "；";
    text += outcome.indexNow.ok() ? "IndexNow 已提交 " + Count(outcome.indexNow.sent) + " 条" : "IndexNow 提交失败";
  }
  return text;
}

std::string RobotsSitemapAdviceText(const std::vector<std::string>& lines) {
  std::string text = "网站的 robots.txt 没有指明网站地图。把网站地图文件放到网站根目录，并在 robots.txt 中加入下面" +
                     std::string(lines.size() == 1 ? "这一行" : "几行") + "，搜索引擎（包括 Google）就能找到它：";
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

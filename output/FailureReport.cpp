#include "output/FailureReport.h"

#include "common/DecimalNumber.h"
#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "web/StatusTextTable.h"
#include "web/TransferFailure.h"

namespace {

constexpr const char* kDefaultDescription = "网络错误";

struct CodeText {
  int code;
  const char* text;
};

// libcurl codes met when crawling real sites; the rest are rare enough for libcurl's text.
constexpr CodeText kCurlTexts[] = {
    {1, "不支持的协议"},
    {3, "网址格式不正确"},
    {5, "无法解析代理服务器的名称"},
    {6, "找不到主机：域名无法解析"},
    {7, "无法连接到服务器：连接被拒绝或失败"},
    {8, "服务器的回复无法识别"},
    {16, "HTTP/2 协议错误"},
    {18, "传输中断：收到的内容不完整"},
    {27, "内存不足"},
    {28, "连接或传输超时"},
    {35, "TLS/SSL 握手失败"},
    {47, "重定向次数过多"},
    {52, "服务器没有返回任何数据（空回复）"},
    {55, "发送数据失败：连接已断开"},
    {56, "接收数据失败：连接已断开"},
    {60, "服务器证书验证失败：网站的证书若是自己签发的，请在“连接”设置中指定它的 CA 证书文件（--cacert FILE），或只为这次爬行关闭证书验证（--insecure）"},
    {61, "无法解码服务器返回的压缩内容"},
    // No CA bundle on this machine: every HTTPS site fails until the package is installed.
    {77, "无法读取 CA 证书文件：本机缺少 CA 根证书，HTTPS 网站都无法验证；请安装 Debian 软件包 ca-certificates（sudo apt install ca-certificates）"},
};

// The HTTP client's own results that end up as codes of failed pages.
constexpr CodeText kClientTexts[] = {
    {rc::kEmpty, "没有收到任何数据：服务器无回复或超时"},
    {rc::kNoBlankLine, "服务器的回复不完整：没有头部结束的空行"},
    {rc::kMissing, "无法建立网络会话"},
    {rc::kNoMemory, "内存不足"},
};

const char* Lookup(const CodeText* begin, const CodeText* end, int code) {
  for (const CodeText* entry = begin; entry != end; ++entry) {
    if (entry->code == code) return entry->text;
  }
  return nullptr;
}

std::string CurlDescription(int curlCode) {
  if (const char* text = Lookup(std::begin(kCurlTexts), std::end(kCurlTexts), curlCode)) return text;
  std::string library = CurlErrorText(curlCode);
  return library.empty() ? std::string(kDefaultDescription) : library;
}

// A negative decimal number, as the client's codes are recorded; false for anything else.
bool ParseClientCode(const std::string& code, int& value) {
  if (code.size() < 2 || code[0] != '-') return false;
  const std::optional<uint64_t> parsed = ParseDecimal(std::string_view(code).substr(1), 2147483648ULL);
  if (!parsed) return false;
  value = static_cast<int>(-static_cast<int64_t>(*parsed));
  return true;
}

}  // namespace

std::string FailureDescription(const std::string& code) {
  if (code.empty()) return {};
  int number = 0;
  if (ParseCurlFailureCode(code, number)) return CurlDescription(number);
  if (ParseClientCode(code, number)) {
    const char* text = Lookup(std::begin(kClientTexts), std::end(kClientTexts), number);
    return text ? std::string(text) : std::string(kDefaultDescription);
  }
  const std::string* status = StatusText(code);
  if (!status) return kDefaultDescription;
  return *status;
}

std::string FailureDescription(const std::string& code, const std::string& redirectTo) {
  std::string text = FailureDescription(code);
  if (!redirectTo.empty()) text += "，指向 " + redirectTo;
  return text;
}

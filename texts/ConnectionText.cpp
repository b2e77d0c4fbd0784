#include "texts/ConnectionText.h"

std::string ConnectionProblemMessage(const ConnectionProblem& problem) {
  using Fault = ConnectionProblem::Fault;
  const std::string& s = problem.subject;
  switch (problem.fault) {
    case Fault::None:
      break;
    case Fault::HeaderForm:
      return "请求头“" + s + "”不是一行“名称: 值”的写法（名称中不能有空格，也不能含换行）。";
    case Fault::HeaderReserved:
      return "请求头“" + s + "”会替换程序自己发送的 Host、Content-Length 或 Transfer-Encoding；用户代理请在“抓取规则”中设置。";
    case Fault::ProxyScheme:
      return "代理服务器“" + s + "”应以 http://、https://、socks5:// 或 socks5h:// 开头。";
    case Fault::ProxyHost:
      return "代理服务器“" + s + "”没有写主机名。";
    case Fault::CookieFileMissing:
      return "无法读取 Cookie 文件“" + s + "”。";
    case Fault::NotCookieFile:
      return "“" + s + "”不是 Netscape 格式的 Cookie 文件（每行七项，以制表符分隔，curl 和浏览器的导出插件都这样写）。";
    case Fault::CaFileMissing:
      return "无法读取 CA 证书文件“" + s + "”。";
    case Fault::CaFileNotPem:
      return "“" + s + "”中没有 PEM 格式的证书（-----BEGIN CERTIFICATE-----）。";
  }
  return {};
}

std::string InsecureQuestion(const std::string& address) {
  return "“连接”设置中关闭了证书验证：这次爬行 " + address +
         " 会接受任何证书，别人可以冒充这个网站。只应对自己的测试服务器这样做。\n\n继续爬行吗？";
}

std::string PasswordPrompt(const std::string& user, const std::string& host) {
  return "网站 " + host + " 需要用户“" + user + "”的密码：";
}

#include "web/StatusTextTable.h"

#include <utility>

#include "common/TextCodec.h"

namespace {

// UTF-8, like every narrow text of the program.
const std::pair<const char*, const char*> kEntries[] = {
    {"200", "成功"},
    {"201", "请求已经完成且一个新资源被创建"},
    {"202", "请求已经被接受用来处理。但是处理并没有完成"},
    {"203", "Non-Authoritative Information"},
    {"204", "服务器没有返回实体数据"},
    {"205", "Reset Content"},
    {"206", "Partial Content"},
    {"207", "Multi-Status"},
    {"208", "Already Reported 已报告"},
    {"226", "IM Used"},
    {"300", "Multiple Choices"},
    {"301", "永久重定向"},
    {"302", "临时重定向"},
    {"303", "See Other"},
    {"304", "Not Modified"},
    {"305", "Use Proxy"},
    {"306", "Switch Proxy"},
    {"307", "临时重定向"},
    // Redirects are listed on the failure page, and 308 is as common as 301 today.
    {"308", "永久重定向"},
    {"400", "Bad Request 错误请求"},
    {"401", "Unauthorized 需要用户验证"},
    {"402", "Payment Required"},
    {"403", "禁止执行"},
    {"404", "资源或网页没有找到"},
    {"405", "请求方法不允许"},
    {"406", "请求无法接受"},
    {"407", "代理需要验证"},
    {"408", "超时"},
    {"409", "冲突发生"},
    {"410", "资源不再可用"},
    {"411", "需要指定长度"},
    {"412", "Precondition Failed"},
    {"413", "Request Entity Too Large"},
    {"414", "Request-URI Too Long"},
    {"415", "Unsupported Media Type"},
    {"416", "Requested Range Not Satisfiable"},
    {"417", "Expectation Failed"},
    // The codes below follow today's registry: 421 and 425 mean what it says.
    {"421", "请求发给了错误的服务器"},
    {"422", "Unprocessable Entity"},
    {"423", "Locked"},
    {"424", "Failed Dependency"},
    {"425", "请求过早"},
    {"426", "Upgrade Required"},
    {"428", "需要前提条件"},
    {"429", "请求过多"},
    {"431", "请求头字段太大"},
    {"449", "Retry With"},
    {"451", "因法律原因不可用"},
    {"500", "服务器内部错误"},
    {"501", "服务器不支持当前请求"},
    {"502", "服务器当作网关时出错"},
    {"503", "服务器当前无法处理请求"},
    {"504", "网关超时"},
    {"505", "HTTP版本不符"},
    {"506", "Variant Also Negotiates"},
    {"507", "Insufficient Storage"},
    {"508", "检测到循环"},
    {"509", "Bandwidth Limit Exceeded"},
    {"510", "Not Extended"},
    {"511", "需要网络认证"},
};

std::map<std::string, std::string> BuildTable() {
  std::map<std::string, std::string> table;
  for (const auto& entry : kEntries) table.emplace(entry.first, entry.second);
  return table;
}

// Forces the table to be built during static initialisation, before any thread runs.
[[maybe_unused]] const std::map<std::string, std::string>& kBuiltAtStart = StatusTextTable();

}  // namespace

const std::map<std::string, std::string>& StatusTextTable() {
  static const std::map<std::string, std::string> table = BuildTable();
  return table;
}

const std::string* StatusText(const std::string& code) {
  const auto& table = StatusTextTable();
  auto it = table.find(code);
  return it == table.end() ? nullptr : &it->second;
}

#include "texts/StringTable.h"

#include <map>

namespace {

const std::map<int, std::string>& Table() {
  static const std::map<int, std::string> table = {
      {103, "Windows 套接字初始化失败。"},
      {104, "生成网站地图"},
      {105, "不是一个合法的网址，请输入一个网址"},
      {106, "访问失败的网址列表"},
      {107, "序号"},
      {108, "网址"},
      {109, "序号"},
      {110, "网址"},
      {111, "错误码"},
      {112, "错误描述"},
      {113, "Google Sitemap"},
      {114, "Yahoo Sitemap"},
      {115, "已运行"},
      {116, "小时"},
      {117, "分钟"},
      {118, "秒"},
      {119, "共找到"},
      {120, "条网址 正在爬"},
      {121, "条 爬过"},
      {122, "条 等待爬的"},
      {123, "条 不允许爬的"},
      {124, "条 排除掉"},
      {125, "条"},
      {126, "选项设置"},
      {127, "界面设置"},
      {128, "运行设置"},
      {129, "自动保存设置"},
      // 130, 131, 132 and 136 named a maker's web presence; this build has none.
      {133, "Veltro网站地图生成器-V0.9"},
      {134,
       "网址必须包含某些字符串，支持*通配符\r\n例:\r\n*html  网址须以html结尾\r\nfid  网址包含fid\r\n"
       "如果有多条规则，URL只要匹配其中任一条即可\r\n\r\n\r\n"
       "注意：排除规则优先于包含规则，即如果URL被排除规则排除，包含规则将不起作用\r\n"
       "不符合的网址仍会被抓取，其中的链接也会被跟踪，只是不列入结果\r\n"},
      {135,
       "网址不能包含某些字符串，支持*通配符\r\n例:\r\n*html  网址不能以html结尾\r\nfid  网址不能包含fid\r\n"
       "如果有多条规则，URL匹配其中任一条，此URL即被排除\r\n\r\n\r\n"
       "注意：排除规则优先于包含规则，即如果URL被排除规则排除，包含规则将不起作用\r\n"
       "被排除的网址仍会被抓取，其中的链接也会被跟踪，只是不列入结果\r\n"},
  };
  return table;
}

}  // namespace

const std::string& LoadStringById(int id) {
  static const std::string empty;
  const auto& table = Table();
  auto it = table.find(id);
  return it == table.end() ? empty : it->second;
}

#include "common/StringTable.h"

#include <map>

namespace {

const std::map<int, std::wstring>& Table() {
  static const std::map<int, std::wstring> table = {
      {103, L"Windows 套接字初始化失败。"},
      {104, L"生成网站地图"},
      {105, L"不是一个合法的网址，请输入一个网址"},
      {106, L"访问失败的网址列表"},
      {107, L"序号"},
      {108, L"网址"},
      {109, L"序号"},
      {110, L"网址"},
      {111, L"错误码"},
      {112, L"错误描述"},
      {113, L"Google Sitemap"},
      {114, L"Yahoo Sitemap"},
      {115, L"已运行"},
      {116, L"小时"},
      {117, L"分钟"},
      {118, L"秒"},
      {119, L"共找到"},
      {120, L"条网址 正在爬"},
      {121, L"条 爬过"},
      {122, L"条 等待爬的"},
      {123, L"条 不允许爬的"},
      {124, L"条 排除掉"},
      {125, L"条"},
      {126, L"选项设置"},
      {127, L"界面设置"},
      {128, L"运行设置"},
      {129, L"自动保存设置"},
      // 130, 131, 132 and 136 named a maker's web presence; this build has none.
      {133, L"Veltro网站地图生成器-V0.9"},
      {134,
       L"网址必须包含某些字符串，支持*通配符\r\n例:\r\n*html  网址须以html结尾\r\nfid  网址包含fid\r\n"
       L"如果有多条规则，URL只要匹配其中任一条即可\r\n\r\n\r\n"
       L"注意：排除规则优先于包含规则，即如果URL被排除规则排除，包含规则将不起作用\r\n"
       L"不符合的网址仍会被抓取，其中的链接也会被跟踪，只是不列入结果\r\n"},
      {135,
       L"网址不能包含某些字符串，支持*通配符\r\n例:\r\n*html  网址不能以html结尾\r\nfid  网址不能包含fid\r\n"
       L"如果有多条规则，URL匹配其中任一条，此URL即被排除\r\n\r\n\r\n"
       L"注意：排除规则优先于包含规则，即如果URL被排除规则排除，包含规则将不起作用\r\n"
       L"被排除的网址仍会被抓取，其中的链接也会被跟踪，只是不列入结果\r\n"},
  };
  return table;
}

}  // namespace

const std::wstring& LoadStringById(int id) {
  static const std::wstring empty;
  const auto& table = Table();
  auto it = table.find(id);
  return it == table.end() ? empty : it->second;
}

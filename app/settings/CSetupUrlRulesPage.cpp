#include "app/settings/CSetupUrlRulesPage.h"

#include <QLineEdit>

#include "app/platform/EditBox.h"
#include "app/platform/WideText.h"
#include "texts/SettingsText.h"
#include "common/StringICompare.h"
#include "common/TextCodec.h"
#include "crawl/QueryRules.h"
#include "settings/CSetupManager.h"
#include "settings/SetupPageRules.h"

namespace {

// Lines in the edit as the window shows them: one entry a line.
std::wstring LinesOf(const std::string& stored) {
  std::wstring lines;
  for (const std::string& entry : ListEntries(stored)) lines += Utf8ToWide(entry) + L"\n";
  return lines;
}

}  // namespace

CSetupUrlRulesPage::CSetupUrlRulesPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupUrlRulesPage::Template() {
  return DialogTemplate{
      L"网址规则", 415, 261,
      {
          {ControlKind::GroupBox, -1, L"查询参数", {7, 7, 401, 114}},
          {ControlKind::Static, -1, L"从每个网址去掉这些参数(每行一个)：", {20, 20, 180, 10}},
          {ControlKind::MultiLineEdit, kIdRemoveParams, L"", {20, 32, 180, 62}},
          {ControlKind::PushButton, kIdAddCommon, L"加入常见的会话和跟踪参数", {20, 99, 180, 15}},
          {ControlKind::CheckBox, kIdRemoveAll, L"去掉所有查询参数，只保留：", {214, 19, 186, 12}},
          {ControlKind::MultiLineEdit, kIdKeepParams, L"", {214, 32, 180, 62}},
          {ControlKind::Static, -1, L"* 代表任意文字，不分大小写；路径中的 ;名称=值 也去掉。", {214, 97, 188, 20}},
          {ControlKind::GroupBox, -1, L"不爬的网址", {7, 126, 401, 88}},
          {ControlKind::Static, -1, L"匹配的网址不请求、不跟随、不列入，计为不允许爬；“排除”的网址仍会请求并跟随。",
           {20, 139, 382, 10}},
          {ControlKind::MultiLineEdit, kIdSkip, L"", {20, 152, 250, 56}},
          {ControlKind::Static, -1, L"每行一个，写法同包含和排除的模式：* 代表任意文字。", {278, 152, 124, 40}},
          {ControlKind::Static, -1, L"最多爬的网页数", {10, 225, 70, 10}},
          {ControlKind::Edit, kIdMaxPages, L"", {84, 223, 60, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"0 为不限；达到后不再请求，照常写出文件", {150, 225, 172, 10}},
          {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 240, 82, 16}},
      }};
}

void CSetupUrlRulesPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupUrlRulesPage::InitControls() {
  // Any number of digits: one above the range is refused at Apply or OK, never cut to it.
  SetDigitsOnly(Control(kIdMaxPages));
}

void CSetupUrlRulesPage::LoadControls() {
  if (!setup_) return;
  SetItemText(kIdRemoveParams, LinesOf(setup_->removeParams));
  CheckItem(kIdRemoveAll, setup_->removeAllParams != 0);
  SetItemText(kIdKeepParams, LinesOf(setup_->keepParams));
  SetItemText(kIdSkip, LinesOf(setup_->skipPatterns));
  SetItemText(kIdMaxPages, std::to_wstring(setup_->maxPages));
}

std::string CSetupUrlRulesPage::ListOf(int id) const { return ListText(ListEntries(WideToUtf8(GetItemText(id)))); }

bool CSetupUrlRulesPage::FindRefusedEntry(RefusedEntry& refused) const {
  std::string problem;
  for (int id : {kIdRemoveParams, kIdKeepParams}) {
    for (const std::string& name : ListEntries(WideToUtf8(GetItemText(id)))) {
      if (QueryRules::IsValidName(name, problem)) continue;
      refused.controlId = id;
      refused.message = L"查询参数名“" + Utf8ToWide(name) + L"”不能含有 =、&、;、#、?、空格或控制字符。";
      return true;
    }
  }
  for (const std::string& pattern : ListEntries(WideToUtf8(GetItemText(kIdSkip)))) {
    std::string value;
    if (ReadSkipPatternList(pattern, value, problem)) continue;
    refused.controlId = kIdSkip;
    refused.message = L"不爬的网址“" + Utf8ToWide(pattern) + L"”会匹配网站的首页“/”，爬行无法开始。";
    return true;
  }
  return RefuseOutsideRange(kIdMaxPages, kMaxPagesRange, refused);
}

void CSetupUrlRulesPage::Apply() {
  if (!setup_) return;
  setup_->removeParams = ListOf(kIdRemoveParams);
  setup_->removeAllParams = IsItemChecked(kIdRemoveAll) ? 1 : 0;
  setup_->keepParams = ListOf(kIdKeepParams);
  setup_->skipPatterns = ListOf(kIdSkip);
  const int32_t pages = ReadNumber(kIdMaxPages);
  setup_->maxPages = kMaxPagesRange.Holds(pages) ? pages : 0;
}

void CSetupUrlRulesPage::RestoreDefaults() {
  SetItemText(kIdRemoveParams, L"");
  CheckItem(kIdRemoveAll, false);
  SetItemText(kIdKeepParams, L"");
  SetItemText(kIdSkip, L"");
  SetItemText(kIdMaxPages, L"0");
}

void CSetupUrlRulesPage::AddCommonNames() {
  std::vector<std::string> names = ListEntries(WideToUtf8(GetItemText(kIdRemoveParams)));
  for (const char* common : kCommonNames) {
    bool present = false;
    for (const std::string& name : names) present = present || EqualsIgnoreCase(name, common);
    if (!present) names.push_back(common);
  }
  SetItemText(kIdRemoveParams, LinesOf(ListText(names)));
}

void CSetupUrlRulesPage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  if (id == kIdAddCommon) {
    AddCommonNames();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}

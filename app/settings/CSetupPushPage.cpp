#include "app/settings/CSetupPushPage.h"

#include <string>

#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "web/IndexNowPush.h"
#include "web/UrlRules.h"

CSetupPushPage::CSetupPushPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupPushPage::Template() {
  return DialogTemplate{
      L"提交到搜索引擎", 415, 261,
      {
          {ControlKind::GroupBox, -1, L"百度普通收录(主动推送)", {7, 7, 401, 76}},
          {ControlKind::Static, -1, L"站点", {20, 22, 70, 10}},
          {ControlKind::Edit, kIdBaiduSite, L"", {94, 20, 200, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"如 https://www.example.com", {300, 22, 102, 10}},
          {ControlKind::Static, -1, L"准入密钥(token)", {20, 41, 70, 10}},
          {ControlKind::Edit, kIdBaiduToken, L"", {94, 39, 200, 14}, kAutoHScroll | kPassword},
          {ControlKind::Static, -1, L"只存在设置中，不写入任何文件", {300, 41, 102, 10}},
          {ControlKind::Static, -1, L"推送接口", {20, 60, 70, 10}},
          {ControlKind::Edit, kIdBaiduEndpoint, L"", {94, 58, 200, 14}, kAutoHScroll},
          {ControlKind::GroupBox, -1, L"IndexNow(Bing、Yandex、Naver、Seznam)", {7, 89, 401, 76}},
          {ControlKind::Static, -1, L"密钥", {20, 104, 70, 10}},
          {ControlKind::Edit, kIdIndexNowKey, L"", {94, 102, 200, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"接口", {20, 123, 70, 10}},
          {ControlKind::Edit, kIdIndexNowEndpoint, L"", {94, 121, 200, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"8 到 128 个字母、数字或“-”。网站根目录须有 <密钥>.txt，内容就是密钥；提交前会先检查。",
           {20, 141, 382, 20}},
          {ControlKind::GroupBox, -1, L"文件", {7, 171, 401, 62}},
          {ControlKind::CheckBox, kIdHtmlSitemap, L"生成网站地图网页(<网站>_sitemap.html，以网页标题为链接文字)",
           {20, 184, 380, 12}},
          {ControlKind::CheckBox, kIdDeadLinks, L"生成死链文件(<网站>_deadlinks.txt，404 和 410 的网址，供百度死链提交)",
           {20, 199, 380, 12}},
          {ControlKind::CheckBox, kIdDeadLinksAll, L"死链文件包括所有失败的网址", {32, 214, 368, 12}},
          {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 240, 82, 16}},
      }};
}

void CSetupPushPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

std::string CSetupPushPage::TextOf(int id) const { return TrimWhitespace(WideToUtf8(GetItemText(id))); }

void CSetupPushPage::LoadControls() {
  if (!setup_) return;
  SetItemText(kIdBaiduSite, Utf8ToWide(setup_->baiduSite));
  SetItemText(kIdBaiduToken, Utf8ToWide(setup_->baiduToken));
  SetItemText(kIdBaiduEndpoint, Utf8ToWide(setup_->baiduEndpoint));
  SetItemText(kIdIndexNowKey, Utf8ToWide(setup_->indexNowKey));
  SetItemText(kIdIndexNowEndpoint, Utf8ToWide(setup_->indexNowEndpoint));
  CheckItem(kIdHtmlSitemap, setup_->htmlSitemap != 0);
  CheckItem(kIdDeadLinks, setup_->deadLinks != 0);
  CheckItem(kIdDeadLinksAll, setup_->deadLinksAll != 0);
}

bool CSetupPushPage::FindRefusedEntry(RefusedEntry& refused) const {
  const std::string key = TextOf(kIdIndexNowKey);
  if (!key.empty() && !IsValidIndexNowKey(key)) {
    refused = {kIdIndexNowKey, L"IndexNow 密钥应为 8 到 128 个字母(a-z、A-Z)、数字或“-”。"};
    return true;
  }
  const std::string site = TextOf(kIdBaiduSite);
  if (!site.empty() && HostOf(site.find("://") == std::string::npos ? "http://" + site : site).empty()) {
    refused = {kIdBaiduSite, L"百度站点应为网站的地址，如 https://www.example.com。"};
    return true;
  }
  for (int id : {kIdBaiduEndpoint, kIdIndexNowEndpoint}) {
    const std::string endpoint = TextOf(id);
    if (endpoint.empty() || HostOf(endpoint).empty()) {
      refused = {id, L"接口应为 http:// 或 https:// 开头的地址。"};
      return true;
    }
  }
  return false;
}

void CSetupPushPage::Apply() {
  if (!setup_) return;
  setup_->baiduSite = TextOf(kIdBaiduSite);
  setup_->baiduToken = TextOf(kIdBaiduToken);
  setup_->baiduEndpoint = TextOf(kIdBaiduEndpoint);
  setup_->indexNowKey = TextOf(kIdIndexNowKey);
  setup_->indexNowEndpoint = TextOf(kIdIndexNowEndpoint);
  setup_->htmlSitemap = IsItemChecked(kIdHtmlSitemap) ? 1 : 0;
  setup_->deadLinks = IsItemChecked(kIdDeadLinks) ? 1 : 0;
  setup_->deadLinksAll = IsItemChecked(kIdDeadLinksAll) ? 1 : 0;
}

void CSetupPushPage::RestoreDefaults() {
  const CSetupManager defaults;
  SetItemText(kIdBaiduSite, L"");
  SetItemText(kIdBaiduToken, L"");
  SetItemText(kIdBaiduEndpoint, Utf8ToWide(defaults.baiduEndpoint));
  SetItemText(kIdIndexNowKey, L"");
  SetItemText(kIdIndexNowEndpoint, Utf8ToWide(defaults.indexNowEndpoint));
  CheckItem(kIdHtmlSitemap, false);
  CheckItem(kIdDeadLinks, false);
  CheckItem(kIdDeadLinksAll, false);
}

void CSetupPushPage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}

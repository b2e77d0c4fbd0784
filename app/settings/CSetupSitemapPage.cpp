#include "app/settings/CSetupSitemapPage.h"

#include <string>
#include <vector>

#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "crawl/SitemapContent.h"
#include "settings/CSetupManager.h"

CSetupSitemapPage::CSetupSitemapPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupSitemapPage::Template() {
  return DialogTemplate{
      L"网站地图内容", 415, 261,
      {
          {ControlKind::GroupBox, -1, L"规范网址", {7, 7, 401, 46}},
          {ControlKind::CheckBox, kIdCanonical, L"只列出规范网址(rel=\"canonical\")", {20, 20, 370, 12}},
          {ControlKind::Static, -1, L"指向别的网址的网页照常爬行，但不列入站点地图；同一网站的规范网址照链接爬行。",
           {32, 35, 366, 10}},
          {ControlKind::GroupBox, -1, L"多语言和图片", {7, 58, 401, 46}},
          {ControlKind::CheckBox, kIdHreflang, L"写入语言版本(hreflang)", {20, 71, 180, 12}},
          {ControlKind::CheckBox, kIdImages, L"图片", {210, 71, 190, 12}},
          {ControlKind::Static, -1, L"hreflang 写成 xhtml:link；图片取自 img、srcset 和 picture，写成 image:image(每页最多 1000 个，不下载)。",
           {32, 86, 366, 10}},
          {ControlKind::GroupBox, -1, L"更新频率和优先级", {7, 109, 401, 84}},
          {ControlKind::Static, -1, L"更新频率(changefreq)", {20, 125, 92, 10}},
          {ControlKind::Edit, kIdChangefreq, L"", {116, 123, 80, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"always、hourly、daily、weekly、monthly、yearly、never，或 none(不写)",
           {116, 140, 282, 10}},
          {ControlKind::Static, -1, L"优先级(priority)", {20, 156, 92, 10}},
          {ControlKind::Edit, kIdPriority, L"", {116, 154, 150, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"0.0 到 1.0；按链接深度列出时如 1.0,0.8,0.6(最后一个用于更深的网页)，或 none",
           {116, 171, 282, 20}},
          {ControlKind::GroupBox, -1, L"更新日期", {7, 197, 401, 40}},
          {ControlKind::Static, -1, L"lastmod 来源", {20, 213, 92, 10}},
          {ControlKind::Edit, kIdLastmodFrom, L"", {116, 211, 80, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"start(当天)、header、content(内容变了才更新)或 none",
           {200, 213, 204, 10}},
          {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 242, 82, 16}},
      }};
}

void CSetupSitemapPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupSitemapPage::LoadControls() {
  if (!setup_) return;
  CheckItem(kIdCanonical, setup_->sitemapCanonical != 0);
  CheckItem(kIdHreflang, setup_->sitemapHreflang != 0);
  CheckItem(kIdImages, setup_->sitemapImages != 0);
  SetItemText(kIdChangefreq, Utf8ToWide(setup_->sitemapChangefreq));
  SetItemText(kIdPriority, Utf8ToWide(setup_->sitemapPriority));
  SetItemText(kIdLastmodFrom, Utf8ToWide(setup_->sitemapLastmodFrom));
}

bool CSetupSitemapPage::FindRefusedEntry(RefusedEntry& refused) const {
  std::string word, message;
  if (!ParseChangefreq(WideToUtf8(GetItemText(kIdChangefreq)), word, message)) {
    refused = {kIdChangefreq, L"更新频率应为 always、hourly、daily、weekly、monthly、yearly、never 之一，或 none。"};
    return true;
  }
  std::vector<std::string> values;
  if (!ParsePriorities(WideToUtf8(GetItemText(kIdPriority)), values, message)) {
    refused = {kIdPriority, L"优先级应为 0.0 到 1.0 之间的数，多个用逗号隔开(按链接深度)，或 none。"};
    return true;
  }
  LastmodSource source = LastmodSource::Start;
  if (!ParseLastmodSource(WideToUtf8(GetItemText(kIdLastmodFrom)), source, message)) {
    refused = {kIdLastmodFrom, L"lastmod 来源应为 start、header、content 或 none。"};
    return true;
  }
  return false;
}

void CSetupSitemapPage::Apply() {
  if (!setup_) return;
  setup_->sitemapCanonical = IsItemChecked(kIdCanonical) ? 1 : 0;
  setup_->sitemapHreflang = IsItemChecked(kIdHreflang) ? 1 : 0;
  setup_->sitemapImages = IsItemChecked(kIdImages) ? 1 : 0;
  // Stored as the parsers read them back; a refused entry never gets here.
  std::string word, message;
  std::vector<std::string> values;
  if (ParseChangefreq(WideToUtf8(GetItemText(kIdChangefreq)), word, message))
    setup_->sitemapChangefreq = ChangefreqText(word);
  if (ParsePriorities(WideToUtf8(GetItemText(kIdPriority)), values, message))
    setup_->sitemapPriority = PrioritiesText(values);
  LastmodSource source = LastmodSource::Start;
  if (ParseLastmodSource(WideToUtf8(GetItemText(kIdLastmodFrom)), source, message))
    setup_->sitemapLastmodFrom = LastmodSourceText(source);
}

void CSetupSitemapPage::RestoreDefaults() {
  const SitemapContent defaults;
  CheckItem(kIdCanonical, false);
  CheckItem(kIdHreflang, false);
  CheckItem(kIdImages, false);
  SetItemText(kIdChangefreq, Utf8ToWide(ChangefreqText(defaults.changefreq)));
  SetItemText(kIdPriority, Utf8ToWide(PrioritiesText(defaults.priorities)));
  SetItemText(kIdLastmodFrom, Utf8ToWide(LastmodSourceText(defaults.lastmodFrom)));
}

void CSetupSitemapPage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}

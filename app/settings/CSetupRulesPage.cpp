#include "app/settings/CSetupRulesPage.h"

#include <QLabel>
#include <QLineEdit>

#include "texts/CrawlStatusText.h"
#include "app/platform/EditBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SetupPageRules.h"
#include "render/PageRenderer.h"

namespace {

constexpr const wchar_t* kRenderExplained =
    L"用 Chromium 打开每个网页并运行其脚本，再跟随脚本写出的链接。较慢，适合用 JavaScript 建成的网站。";

}  // namespace

CSetupRulesPage::CSetupRulesPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupRulesPage::Template() {
  return DialogTemplate{
      L"抓取规则", 415, 261,
      {
          // Four groups of one width, one above the other; the defaults button below them.
          {ControlKind::GroupBox, -1, L"robots.txt", {7, 7, 401, 48}},
          {ControlKind::CheckBox, kIdObeyRobots, L"遵守 robots.txt、meta robots 和 rel=\"nofollow\"", {20, 20, 370, 12}},
          {ControlKind::Static, -1, L"开始前先读取网站的 robots.txt；不允许爬的网址不请求，也不列入站点地图。",
           {32, 36, 366, 10}},
          {ControlKind::GroupBox, -1, L"请求", {7, 60, 401, 68}},
          {ControlKind::Static, -1, L"请求最小间隔(毫秒)", {20, 76, 92, 10}},
          {ControlKind::Edit, kIdInterval, L"", {116, 74, 60, 14}, kAutoHScroll},
          {ControlKind::Static, -1, std::to_wstring(kMinIntervalMs) + L" 到 " + std::to_wstring(kMaxIntervalMs) + L"；0 为不等待",
           {184, 76, 200, 10}},
          {ControlKind::Static, -1, L"用户代理(User-Agent)", {20, 97, 92, 10}},
          {ControlKind::Edit, kIdUserAgent, L"", {116, 95, 280, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"留空则不发送；robots.txt 按第一个“/”或空格之前的名称匹配。", {116, 112, 282, 10}},
          {ControlKind::GroupBox, -1, L"站点地图", {7, 131, 401, 54}},
          {ControlKind::CheckBox, kIdLastmod, L"lastmod 取自网页的 Last-Modified(没有时为当天日期)", {20, 143, 370, 12}},
          {ControlKind::CheckBox, kIdIndex, L"有多个站点地图文件时另写站点地图索引", {20, 156, 370, 12}},
          {ControlKind::CheckBox, kIdAudit, L"检查网站现有的网站地图（结果在“网站地图检查”页）", {20, 169, 370, 12}},
          {ControlKind::GroupBox, -1, L"网页脚本", {7, 189, 401, 48}},
          {ControlKind::CheckBox, kIdRender, L"执行网页脚本", {20, 200, 370, 12}},
          {ControlKind::Static, kIdRenderNote, L"", {32, 213, 366, 22}},
          {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 242, 82, 16}},
      }};
}

void CSetupRulesPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupRulesPage::InitControls() {
  // Any number of digits: one above the range is refused at Apply or OK, never cut to it.
  SetDigitsOnly(Control(kIdInterval));
  if (auto* agent = ControlAs<QLineEdit>(kIdUserAgent)) agent->setMaxLength(static_cast<int>(kMaxUserAgentBytes));
  if (auto* note = ControlAs<QLabel>(kIdRenderNote)) note->setWordWrap(true);
  // Without the browser the setting cannot work: the page says why and what to install.
  renderAvailable_ = PageRenderer::Available();
  EnableItem(kIdRender, renderAvailable_);
  SetItemText(kIdRenderNote, renderAvailable_ ? kRenderExplained : Utf8ToWide(BrowserMissingText(kChromiumPath)));
}

void CSetupRulesPage::LoadControls() {
  if (!setup_) return;
  CheckItem(kIdObeyRobots, setup_->obeyRobots != 0);
  SetItemText(kIdInterval, std::to_wstring(IntervalMsOf(setup_->minIntervalMs)));
  SetItemText(kIdUserAgent, Utf8ToWide(setup_->userAgent));
  CheckItem(kIdLastmod, setup_->lastmodFromHeader != 0);
  CheckItem(kIdIndex, setup_->sitemapIndex != 0);
  CheckItem(kIdAudit, setup_->auditSitemap != 0);
  CheckItem(kIdRender, renderAvailable_ && setup_->renderScripts != 0);
}

bool CSetupRulesPage::FindRefusedEntry(RefusedEntry& refused) const {
  return RefuseOutsideRange(kIdInterval, kIntervalMsRange, refused);
}

void CSetupRulesPage::Apply() {
  if (!setup_) return;
  setup_->obeyRobots = IsItemChecked(kIdObeyRobots) ? 1 : 0;
  setup_->minIntervalMs = IntervalMsOf(ReadNumber(kIdInterval));
  setup_->userAgent = UserAgentOf(WideToUtf8(GetItemText(kIdUserAgent)));
  setup_->lastmodFromHeader = IsItemChecked(kIdLastmod) ? 1 : 0;
  setup_->sitemapIndex = IsItemChecked(kIdIndex) ? 1 : 0;
  setup_->auditSitemap = IsItemChecked(kIdAudit) ? 1 : 0;
  // Kept as stored while the browser is missing: installing it brings the choice back.
  if (renderAvailable_) setup_->renderScripts = IsItemChecked(kIdRender) ? 1 : 0;
}

void CSetupRulesPage::RestoreDefaults() {
  CheckItem(kIdObeyRobots, false);
  SetItemText(kIdInterval, L"0");
  SetItemText(kIdUserAgent, L"");
  CheckItem(kIdLastmod, false);
  CheckItem(kIdIndex, false);
  CheckItem(kIdAudit, false);
  CheckItem(kIdRender, false);
}

void CSetupRulesPage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}

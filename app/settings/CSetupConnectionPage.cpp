#include "app/settings/CSetupConnectionPage.h"

#include "app/platform/EditBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/ConnectionSettings.h"
#include "settings/SetupPageRules.h"
#include "texts/ConnectionText.h"
#include "web/ConnectionCheck.h"

namespace {

std::wstring LinesOf(const std::string& stored) {
  std::wstring lines;
  for (const std::string& entry : ListEntries(stored)) lines += Utf8ToWide(entry) + L"\n";
  return lines;
}

bool HasControlByte(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

}  // namespace

CSetupConnectionPage::CSetupConnectionPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupConnectionPage::Template() {
  return DialogTemplate{
      L"连接", 415, 261,
      {
          {ControlKind::GroupBox, -1, L"身份验证(HTTP Basic / Digest)", {7, 5, 401, 32}},
          {ControlKind::Static, -1, L"用户名", {14, 19, 34, 10}},
          {ControlKind::Edit, kIdUser, L"", {50, 17, 104, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"密码", {162, 19, 22, 10}},
          {ControlKind::Edit, kIdPassword, L"", {186, 17, 104, 14}, kAutoHScroll | kPassword},
          {ControlKind::CheckBox, kIdRemember, L"记住密码", {298, 18, 100, 12}},
          {ControlKind::GroupBox, -1, L"请求头和 Cookie", {7, 40, 401, 84}},
          {ControlKind::Static, -1, L"每个请求都带上这些请求头(每行一个“名称: 值”)：", {14, 52, 300, 10}},
          {ControlKind::MultiLineEdit, kIdHeaders, L"", {14, 64, 388, 36}},
          {ControlKind::Static, -1, L"Cookie 文件", {14, 107, 50, 10}},
          {ControlKind::Edit, kIdCookieFile, L"", {66, 105, 336, 14}, kAutoHScroll},
          {ControlKind::GroupBox, -1, L"代理和证书", {7, 127, 401, 66}},
          {ControlKind::Static, -1, L"代理服务器", {14, 140, 50, 10}},
          {ControlKind::Edit, kIdProxy, L"", {66, 138, 200, 14}, kAutoHScroll},
          {ControlKind::CheckBox, kIdNoProxy, L"不使用代理(忽略环境变量)", {274, 139, 128, 12}},
          {ControlKind::Static, -1, L"http://、https://、socks5:// 或 socks5h://；不填则用环境变量中的代理", {66, 155, 336, 10}},
          {ControlKind::Static, -1, L"CA 证书文件", {14, 172, 50, 10}},
          {ControlKind::Edit, kIdCaFile, L"", {66, 170, 200, 14}, kAutoHScroll},
          {ControlKind::CheckBox, kIdInsecure, L"不验证证书(仅限测试服务器)", {274, 171, 128, 12}},
          {ControlKind::Static, -1, L"连接超时(秒)", {10, 201, 54, 10}},
          {ControlKind::Edit, kIdConnectTimeout, L"", {66, 199, 34, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"请求超时(秒)", {110, 201, 54, 10}},
          {ControlKind::Edit, kIdTotalTimeout, L"", {166, 199, 34, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"每秒最多请求数", {210, 201, 62, 10}},
          {ControlKind::Edit, kIdMaxRate, L"", {274, 199, 34, 14}, kAutoHScroll},
          {ControlKind::Static, -1, L"0 为不限", {314, 201, 90, 10}},
          {ControlKind::Static, -1,
           L"网站回复 429 或 503 时，全部请求按 Retry-After(最多 120 秒)或 1、2、4 秒暂停，该网页最多再请求三次。",
           {10, 219, 398, 18}},
          {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 240, 82, 16}},
      }};
}

void CSetupConnectionPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupConnectionPage::InitControls() {
  for (int id : {kIdConnectTimeout, kIdTotalTimeout, kIdMaxRate}) SetDigitsOnly(Control(id));
}

void CSetupConnectionPage::LoadControls() {
  if (!setup_) return;
  std::string user, password;
  SplitCredentials(setup_->credentials, user, password);
  SetItemText(kIdUser, Utf8ToWide(user));
  SetItemText(kIdPassword, Utf8ToWide(password));
  CheckItem(kIdRemember, setup_->rememberPassword != 0);
  SetItemText(kIdHeaders, LinesOf(setup_->requestHeaders));
  SetItemText(kIdCookieFile, Utf8ToWide(setup_->cookieFile));
  SetItemText(kIdProxy, Utf8ToWide(setup_->proxy));
  CheckItem(kIdNoProxy, setup_->noProxy != 0);
  SetItemText(kIdCaFile, Utf8ToWide(setup_->caFile));
  CheckItem(kIdInsecure, setup_->insecure != 0);
  SetItemText(kIdConnectTimeout, std::to_wstring(setup_->connectTimeout));
  SetItemText(kIdTotalTimeout, std::to_wstring(setup_->totalTimeout));
  SetItemText(kIdMaxRate, std::to_wstring(setup_->maxRate));
}

std::string CSetupConnectionPage::TextOf(int id) const { return WideToUtf8(TrimWhitespace(GetItemText(id))); }

bool CSetupConnectionPage::FindRefusedEntry(RefusedEntry& refused) const {
  auto refuse = [&refused](int id, const std::string& message) {
    refused.controlId = id;
    refused.message = Utf8ToWide(message);
    return true;
  };
  const std::string user = TextOf(kIdUser);
  const std::string password = WideToUtf8(GetItemText(kIdPassword));
  if (user.empty() && !password.empty()) return refuse(kIdUser, "填写了密码，请也填写用户名。");
  if (user.find(':') != std::string::npos || HasControlByte(user)) return refuse(kIdUser, "用户名不能含有“:”或控制字符。");
  if (HasControlByte(password)) return refuse(kIdPassword, "密码不能含有控制字符。");
  for (const std::string& line : ListEntries(WideToUtf8(GetItemText(kIdHeaders))))
    if (const ConnectionProblem problem = CheckHeaderLine(line)) return refuse(kIdHeaders, ConnectionProblemMessage(problem));
  if (const ConnectionProblem problem = CheckProxyAddress(TextOf(kIdProxy)))
    return refuse(kIdProxy, ConnectionProblemMessage(problem));
  // The files are read now, so that a wrong name is found here and not when the crawl starts.
  if (const std::string file = TextOf(kIdCookieFile); !file.empty())
    if (const ConnectionProblem problem = CheckCookieFile(file)) return refuse(kIdCookieFile, ConnectionProblemMessage(problem));
  if (const std::string file = TextOf(kIdCaFile); !file.empty())
    if (const ConnectionProblem problem = CheckCaFile(file)) return refuse(kIdCaFile, ConnectionProblemMessage(problem));
  return RefuseOutsideRange(kIdConnectTimeout, kConnectTimeoutRange, refused) ||
         RefuseOutsideRange(kIdTotalTimeout, kTotalTimeoutRange, refused) ||
         RefuseOutsideRange(kIdMaxRate, kMaxRateRange, refused);
}

void CSetupConnectionPage::Apply() {
  if (!setup_) return;
  const std::string user = TextOf(kIdUser);
  const std::string password = WideToUtf8(GetItemText(kIdPassword));
  setup_->credentials = user.empty() ? std::string() : password.empty() ? user : user + ":" + password;
  setup_->rememberPassword = IsItemChecked(kIdRemember) ? 1 : 0;
  setup_->requestHeaders = ListText(ListEntries(WideToUtf8(GetItemText(kIdHeaders))));
  setup_->cookieFile = TextOf(kIdCookieFile);
  setup_->proxy = TextOf(kIdProxy);
  setup_->noProxy = IsItemChecked(kIdNoProxy) ? 1 : 0;
  setup_->caFile = TextOf(kIdCaFile);
  setup_->insecure = IsItemChecked(kIdInsecure) ? 1 : 0;
  const int32_t connect = ReadNumber(kIdConnectTimeout);
  const int32_t total = ReadNumber(kIdTotalTimeout);
  const int32_t rate = ReadNumber(kIdMaxRate);
  setup_->connectTimeout = kConnectTimeoutRange.Holds(connect) ? connect : 10;
  setup_->totalTimeout = kTotalTimeoutRange.Holds(total) ? total : 10;
  setup_->maxRate = kMaxRateRange.Holds(rate) ? rate : 0;
}

void CSetupConnectionPage::RestoreDefaults() {
  for (int id : {kIdUser, kIdPassword, kIdHeaders, kIdCookieFile, kIdProxy, kIdCaFile}) SetItemText(id, L"");
  for (int id : {kIdRemember, kIdNoProxy, kIdInsecure}) CheckItem(id, false);
  SetItemText(kIdConnectTimeout, L"10");
  SetItemText(kIdTotalTimeout, L"10");
  SetItemText(kIdMaxRate, L"0");
}

void CSetupConnectionPage::OnCommand(int id) {
  if (id == kIdDefaults) {
    RestoreDefaults();
    return;
  }
  CVtPropertyPage::OnCommand(id);
}

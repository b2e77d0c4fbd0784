#include "app/settings/CVtPropertyPage.h"

#include "texts/SettingsText.h"
#include "app/settings/CVtPropertySheet.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/SettingsPersistence.h"
#include "settings/SetupPageRules.h"

CVtPropertyPage::CVtPropertyPage(const DialogTemplate& tpl) : CPlatformDialog(tpl, Style::ChildPage) {}

void CVtPropertyPage::OnInitPage() {
  InitControls();
  LoadControls();
}

void CVtPropertyPage::OnOK() {
  if (sheet_) sheet_->SendCommand(kIdOk);
}

void CVtPropertyPage::OnCancel() {
  if (sheet_) sheet_->SendCommand(kIdCancel);
}

int32_t CVtPropertyPage::ReadNumber(int id) const {
  return ReadIntSetting(WideToUtf8(TrimWhitespace(GetItemText(id))));
}

bool CVtPropertyPage::RefuseOutsideRange(int id, const NumberRange& range, RefusedEntry& refused) const {
  // ReadIntSetting takes a sign: "-0" or "+5" are no entries a digits-only edit lets through.
  const std::wstring text = TrimWhitespace(GetItemText(id));
  const bool digits = !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
  if (digits && range.Holds(ReadNumber(id))) return false;
  refused = {id, Utf8ToWide(RangeMessage(range))};
  return true;
}

#include "app/settings/CVtPropertyPage.h"

#include "app/settings/CVtPropertySheet.h"

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

#include "app/settings/CSetupUIPage.h"

#include <QComboBox>

#include "app/platform/VisualStyle.h"
#include "settings/CSetupManager.h"

CSetupUIPage::CSetupUIPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {}

DialogTemplate CSetupUIPage::Template() {
  return DialogTemplate{L"界面设置", 415, 261,
                        {
                            {ControlKind::Static, -1, L"界面风格", {20, 27, 50, 10}},
                            {ControlKind::ComboBox, kIdStyleList, L"", {74, 25, 150, 14}},
                        }};
}

void CSetupUIPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupUIPage::InitControls() {
  auto* list = ControlAs<QComboBox>(kIdStyleList);
  if (!list) return;
  list->clear();
  for (int i = 0; i < kVisualStyleCount; ++i) list->addItem(QString::fromWCharArray(VisualStyleName(i)));
  list->setMaxVisibleItems(kVisualStyleCount);
}

void CSetupUIPage::LoadControls() {
  auto* list = ControlAs<QComboBox>(kIdStyleList);
  if (!setup_ || !list) return;
  // An index outside the list selects nothing.
  list->setCurrentIndex(setup_->styleIndex >= 0 && setup_->styleIndex < list->count() ? setup_->styleIndex : -1);
}

void CSetupUIPage::Apply() {
  auto* list = ControlAs<QComboBox>(kIdStyleList);
  if (!setup_ || !list) return;
  setup_->styleIndex = list->currentIndex();
  ApplyVisualStyle(setup_->styleIndex);
}

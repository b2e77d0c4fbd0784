#include "app/SettingsSheetHook.h"

#include "app/settings/RunSetupPropSheet.h"

bool OpenSettingsSheet(QWidget* parent, const std::shared_ptr<CSetupManager>& setup,
                       std::function<void(QWidget* sheet)> applied) {
  RunSetupPropSheet(parent, setup, std::move(applied));
  return true;
}

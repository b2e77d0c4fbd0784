#include "app/SettingsSheetHook.h"

#if defined(VELTRO_HAVE_SETTINGS_SHEET)
#include "app/settings/RunSetupPropSheet.h"
#endif

bool OpenSettingsSheet(QWidget* parent, const std::shared_ptr<CSetupManager>& setup,
                       std::function<void(QWidget* sheet)> applied) {
#if defined(VELTRO_HAVE_SETTINGS_SHEET)
  RunSetupPropSheet(parent, setup, std::move(applied));
  return true;
#else
  (void)parent;
  (void)setup;
  (void)applied;
  return false;
#endif
}

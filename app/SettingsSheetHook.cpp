#include "app/SettingsSheetHook.h"

#if defined(VELTRO_HAVE_SETTINGS_SHEET)
#include "app/settings/RunSetupPropSheet.h"
#endif

bool OpenSettingsSheet(QWidget* parent, const std::shared_ptr<CSetupManager>& setup) {
#if defined(VELTRO_HAVE_SETTINGS_SHEET)
  RunSetupPropSheet(parent, setup);
  return true;
#else
  (void)parent;
  (void)setup;
  return false;
#endif
}

#pragma once
// The hook through which the main window's button 1023 "设置" opens the settings sheet.
//
// The sheet (CSetupPropSheet) lives in app/settings/. When that folder provides
// app/settings/RunSetupPropSheet.h declaring
//     int RunSetupPropSheet(QWidget* parent, std::shared_ptr<CSetupManager> setup,
//                           std::function<void(QWidget* sheet)> applied);
// (run the sheet modally with its first page active, calling applied after each Apply or OK
// that was not refused; the result is not used), the build
// compiles app/settings/*.cpp into the application and defines VELTRO_HAVE_SETTINGS_SHEET,
// and OpenSettingsSheet calls it. Until then the button does nothing.
#include <functional>
#include <memory>

class QWidget;
class CSetupManager;

// false when this build has no settings sheet.
bool OpenSettingsSheet(QWidget* parent, const std::shared_ptr<CSetupManager>& setup,
                       std::function<void(QWidget* sheet)> applied = {});

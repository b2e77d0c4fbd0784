#pragma once
// The hook through which the main window's button 1023 "设置" opens the settings sheet
// (CSetupPropSheet in app/settings/), modally with its first page active; applied is called
// after each Apply or OK that was not refused.
#include <functional>
#include <memory>

class QWidget;
class CSetupManager;

// Always true: the sheet is part of the program.
bool OpenSettingsSheet(QWidget* parent, const std::shared_ptr<CSetupManager>& setup,
                       std::function<void(QWidget* sheet)> applied = {});

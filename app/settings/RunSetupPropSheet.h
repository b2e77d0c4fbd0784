#pragma once
// What the main window's button 1023 "设置" runs: the settings sheet, modal, first page active,
// calling applied (with the sheet) after each Apply or OK that was not refused. The
// result is not used. Under test a hook takes the place of the modal run.
#include <functional>
#include <memory>

class QWidget;
class CSetupManager;
class CSetupPropSheet;

int RunSetupPropSheet(QWidget* parent, std::shared_ptr<CSetupManager> setup,
                      std::function<void(QWidget* sheet)> applied = {});
void SetSetupSheetRunHook(std::function<int(CSetupPropSheet& sheet)> hook);

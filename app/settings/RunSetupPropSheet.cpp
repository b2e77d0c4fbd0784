#include "app/settings/RunSetupPropSheet.h"

#include "app/settings/CSetupPropSheet.h"

namespace {
std::function<int(CSetupPropSheet&)>& RunHook() {
  static std::function<int(CSetupPropSheet&)> hook;
  return hook;
}
}  // namespace

void SetSetupSheetRunHook(std::function<int(CSetupPropSheet&)> hook) { RunHook() = std::move(hook); }

int RunSetupPropSheet(QWidget* parent, std::shared_ptr<CSetupManager> setup,
                      std::function<void(QWidget* sheet)> applied) {
  CSetupPropSheet sheet(setup, parent, std::move(applied));
  sheet.SetActivePage(0);
  if (RunHook()) return RunHook()(sheet);
  return sheet.DoModal();
}

#pragma once
// The base of a settings page: a child dialog of a CVtPropertySheet with the four operations
// every page provides. The sheet creates every page with itself and runs OnInitPage once, so
// a page has loaded its values before it is first shown.
//
// Enter and Escape inside a page act on the sheet (its OK and Cancel).
#include "app/platform/CPlatformDialog.h"

class CVtPropertySheet;
struct NumberRange;

class CVtPropertyPage : public CPlatformDialog {
  Q_OBJECT
 public:
  explicit CVtPropertyPage(const DialogTemplate& tpl);

  // Copies the controls into the settings.
  virtual void Apply() = 0;
  // Prepares the controls (fills lists, sets input filters).
  virtual void InitControls() = 0;
  // Copies the settings into the controls.
  virtual void LoadControls() = 0;
  // Puts the default values into the controls.
  virtual void RestoreDefaults() = 0;
  // An entry the page does not take: its control and the message naming what it takes.
  struct RefusedEntry {
    int controlId = -1;
    std::wstring message;
  };
  // Asked of every page before any page is applied: true (with the entry) refuses Apply or OK.
  virtual bool FindRefusedEntry(RefusedEntry&) const { return false; }

  // The number in edit id: decimal digits with white space around them; -1 for anything else
  // (nothing, other characters, more than 32 bits).
  int32_t ReadNumber(int id) const;
  // The check of every number a page takes: true, with edit id and the range's message in
  // refused, when the edit holds no number within range.
  bool RefuseOutsideRange(int id, const NumberRange& range, RefusedEntry& refused) const;

  // Page initialisation, run by the sheet when it creates the page: InitControls, then
  // LoadControls. A page that needs more (its settings reference) does that first.
  virtual void OnInitPage();

  void SetSheet(CVtPropertySheet* sheet) { sheet_ = sheet; }
  CVtPropertySheet* sheet() const { return sheet_; }

 protected:
  void OnOK() override;
  void OnCancel() override;

 private:
  CVtPropertySheet* sheet_ = nullptr;
};

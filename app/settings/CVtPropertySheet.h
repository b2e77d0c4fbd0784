#pragma once
// The base of the settings sheet: a modal dialog with a navigation list on the left (150
// pixels wide, one entry with icon and caption per page), a drawn header over the active page
// (its icon and, from a derived sheet, its title), the pages, and the buttons OK (1),
// Cancel (2), Apply (12321) and Help (9, hidden).
//
// Apply runs ApplyStep1 to ApplyStep5 and leaves the sheet open; OK runs the same steps and
// closes it; Cancel (also Escape and the window manager's close) closes it without any step.
// When a page refuses an entry (FindRefusedEntry), Apply and OK run no step at all: the sheet
// stays open on that page, says why in a message box and puts the focus on the entry. After
// the steps, OnApplied runs (a derived sheet hands the applied settings on).
//
//   sheet.AddPage(&page, icon);  ... sheet.CreatePages();   // every page laid out and initialised
//   sheet.SetActivePage(0); sheet.DoModal();
#include <QPixmap>
#include <vector>

#include "app/platform/CPlatformDialog.h"

class CVtPropertyPage;
class QListWidget;
class QStackedWidget;
class QPainter;

class CVtPropertySheet : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdApply = 12321;
  static constexpr int kIdHelp = 9;
  static constexpr int kNavigationWidth = 150;

  explicit CVtPropertySheet(const std::wstring& caption, QWidget* parent = nullptr);
  ~CVtPropertySheet() override;

  // Adds a page with its header icon (the page stays owned by the caller).
  void AddPage(CVtPropertyPage* page, const QPixmap& icon);
  // Lays out the sheet for its pages and initialises every page (each loads its values).
  void CreatePages();

  void SetActivePage(int index);
  int activePage() const;
  int pageCount() const { return static_cast<int>(pages_.size()); }
  CVtPropertyPage* page(int index) const;

  QListWidget* navigation() const { return navigation_; }
  QWidget* header() const { return header_; }

  // The steps of Apply and OK, in order; each does nothing here.
  virtual void ApplyStep1() {}
  virtual void ApplyStep2() {}
  virtual void ApplyStep3() {}
  virtual void ApplyStep4() {}
  virtual void ApplyStep5() {}
  // After every step of an Apply or OK that was not refused; does nothing here.
  virtual void OnApplied() {}
  // Asks every page for a refused entry, then runs the steps; false (nothing applied, the
  // refusal shown) when a page refused one.
  bool RunApplySteps();

 protected:
  void OnOK() override;
  void OnCancel() override;
  void OnCommand(int id) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Draws the header of page n into the header widget's rectangle: frame and icon. A derived
  // sheet adds the title; textLeft is where the title may begin.
  virtual void OnDrawPageHeader(QPainter& painter, const QRect& area, int page);
  // The header area (frame inside) of the last drawing and the left edge free for text.
  QRect headerFrame() const { return headerFrame_; }
  int headerTextLeft() const { return headerTextLeft_; }

 private:
  void LayOut();
  bool ShowRefusedEntry();

  QListWidget* navigation_;
  QWidget* header_;
  QStackedWidget* stack_;
  std::vector<CVtPropertyPage*> pages_;
  std::vector<QPixmap> icons_;
  QRect headerFrame_;
  int headerTextLeft_ = 0;
};

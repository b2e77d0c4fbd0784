#pragma once
// The thirteen visual styles of the settings, each a Qt look (Fusion base, a palette and a
// style sheet) applied to the whole application. The index is the stored appearance setting;
// an index outside 0..12 gives "Office 2007 Blue".
//
//   ApplyVisualStyle(11);              // Carbon, dark
//   VisualStyleName(2) == L"Office 2007 Silver"
//   ManagerOf(2) == {VisualManager::Office2007, 3}   // the manager and its style number
#include <QColor>
#include <string>

enum class VisualManager { Office2007, VisualStudio2010, Office2010, Office2003, VisualStudio2005, VisualStudio2008, Carbon, Scenic };

struct VisualManagerChoice {
  VisualManager manager = VisualManager::Office2007;
  int style = 0;  // the manager's style number; 0 where the manager has none
  bool operator==(const VisualManagerChoice& o) const { return manager == o.manager && style == o.style; }
};

// The colours of one look; the windows that paint themselves (CButtonST, the main window) use them.
struct VisualLook {
  QColor window, windowText, base, text, button, buttonLight, buttonText, border;
  QColor highlight, highlightText, accent, tab, tabSelected, tabText, title;
  bool dark = false;
};

constexpr int kVisualStyleCount = 13;
// The list entries of the appearance page, in index order; an index outside the list gives the empty text.
const wchar_t* VisualStyleName(int index);
// Index -> manager and style (any other index gives Office 2007 style 0).
VisualManagerChoice ManagerOf(int index);
// The look of a manager choice and of a style index.
VisualLook LookOf(VisualManagerChoice choice);
VisualLook LookOfIndex(int index);
// The style sheet of a look (the application's sheet after ApplyVisualStyle).
QString StyleSheetOf(const VisualLook& look);

// Makes the look of the index the application default and redraws every window.
void ApplyVisualStyle(int index);
// The manager choice applied last (Office 2007 Blue before any call) and its look.
VisualManagerChoice CurrentVisualManager();
const VisualLook& CurrentLook();

#pragma once
// Dialog templates: a dialog is described as a list of controls, each with a kind, an id,
// a text and a rectangle in dialog units. CPlatformDialog builds the widgets from it.
//
//   DialogTemplate t{L"caption", 300, 200, {
//       {ControlKind::Static, -1, L"网址", {7, 9, 30, 10}},
//       {ControlKind::Edit, 1002, L"", {40, 7, 200, 14}, kAutoHScroll},
//   }};
//
// A control may follow the dialog's size (Grow): of the width and height the dialog has
// beyond its template size, it moves by moveX / moveY percent and grows by sizeX / sizeY
// percent. Two boxes side by side each take half ({0,0,50,0} and {50,0,50,0}); a button at
// the right edge moves with it (kMoveRight). A page that grows is never smaller than its
// template; a window whose template is resizable neither.
//
// Dialog units are turned into pixels the way Windows does it for the dialog font:
// x * averageCharWidth / 4 and y * charHeight / 8, where the average width is that of the
// 52 letters A-Z a-z and the height is the font's line height (DialogBaseUnits).
#include <QFont>
#include <QRect>
#include <QSize>
#include <functional>
#include <string>
#include <vector>

class QWidget;

enum class ControlKind {
  Static,         // QLabel; kAlignRight / kAlignCenter
  StaticIcon,     // QLabel showing an icon; text = resource path (":/icons/app.svg")
  GroupBox,       // QGroupBox
  Edit,           // single-line QLineEdit; kReadOnly, kDigitsOnly, kPassword
  MultiLineEdit,  // QPlainTextEdit; kReadOnly; Enter inserts a line break
  FolderEdit,     // CFolderEdit: a line edit with a folder-browse button
  PushButton,     // QPushButton; never auto-default (Enter goes to the dialog)
  CheckBox,       // QCheckBox
  RadioButton,    // QRadioButton
  ListBox,        // QListWidget
  ComboBox,       // QComboBox (drop-down list)
  ReportList,     // CReportList (QTableView over CReportListModel)
  Progress,       // QProgressBar, range 0..100
  LinkButton,     // CLinkButton: text link that opens an address (SetLinkAddress)
  Placeholder,    // hidden QWidget whose rectangle another widget takes over
  Custom,         // made by ControlSpec::make
};

// Control flags.
enum : unsigned {
  kNoFlags = 0,
  kReadOnly = 1u << 0,
  kDigitsOnly = 1u << 1,
  kAlignRight = 1u << 2,
  kAlignCenter = 1u << 3,
  kHidden = 1u << 4,
  kDisabled = 1u << 5,
  kPassword = 1u << 6,
  kAutoHScroll = 1u << 7,
  kVScroll = 1u << 8,
  kDefaultButton = 1u << 9,  // drawn as default; Enter still goes through OnOK
};

struct Grow {
  int moveX = 0;
  int moveY = 0;
  int sizeX = 0;
  int sizeY = 0;
  bool any() const { return moveX || moveY || sizeX || sizeY; }
};
inline constexpr Grow kFixed{0, 0, 0, 0};
inline constexpr Grow kGrowWidth{0, 0, 100, 0};
inline constexpr Grow kGrowBoth{0, 0, 100, 100};
inline constexpr Grow kMoveRight{100, 0, 0, 0};
inline constexpr Grow kMoveDown{0, 100, 0, 0};
inline constexpr Grow kMoveCorner{100, 100, 0, 0};
inline constexpr Grow kMoveDownGrowWidth{0, 100, 100, 0};

struct ControlSpec {
  ControlKind kind = ControlKind::Static;
  int id = -1;  // -1: no id (labels)
  std::wstring text;
  QRect rect;  // dialog units: x, y, width, height
  unsigned flags = kNoFlags;
  std::function<QWidget*(QWidget* parent)> make;  // ControlKind::Custom only
  Grow grow = kFixed;
};

struct DialogTemplate {
  std::wstring caption;
  int width = 200;   // dialog units
  int height = 100;  // dialog units
  std::vector<ControlSpec> controls;
  int pointSize = 9;
  bool resizable = false;  // a top-level window the user may make larger than its template
};

// The family used for every window: a CJK face that is installed on Linux.
const char* DialogFontFamily();
QFont DialogFont(int pointSize = 9);
// Average width of the 52 letters (rounded the way Windows rounds it) and line height.
QSize DialogBaseUnits(const QFont& font);
// Dialog units to pixels for the given base units.
QRect DialogUnitsToPixels(const QRect& units, const QSize& base);
QSize DialogUnitsToPixels(const QSize& units, const QSize& base);

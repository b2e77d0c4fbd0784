#include "app/CDlgSubYahoo.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "texts/FileWriteText.h"
#include "app/platform/WideText.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "output/UrlListFile.h"

DialogTemplate CDlgSubYahoo::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::MultiLineEdit, kIdText, L"", {6, 6, 492, 228}, kVScroll, {}, kGrowBoth},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}, kNoFlags, {}, kMoveCorner},
                        }};
}

CDlgSubYahoo::CDlgSubYahoo(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  SetTextLimitMax(Control(kIdText));
}

void CDlgSubYahoo::OnCommand(int id) {
  if (id == kIdSave) Save();
}

void CDlgSubYahoo::AppendAddresses(const std::vector<std::string>& fullAddresses) {
  if (fullAddresses.empty()) return;
  std::string text;
  for (const std::string& address : fullAddresses) text += UrlListLine(address);
  AppendAtEnd(Control(kIdText), QString::fromStdString(text));
}

void CDlgSubYahoo::ClearList() { ClearEdit(Control(kIdText)); }

std::wstring CDlgSubYahoo::ListText() const { return EditText(Control(kIdText)); }

bool CDlgSubYahoo::Save() {
  const std::wstring list = ListText();
  const QStringList lines = QString::fromStdWString(list).split(QLatin1Char('\n'));
  const size_t count = static_cast<size_t>(
      std::count_if(lines.cbegin(), lines.cend(), [](const QString& line) { return !line.trimmed().isEmpty(); }));
  if (count == 0) {
    ShowMessageBox(this, L"网址列表是空的，没有保存文件。");
    return false;
  }
  const std::string site = siteName_ ? siteName_() : std::string();
  std::optional<QString> path =
      AskSaveFileName(this, site.empty() ? QString() : QString::fromStdString(site + "_urls.txt"));
  if (!path) return false;
  FileWriteResult result;
  if (SaveUrlListFile(path->toStdString(), WideToUtf8(list), &result).ok()) {
    if (saveReporter_) {
      const QFileInfo file(*path);
      const std::wstring head = L"已保存" + std::to_wstring(count) + L"个网址到 ";
      saveReporter_({head + QDir::toNativeSeparators(file.absoluteFilePath()).toStdWString(),
                     head + QDir::toNativeSeparators(file.absolutePath()).toStdWString()});
    }
    return true;
  }
  ShowMessageBox(this, L"网址列表没有保存。\n" + Utf8ToWide(FileWriteMessage(result)));
  return false;
}

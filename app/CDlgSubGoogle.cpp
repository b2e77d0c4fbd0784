#include "app/CDlgSubGoogle.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "common/TextCodec.h"
#include "output/SitemapEscape.h"
#include "output/SitemapIndex.h"

DialogTemplate CDlgSubGoogle::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::MultiLineEdit, kIdText, L"", {6, 6, 492, 228}, kVScroll},
                            {ControlKind::CheckBox, kIdGzip, L"GZIP压缩", {8, 242, 90, 12}},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}},
                        }};
}

CDlgSubGoogle::CDlgSubGoogle(QWidget* parent)
    : CPlatformDialog(Template(), Style::ChildPage, parent), writer_(std::make_unique<CSitemapXmlWriter>()) {
  setObjectName(QStringLiteral("page"));
  SetTextLimitMax(Control(kIdText));
  CheckItem(kIdGzip, true);
  frameReady_ = BuildSitemapFrame(writer_->childTemplate(), frame_);
  RefreshDisplay();
}

void CDlgSubGoogle::OnCommand(int id) {
  if (id == kIdSave) Save();
}

bool CDlgSubGoogle::Save() {
  std::string prefix = host_ ? host_() : std::string();
  FileWriteResult failure;
  std::vector<std::string> saved;
  if (writer_->SaveAll(prefix, IsItemChecked(kIdGzip), &failure, &saved) != 0) {
    ShowMessageBox(this, L"XML网站地图没有全部保存。\n" + FileWriteMessage(failure));
    return false;
  }
  const std::string root = indexRoot_ ? indexRoot_() : std::string();
  if (root.empty() || WriteSitemapIndexFor({saved, root, prefix, ""}) == 0) return true;
  ShowMessageBox(this, L"网站地图索引没有保存：无法写入文件 " + Utf8ToWide(SitemapIndexFileName(prefix)) +
                           L"。\n原有的文件没有改动。");
  return false;
}

void CDlgSubGoogle::RefreshDisplay() {
  std::string printed;
  std::wstring text;
  int32_t index = writer_->currentIndex();
  if (index >= 0 && static_cast<size_t>(index) < writer_->documentCount() && writer_->PrintCurrent(printed) == 0)
    text = Utf8ToWide(printed);
  auto* box = ControlAs<QPlainTextEdit>(kIdText);
  box->setUndoRedoEnabled(false);
  box->setPlainText(QString::fromStdWString(text));
  shownIndex_ = text.empty() ? -1 : index;
  shownHasEntries_ = frameReady_ && printed != frame_.emptyText;
}

void CDlgSubGoogle::AddAddresses(const std::set<std::string>& addresses,
                                 const std::map<std::string, std::string>& lastmods) {
  if (addresses.empty()) return;
  int32_t before = writer_->currentIndex();
  std::string entries;
  for (const std::string& address : addresses) {
    auto own = lastmods.find(address);
    const std::string lastmod = own == lastmods.end() ? std::string() : own->second;
    int32_t index = writer_->currentIndex();
    if (writer_->AddUrl(address, lastmod) != 0) continue;
    if (writer_->currentIndex() != index) entries.clear();  // a new document took this address
    if (!frameReady_) continue;
    if (lastmod.empty() || frame_.entryLead.empty()) {
      entries += frame_.entryHead;
    } else {
      entries += frame_.entryLead;
      AppendXmlEscaped(entries, lastmod);
      entries += frame_.entryMid;
    }
    entries += LocText(address);
    entries += frame_.entryTail;
  }
  int32_t after = writer_->currentIndex();
  if (!frameReady_ || after != before || shownIndex_ != after || !shownHasEntries_) {
    RefreshDisplay();
    return;
  }
  // The box shows this document with entries: put the new ones before the root end tag.
  auto* box = ControlAs<QPlainTextEdit>(kIdText);
  QTextDocument* doc = box->document();
  QTextBlock block = doc->lastBlock();
  while (block.isValid() && block.text().isEmpty()) block = block.previous();
  if (!block.isValid()) {
    RefreshDisplay();
    return;
  }
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::StartOfBlock);
  cursor.insertText(QString::fromStdWString(Utf8ToWide(entries)));
}

void CDlgSubGoogle::ClearText() {
  ClearEdit(Control(kIdText));
  shownIndex_ = -1;
  shownHasEntries_ = false;
}

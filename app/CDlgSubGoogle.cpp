#include "app/CDlgSubGoogle.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "texts/FileWriteText.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "output/SitemapIndex.h"

DialogTemplate CDlgSubGoogle::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::MultiLineEdit, kIdText, L"", {6, 6, 492, 228}, kVScroll},
                            {ControlKind::CheckBox, kIdGzip, L"GZIP压缩", {8, 242, 90, 12}},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}},
                        }};
}

CDlgSubGoogle::CDlgSubGoogle(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  SetTextLimitMax(Control(kIdText));
  CheckItem(kIdGzip, true);
}

void CDlgSubGoogle::ShowResults(std::shared_ptr<CrawlResults> results) {
  results_ = std::move(results);
  writer_ = results_ ? results_->sitemap() : nullptr;
  // The writer's own pieces: the page shows entries exactly as the files hold them.
  frameReady_ = writer_ && writer_->ready();
  if (frameReady_) frame_ = writer_->frame();
  RefreshDisplay();
}

void CDlgSubGoogle::OnCommand(int id) {
  if (id == kIdSave) Save();
}

bool CDlgSubGoogle::Save() {
  if (!results_ || results_->SiteName().empty()) {
    // Nothing was crawled: no file is written over with an empty sitemap.
    ShowMessageBox(this, L"还没有可以保存的网站地图：请先在“爬行”页开始爬行一个网站。");
    return false;
  }
  FileWriteResult failure;
  const bool index = indexWanted_ && indexWanted_();
  std::vector<std::string> names;
  int32_t saved = results_->SaveSitemap("", IsItemChecked(kIdGzip), &failure, index, &names);
  if (saved == 0) {
    if (savedReporter_ && !names.empty()) {
      const QString folder = QDir::currentPath();
      std::wstring line = L"已保存" + std::to_wstring(names.size() + (index && names.size() > 1 ? 1 : 0)) +
                          L"个网站地图文件（" + Utf8ToWide(names.front()) + (names.size() > 1 ? L" 等" : L"") +
                          L"）到 " + folder.toStdWString();
      savedReporter_(line);
    }
    return true;
  }
  if (failure.path.find("_sitemap_index.xml") != std::string::npos) {
    ShowMessageBox(this, L"网站地图索引没有保存：无法写入文件 " + Utf8ToWide(failure.path) + L"。\n原有的文件没有改动。");
  } else {
    ShowMessageBox(this, L"XML网站地图没有全部保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
  }
  return false;
}

void CDlgSubGoogle::RefreshDisplay() {
  std::string printed;
  std::wstring text;
  size_t count = 0;
  int32_t index = writer_ ? writer_->currentIndex() : -1;
  if (index >= 0 && static_cast<size_t>(index) < writer_->documentCount() && writer_->PrintCurrent(printed, &count) == 0)
    text = Utf8ToWide(printed);
  auto* box = ControlAs<QPlainTextEdit>(kIdText);
  box->setUndoRedoEnabled(false);
  box->setPlainText(QString::fromStdWString(text));
  shownIndex_ = text.empty() ? -1 : index;
  shownHasEntries_ = frameReady_ && printed != frame_.emptyText;
  shownCount_ = count;
}

void CDlgSubGoogle::AddAddresses(const std::set<std::string>& addresses,
                                 const std::map<std::string, std::string>& lastmods) {
  std::vector<SitemapEntry> entries;
  for (const std::string& address : addresses) {
    auto own = lastmods.find(address);
    entries.push_back({address, own == lastmods.end() ? std::string() : own->second, 0, {}});
  }
  AddEntries(entries);
}

void CDlgSubGoogle::AddEntries(const std::vector<SitemapEntry>& added) {
  if (added.empty() || !writer_) return;
  const int32_t index = writer_->currentIndex();
  const size_t count = writer_->CurrentUrlCount();
  // Only when the documents hold exactly what the box shows plus this portion can the
  // portion be put in as text; otherwise the document is shown whole again.
  if (!frameReady_ || index != shownIndex_ || !shownHasEntries_ || count != shownCount_ + added.size()) {
    RefreshDisplay();
    return;
  }
  std::string entries;
  for (const SitemapEntry& entry : added)
    entries += writer_->EntryText(entry.address, entry.lastmod, entry.depth, entry.alternates);
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
  shownCount_ = count;
}

void CDlgSubGoogle::ClearText() {
  ClearEdit(Control(kIdText));
  shownIndex_ = -1;
  shownHasEntries_ = false;
  shownCount_ = 0;
}

#include "app/CDlgSubGoogle.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QSignalBlocker>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "texts/FileWriteText.h"
#include "app/platform/EditBox.h"
#include "app/platform/MessageBox.h"
#include "app/platform/StringRes.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "output/CSitemapXmlWriter.h"
#include "output/CrawlResults.h"
#include "output/RobotsSitemapLine.h"
#include "output/SitemapIndex.h"
#include "texts/PushText.h"

DialogTemplate CDlgSubGoogle::Template() {
  return DialogTemplate{L"", 504, 262,
                        {
                            {ControlKind::MultiLineEdit, kIdText, L"", {6, 6, 492, 228}, kVScroll, {}, kGrowBoth},
                            {ControlKind::CheckBox, kIdGzip, L"GZIP压缩", {8, 242, 60, 12}, kNoFlags, {}, kMoveDown},
                            {ControlKind::ComboBox, kIdDocuments, L"", {72, 240, 258, 14}, kNoFlags, {}, kMoveDownGrowWidth},
                            {ControlKind::PushButton, kIdPush, L"提交到搜索引擎", {336, 240, 88, 16}, kNoFlags, {}, kMoveCorner},
                            {ControlKind::PushButton, kIdSave, L"保存", {430, 240, 64, 16}, kNoFlags, {}, kMoveCorner},
                        }};
}

CDlgSubGoogle::CDlgSubGoogle(QWidget* parent) : CPlatformDialog(Template(), Style::ChildPage, parent) {
  setObjectName(QStringLiteral("page"));
  SetTextLimitMax(Control(kIdText));
  CheckItem(kIdGzip, true);
  auto* chooser = ControlAs<QComboBox>(kIdDocuments);
  chooser->setToolTip(QStringLiteral("网站地图超过大小上限时分成几个文件：选择要查看的文件"));
  chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(chooser, &QComboBox::activated, this, [this](int index) { ShowDocument(index); });
  UpdateChooser();
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
  if (id == kIdPush) Push();
  if (id == kIdGzip) UpdateChooser();  // the files' names change with it
}

namespace {

// The question: which engines get how many addresses.
std::wstring PushQuestion(const PushChoice& choice, const SearchEngineSettings& engines, size_t count) {
  std::wstring text = L"把网站地图中的 " + std::to_wstring(count) + L" 个网址提交到：";
  if (choice.baidu) text += L"\n  百度普通收录（站点 " + Utf8ToWide(engines.baiduSite) + L"，每次最多 2000 个，用完今天的配额为止）";
  if (choice.indexNow)
    text += L"\n  IndexNow（Bing、Yandex 等；先检查网站上的密钥文件 " + Utf8ToWide(engines.indexNowKey) + L".txt）";
  return text + L"\n\n现在提交吗？";
}

}  // namespace

bool CDlgSubGoogle::Push() {
  if (!results_ || results_->SiteName().empty() || results_->PushAddresses().empty()) {
    ShowMessageBox(this, L"还没有可以提交的网址：请先在“爬行”页爬行一个网站。");
    return false;
  }
  if (pusher_.running()) {
    ShowMessageBox(this, L"上一次提交还没有结束。");
    return false;
  }
  const PushSource source = pushSource_ ? pushSource_() : PushSource();
  if (source.crawling) {
    ShowMessageBox(this, L"爬行还在进行：请等爬行结束后再提交。");
    return false;
  }
  PushChoice choice;
  choice.baidu = source.engines.baiduReady();
  choice.indexNow = source.engines.indexNowReady();
  if (!choice.baidu && !choice.indexNow) {
    ShowMessageBox(this, L"还没有设置搜索引擎：请在“设置”的“提交到搜索引擎”页填写百度的站点和准入密钥(token)，或 IndexNow 密钥。");
    return false;
  }
  const size_t count = results_->PushAddresses().size();
  if (!AskYesNo(this, PushQuestion(choice, source.engines, count))) return false;
  EnableItem(kIdPush, false);
  if (pushReporter_) pushReporter_(L"正在提交到搜索引擎……");
  return pusher_.Start(results_, source.engines, choice, source.http, this,
                       [this](const PushOutcome& outcome) { OnPushed(outcome); });
}

void CDlgSubGoogle::OnPushed(const PushOutcome& outcome) {
  EnableItem(kIdPush, true);
  if (pushReporter_) pushReporter_(Utf8ToWide(PushSummaryText(outcome)));
  ShowMessageBox(this, Utf8ToWide(PushReportText(outcome)));
}

void CDlgSubGoogle::OfferRobotsLine(const std::vector<std::string>& names, bool index) {
  if (!pushSource_ || !results_ || !pushSource_().robotsLacksSitemap) return;
  const std::vector<std::string> lines = RobotsSitemapLines(results_->origin(), names, index);
  if (lines.empty()) return;
  if (!AskYesNo(this, Utf8ToWide(RobotsSitemapAdviceText(lines)) + L"\n\n复制到剪贴板吗？")) return;
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

bool CDlgSubGoogle::Save() {
  if (!results_ || results_->SiteName().empty()) {
    // Nothing was crawled: no file is written over with an empty sitemap.
    ShowMessageBox(this, L"还没有可以保存的网站地图：请先在“" + StringRes(104).toStdWString() + L"”页开始爬行一个网站。");
    return false;
  }
  size_t entries = 0;
  for (size_t i = 0; writer_ && i < writer_->documentCount(); ++i) entries += writer_->UrlCount(i);
  if (writer_ && entries == 0) {
    ShowMessageBox(this, L"网站地图中没有网址，没有保存文件。");
    return false;
  }
  FileWriteResult failure;
  const bool index = indexWanted_ && indexWanted_();
  std::vector<std::string> names;
  const Status saved = results_->SaveSitemap("", IsItemChecked(kIdGzip), &failure, index, &names);
  if (saved.ok() && htmlPageWanted_ && htmlPageWanted_() && !results_->SaveHtmlSitemap("", &failure).ok()) {
    ShowMessageBox(this, L"网站地图网页没有保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
    return false;
  }
  if (saved.ok()) {
    if (saveReporter_ && !names.empty()) {
      const std::wstring folder = QDir::toNativeSeparators(QDir::currentPath()).toStdWString();
      const size_t files = names.size() + (index && names.size() > 1 ? 1 : 0);
      std::wstring named;
      for (const std::string& name : names) named += (named.empty() ? L"" : L"、") + Utf8ToWide(name);
      const std::wstring head = L"已保存" + std::to_wstring(files) + L"个网站地图文件（" + std::to_wstring(entries) + L"个网址）";
      saveReporter_({head + L"：" + named + L"，在 " + folder, head + L"到 " + folder});
    }
    OfferRobotsLine(names, index);
    return true;
  }
  if (failure.path.find("_sitemap_index.xml") != std::string::npos) {
    ShowMessageBox(this, L"网站地图索引没有保存：无法写入文件 " + Utf8ToWide(failure.path) + L"。\n原有的文件没有改动。");
  } else {
    ShowMessageBox(this, L"XML网站地图没有全部保存。\n" + Utf8ToWide(FileWriteMessage(failure)));
  }
  return false;
}

int32_t CDlgSubGoogle::WantedDocument() const {
  if (!writer_) return -1;
  const int32_t count = static_cast<int32_t>(writer_->documentCount());
  if (!followNewest_ && chosen_ >= 0 && chosen_ < count) return chosen_;
  return writer_->currentIndex();
}

void CDlgSubGoogle::ShowDocument(int index) {
  const int count = writer_ ? static_cast<int>(writer_->documentCount()) : 0;
  followNewest_ = index < 0 || index >= count - 1;
  chosen_ = followNewest_ ? -1 : index;
  RefreshDisplay();
}

std::vector<std::wstring> CDlgSubGoogle::DocumentChoices() const {
  std::vector<std::wstring> choices;
  if (!writer_) return choices;
  const size_t count = writer_->documentCount();
  const std::string site = results_ ? results_->SiteName() : std::string();
  const bool gzip = IsItemChecked(kIdGzip);
  for (size_t i = 0; i < count; ++i) {
    choices.push_back(L"文件 " + std::to_wstring(i + 1) + L"/" + std::to_wstring(count) + L"：" +
                      Utf8ToWide(CSitemapXmlWriter::FileName(site, i, gzip)) + L"（" +
                      std::to_wstring(writer_->UrlCount(i)) + L" 个网址）");
  }
  return choices;
}

void CDlgSubGoogle::UpdateChooser() {
  auto* chooser = ControlAs<QComboBox>(kIdDocuments);
  const std::vector<std::wstring> choices = DocumentChoices();
  QSignalBlocker quiet(chooser);
  while (chooser->count() > static_cast<int>(choices.size())) chooser->removeItem(chooser->count() - 1);
  for (size_t i = 0; i < choices.size(); ++i) {
    const QString text = QString::fromStdWString(choices[i]);
    if (static_cast<int>(i) < chooser->count()) {
      if (chooser->itemText(static_cast<int>(i)) != text) chooser->setItemText(static_cast<int>(i), text);
    } else {
      chooser->addItem(text);
    }
  }
  if (choices.empty()) chooser->addItem(QStringLiteral("还没有网站地图文件"));
  chooser->setEnabled(!choices.empty());
  const int32_t shown = WantedDocument();
  chooser->setCurrentIndex(shown >= 0 && shown < chooser->count() ? shown : 0);
}

void CDlgSubGoogle::RefreshDisplay() {
  std::string printed;
  std::wstring text;
  size_t count = 0;
  int32_t index = WantedDocument();
  if (index >= 0 && static_cast<size_t>(index) < writer_->documentCount() &&
      writer_->PrintDocument(static_cast<size_t>(index), printed, &count).ok())
    text = Utf8ToWide(printed);
  auto* box = ControlAs<QPlainTextEdit>(kIdText);
  box->setUndoRedoEnabled(false);
  box->setPlainText(QString::fromStdWString(text));
  shownIndex_ = text.empty() ? -1 : index;
  shownHasEntries_ = frameReady_ && printed != frame_.emptyText;
  shownCount_ = count;
  UpdateChooser();
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
  if (!followNewest_) {
    UpdateChooser();  // an earlier document is read: only the counts move
    return;
  }
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
    entries += writer_->EntryText(entry.address, entry.lastmod, entry.depth, entry.alternates, entry.images);
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
  UpdateChooser();
}

void CDlgSubGoogle::ClearText() {
  ClearEdit(Control(kIdText));
  shownIndex_ = -1;
  shownHasEntries_ = false;
  shownCount_ = 0;
  followNewest_ = true;
  chosen_ = -1;
}

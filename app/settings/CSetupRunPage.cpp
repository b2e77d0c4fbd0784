#include "app/settings/CSetupRunPage.h"

#include <QListWidget>

#include "texts/SettingsText.h"
#include "app/platform/EditBox.h"
#include "app/settings/CDlgRunAddExt.h"
#include "app/platform/WideText.h"
#include "common/TextCodec.h"
#include "settings/CSetupManager.h"
#include "settings/SettingsPersistence.h"
#include "settings/SetupPageRules.h"

namespace {

// The list box sorts without regard to letter case, as the system's sorted list boxes do.
class TypeItem : public QListWidgetItem {
 public:
  explicit TypeItem(const QString& text) : QListWidgetItem(text) {}
  bool operator<(const QListWidgetItem& other) const override {
    int order = text().compare(other.text(), Qt::CaseInsensitive);
    return order != 0 ? order < 0 : text() < other.text();
  }
};

std::wstring Decimal(int32_t value) { return std::to_wstring(value); }

}  // namespace

CSetupRunPage::CSetupRunPage(std::weak_ptr<CSetupManager> source)
    : CVtPropertyPage(Template()), source_(std::move(source)) {
  if (QListWidget* list = typeList()) {
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
  }
}

DialogTemplate CSetupRunPage::Template() {
  return DialogTemplate{L"运行设置", 415, 261,
                        {
                            {ControlKind::GroupBox, -1, L"运行参数", {7, 7, 401, 46}},
                            {ControlKind::Static, -1, L"最大深度", {20, 27, 44, 10}},
                            {ControlKind::Edit, kIdDepth, L"", {68, 25, 50, 14}, kAutoHScroll},
                            {ControlKind::Static, -1, Utf8ToWide(RangeLabel(kDepthRange)), {122, 27, 40, 10}},
                            {ControlKind::Static, -1, L"线程数", {180, 27, 36, 10}},
                            {ControlKind::Edit, kIdThreads, L"", {218, 25, 50, 14}, kAutoHScroll},
                            {ControlKind::Static, -1, Utf8ToWide(RangeLabel(kThreadsRange)), {272, 27, 40, 10}},
                            {ControlKind::GroupBox, -1, L"禁止访问的文件类型", {7, 60, 401, 172}},
                            {ControlKind::ListBox, kIdTypes, L"", {20, 78, 290, 144}, kVScroll},
                            {ControlKind::PushButton, kIdAdd, L"增加", {326, 78, 66, 16}},
                            {ControlKind::PushButton, kIdDelete, L"删除", {326, 100, 66, 16}},
                            {ControlKind::PushButton, kIdDefaults, L"恢复默认值", {326, 240, 82, 16}},
                        }};
}

QListWidget* CSetupRunPage::typeList() const { return ControlAs<QListWidget>(kIdTypes); }

void CSetupRunPage::OnInitPage() {
  setup_ = source_.lock();
  CVtPropertyPage::OnInitPage();
}

void CSetupRunPage::InitControls() {
  // Any number of digits: a number above the range is refused at Apply or OK with its range,
  // where a limit on the typing would only have dropped a digit without a word.
  SetDigitsOnly(Control(kIdDepth));
  SetDigitsOnly(Control(kIdThreads));
}

bool CSetupRunPage::FindRefusedEntry(RefusedEntry& refused) const {
  return RefuseOutsideRange(kIdDepth, kDepthRange, refused) || RefuseOutsideRange(kIdThreads, kThreadsRange, refused);
}

void CSetupRunPage::AddListEntry(const std::string& type) {
  if (QListWidget* list = typeList()) list->addItem(new TypeItem(QString::fromStdWString(Utf8ToWide(type))));
}

void CSetupRunPage::LoadControls() {
  if (!setup_) return;
  SetItemText(kIdDepth, Decimal(DepthOrDefault(setup_->maxDepth)));
  SetItemText(kIdThreads, Decimal(ThreadsOrDefault(setup_->threadCount)));
  if (QListWidget* list = typeList()) list->clear();
  for (const std::string& type : setup_->forbiddenExtensions) AddListEntry(type);
}

void CSetupRunPage::Apply() {
  if (!setup_) return;
  setup_->maxDepth = DepthOrDefault(ReadNumber(kIdDepth));
  setup_->threadCount = ThreadsOrDefault(ReadNumber(kIdThreads));
  StringISet types;
  if (QListWidget* list = typeList()) {
    for (int row = 0; row < list->count(); ++row) {
      std::string type = WideToUtf8(list->item(row)->text().toStdWString());
      if (!type.empty()) types.insert(type);
    }
  }
  setup_->forbiddenExtensions = std::move(types);
}

void CSetupRunPage::RestoreDefaults() {
  SetItemText(kIdDepth, L"5");
  SetItemText(kIdThreads, Decimal(DefaultThreads()));
  if (QListWidget* list = typeList()) list->clear();
  if (!setup_) {
    for (const char* type : CSetupManager::kDefaultExtensionList) AddListEntry(type);
    return;
  }
  for (const std::string& type : setup_->defaultExtensions) AddListEntry(type);
}

void CSetupRunPage::OnCommand(int id) {
  switch (id) {
    case kIdAdd:
      AddTypes();
      break;
    case kIdDelete:
      DeleteSelectedTypes();
      break;
    case kIdDefaults:
      RestoreDefaults();
      break;
    default:
      CVtPropertyPage::OnCommand(id);
      break;
  }
}

void CSetupRunPage::AddTypes() {
  CDlgRunAddExt dialog(this);
  if (dialog.Run() != CPlatformDialog::kIdOk) return;
  for (size_t i = 0; i < 4; ++i) {
    std::string entry = dialog.Entry(i);
    if (entry.empty()) continue;
    // Into the list only: the settings take the list at Apply or OK, so Cancel drops it.
    AddListEntry(ForbiddenTypeOf(entry));
  }
  if (QListWidget* list = typeList()) list->viewport()->update();
}

void CSetupRunPage::DeleteSelectedTypes() {
  QListWidget* list = typeList();
  if (!list) return;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  for (QListWidgetItem* item : selected) delete item;
}

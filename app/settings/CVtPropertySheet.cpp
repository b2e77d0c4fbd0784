#include "app/settings/CVtPropertySheet.h"

#include <QEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedWidget>

#include "app/platform/MessageBox.h"
#include "app/platform/VisualStyle.h"
#include "app/settings/CVtPropertyPage.h"

namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 6;
constexpr int kNavigationIconSide = 32;

DialogTemplate SheetTemplate(const std::wstring& caption) {
  // Button rectangles are placed in pixels once the pages are known (LayOut).
  return DialogTemplate{caption, 100, 50,
                        {
                            {ControlKind::PushButton, CPlatformDialog::kIdOk, L"确定", {0, 0, 40, 14}, kDefaultButton},
                            {ControlKind::PushButton, CPlatformDialog::kIdCancel, L"取消", {0, 0, 40, 14}},
                            {ControlKind::PushButton, CVtPropertySheet::kIdApply, L"应用", {0, 0, 40, 14}},
                            {ControlKind::PushButton, CVtPropertySheet::kIdHelp, L"帮助", {0, 0, 40, 14}, kHidden},
                        }};
}

// A soft shadow below and right of a frame, a few pixels deep.
void DrawShadow(QPainter& painter, const QRect& frame, bool dark) {
  const int depth = 3;
  for (int i = 1; i <= depth; ++i) {
    QColor shade(0, 0, 0, (dark ? 90 : 45) / i);
    painter.setPen(shade);
    painter.drawLine(frame.left() + 3 + i, frame.bottom() + i, frame.right() + i, frame.bottom() + i);
    painter.drawLine(frame.right() + i, frame.top() + 3 + i, frame.right() + i, frame.bottom() + i);
  }
}

}  // namespace

CVtPropertySheet::CVtPropertySheet(const std::wstring& caption, QWidget* parent)
    : CPlatformDialog(SheetTemplate(caption), Style::Modal, parent),
      navigation_(new QListWidget(this)),
      header_(new QWidget(this)),
      stack_(new QStackedWidget(this)) {
  navigation_->setObjectName(QStringLiteral("navigation"));
  navigation_->setIconSize(QSize(kNavigationIconSide, kNavigationIconSide));
  navigation_->setSpacing(2);
  navigation_->setSelectionMode(QAbstractItemView::SingleSelection);
  navigation_->setFixedWidth(kNavigationWidth);
  header_->setObjectName(QStringLiteral("pageHeader"));
  header_->installEventFilter(this);
  stack_->setObjectName(QStringLiteral("pages"));
  connect(navigation_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) SetActivePage(row);
  });
  EnableItem(kIdApply, true);
}

CVtPropertySheet::~CVtPropertySheet() { header_->removeEventFilter(this); }

void CVtPropertySheet::AddPage(CVtPropertyPage* page, const QPixmap& icon) {
  page->SetSheet(this);
  pages_.push_back(page);
  icons_.push_back(icon);
  stack_->addWidget(page);
  auto* item = new QListWidgetItem(QIcon(icon), page->windowTitle(), navigation_);
  item->setSizeHint(QSize(kNavigationWidth - 8, kNavigationIconSide + 10));
}

void CVtPropertySheet::CreatePages() {
  LayOut();
  for (CVtPropertyPage* p : pages_) p->OnInitPage();
}

void CVtPropertySheet::LayOut() {
  QSize pageSize(0, 0);
  for (CVtPropertyPage* p : pages_) pageSize = pageSize.expandedTo(p->size());
  // 7/2 of the text height, but never less than the icon with the frame's insets around it.
  int headerHeight = std::max(baseUnits().height() * 7 / 2, 48 + 2 * 10 + 8);
  int right = kMargin + kNavigationWidth + kMargin;
  navigation_->setGeometry(kMargin, kMargin, kNavigationWidth, headerHeight + pageSize.height());
  header_->setGeometry(right, kMargin, pageSize.width(), headerHeight);
  stack_->setGeometry(right, kMargin + headerHeight, pageSize.width(), pageSize.height());
  for (CVtPropertyPage* p : pages_) p->resize(pageSize);
  int width = right + pageSize.width() + kMargin;
  int buttonTop = kMargin + headerHeight + pageSize.height() + kMargin;
  int x = width - kMargin - kButtonWidth;
  // From the right: Help (hidden, keeps no place), Apply, Cancel, OK.
  for (int id : {kIdApply, kIdCancel, kIdOk}) {
    if (QWidget* b = Control(id)) b->setGeometry(x, buttonTop, kButtonWidth, kButtonHeight);
    x -= kButtonWidth + kButtonGap;
  }
  if (QWidget* help = Control(kIdHelp)) help->setGeometry(kMargin, buttonTop, kButtonWidth, kButtonHeight);
  setFixedSize(width, buttonTop + kButtonHeight + kMargin);
}

void CVtPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= pageCount()) return;
  stack_->setCurrentIndex(index);
  if (navigation_->currentRow() != index) {
    QSignalBlocker block(navigation_);
    navigation_->setCurrentRow(index);
  }
  header_->update();
}

int CVtPropertySheet::activePage() const { return stack_->currentIndex(); }

CVtPropertyPage* CVtPropertySheet::page(int index) const {
  return index >= 0 && index < pageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

bool CVtPropertySheet::RunApplySteps() {
  // All pages are asked first, so a refused entry leaves the settings as they were.
  if (ShowRefusedEntry()) return false;
  ApplyStep1();
  ApplyStep2();
  ApplyStep3();
  ApplyStep4();
  ApplyStep5();
  OnApplied();
  return true;
}

bool CVtPropertySheet::ShowRefusedEntry() {
  for (int i = 0; i < pageCount(); ++i) {
    CVtPropertyPage* p = pages_[static_cast<size_t>(i)];
    CVtPropertyPage::RefusedEntry refused;
    if (!p->FindRefusedEntry(refused)) continue;
    SetActivePage(i);
    ShowMessageBox(this, refused.message);
    if (QWidget* entry = p->Control(refused.controlId)) {
      entry->setFocus(Qt::OtherFocusReason);
      if (auto* line = qobject_cast<QLineEdit*>(entry)) line->selectAll();
    }
    return true;
  }
  return false;
}

void CVtPropertySheet::OnOK() {
  if (RunApplySteps()) EndDialog(kIdOk);
}

void CVtPropertySheet::OnCancel() { EndDialog(kIdCancel); }

void CVtPropertySheet::OnCommand(int id) {
  if (id == kIdApply) {
    RunApplySteps();
    return;
  }
  CPlatformDialog::OnCommand(id);
}

bool CVtPropertySheet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == header_ && event->type() == QEvent::Paint) {
    QPainter painter(header_);
    painter.setRenderHint(QPainter::Antialiasing, true);
    OnDrawPageHeader(painter, header_->rect(), activePage());
    return true;
  }
  return CPlatformDialog::eventFilter(watched, event);
}

void CVtPropertySheet::OnDrawPageHeader(QPainter& painter, const QRect& area, int page) {
  const VisualLook& look = CurrentLook();
  // Room on the right for the shadow's three pixels: none of it is cut by the header's edge.
  QRect frame = area.adjusted(0, 10, -4, -10);
  // Light looks get the gradient header, dark looks the flat one with a 3-D frame.
  if (!look.dark) {
    QRect fill = frame.adjusted(2, 2, -2, -2);
    QLinearGradient gradient(fill.topLeft(), fill.topRight());
    gradient.setColorAt(0, look.button);
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(fill, gradient);
    painter.setPen(look.border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(frame).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  } else {
    painter.fillRect(frame, look.button);
    painter.setPen(look.buttonLight);
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(look.border.darker(150));
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
  }
  DrawShadow(painter, frame, look.dark);
  headerFrame_ = frame;
  headerTextLeft_ = frame.left() + 6;
  if (page < 0 || page >= static_cast<int>(icons_.size())) return;
  const QPixmap& icon = icons_[static_cast<size_t>(page)];
  QPoint at(frame.left() + 6, frame.top() + (frame.height() - icon.height()) / 2);
  painter.drawPixmap(at, icon);
  headerTextLeft_ = at.x() + icon.width();
}

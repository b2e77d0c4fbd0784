#include "app/platform/CPlatformDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimerEvent>
#include <QResizeEvent>
#include <algorithm>

#include "app/platform/CFolderEdit.h"
#include "app/platform/CLinkButton.h"
#include "app/platform/CReportList.h"
#include "app/platform/EditBox.h"

QEvent::Type PostedMessageEvent::EventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

CPlatformDialog::CPlatformDialog(const DialogTemplate& tpl, Style style, QWidget* parent)
    : QDialog(parent), style_(style) {
  if (style == Style::ChildPage) {
    setWindowFlags(Qt::Widget);
  } else if (style == Style::Popup) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  }
  QFont font = DialogFont(tpl.pointSize);
  setFont(font);
  base_ = DialogBaseUnits(font);
  setWindowTitle(QString::fromStdWString(tpl.caption));
  QSize size = DialogUnitsToPixels(QSize(tpl.width, tpl.height), base_);
  templateSize_ = size;
  resize(size);
  if (style != Style::ChildPage && !tpl.resizable) setFixedSize(size);
  if (tpl.resizable) setMinimumSize(size);
  bool grows = false;
  for (const ControlSpec& spec : tpl.controls) {
    QWidget* w = CreateControl(spec);
    if (!w) continue;
    w->setGeometry(MapDialogRect(spec.rect));
    if (spec.grow.any()) {
      placed_.push_back({w, w->geometry(), spec.grow});
      grows = true;
    }
    if (spec.flags & kHidden) w->hide();
    if (spec.flags & kDisabled) w->setEnabled(false);
    if (spec.id >= 0) {
      w->setObjectName(QStringLiteral("id%1").arg(spec.id));
      controls_[spec.id] = w;
    }
  }
  // A page that follows its window is laid out for its template size at the least.
  if (grows && style == Style::ChildPage) setMinimumSize(size);
}

void CPlatformDialog::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  LayOut();
}

void CPlatformDialog::LayOut() {
  const int dx = std::max(0, width() - templateSize_.width());
  const int dy = std::max(0, height() - templateSize_.height());
  for (const Placed& p : placed_) {
    const Grow& g = p.grow;
    p.widget->setGeometry(p.rect.x() + dx * g.moveX / 100, p.rect.y() + dy * g.moveY / 100,
                          p.rect.width() + dx * g.sizeX / 100, p.rect.height() + dy * g.sizeY / 100);
  }
  OnLayout();
}

CPlatformDialog::~CPlatformDialog() {
  UnregisterAsWindow();
  for (auto& [id, qtId] : timers_) killTimer(qtId);
}

QRect CPlatformDialog::MapDialogRect(const QRect& units) const { return DialogUnitsToPixels(units, base_); }

QWidget* CPlatformDialog::CreateControl(const ControlSpec& spec) {
  const QString text = QString::fromStdWString(spec.text);
  auto connectClick = [this, &spec](QAbstractButton* b) {
    int id = spec.id;
    connect(b, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  };
  switch (spec.kind) {
    case ControlKind::Static: {
      auto* label = new QLabel(text, this);
      Qt::Alignment align = Qt::AlignVCenter;
      align |= (spec.flags & kAlignRight) ? Qt::AlignRight : (spec.flags & kAlignCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
      label->setAlignment(align);
      // A label given room for two lines or more wraps its text, as a dialog's static text does.
      label->setWordWrap(MapDialogRect(spec.rect).height() >= 2 * label->fontMetrics().height());
      return label;
    }
    case ControlKind::StaticIcon: {
      auto* label = new QLabel(this);
      QRect px = MapDialogRect(spec.rect);
      int side = std::min(px.width(), px.height());
      label->setPixmap(QIcon(text).pixmap(QSize(side, side), devicePixelRatioF()));
      label->setAlignment(Qt::AlignCenter);
      return label;
    }
    case ControlKind::GroupBox:
      return new QGroupBox(text, this);
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(text, this);
      if (spec.flags & kReadOnly) edit->setReadOnly(true);
      if (spec.flags & kPassword) edit->setEchoMode(QLineEdit::Password);
      if (spec.flags & kDigitsOnly) SetDigitsOnly(edit);
      return edit;
    }
    case ControlKind::MultiLineEdit: {
      auto* edit = new QPlainTextEdit(this);
      edit->setPlainText(text);
      edit->setReadOnly(spec.flags & kReadOnly);
      edit->setLineWrapMode(QPlainTextEdit::NoWrap);
      edit->setTabChangesFocus(true);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return edit;
    }
    case ControlKind::FolderEdit: {
      auto* edit = new CFolderEdit(this);
      edit->setText(text);
      return edit;
    }
    case ControlKind::PushButton: {
      auto* button = new QPushButton(text, this);
      button->setAutoDefault(false);
      button->setDefault(false);
      if (spec.flags & kDefaultButton) button->setProperty("veltroDefault", true);
      connectClick(button);
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(text, this);
      connectClick(box);
      return box;
    }
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(text, this);
      connectClick(radio);
      return radio;
    }
    case ControlKind::ListBox:
      return new QListWidget(this);
    case ControlKind::ComboBox:
      return new QComboBox(this);
    case ControlKind::ReportList:
      return new CReportList(this);
    case ControlKind::Progress: {
      auto* bar = new QProgressBar(this);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::LinkButton: {
      auto* link = new CLinkButton(text, this);
      connectClick(link);
      return link;
    }
    case ControlKind::Placeholder: {
      auto* w = new QWidget(this);
      w->hide();
      return w;
    }
    case ControlKind::Custom: {
      QWidget* w = spec.make ? spec.make(this) : nullptr;
      if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (auto* push = qobject_cast<QPushButton*>(b)) push->setAutoDefault(false);
        connectClick(b);
      }
      return w;
    }
  }
  return nullptr;
}

QWidget* CPlatformDialog::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

CReportList* CPlatformDialog::ReportListAt(int id) const { return ControlAs<CReportList>(id); }

std::wstring CPlatformDialog::GetItemText(int id) const {
  QWidget* w = Control(id);
  if (!w) return std::wstring();
  if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) return EditText(w);
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdWString();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdWString();
  if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdWString();
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdWString();
  return w->windowTitle().toStdWString();
}

void CPlatformDialog::SetItemText(int id, const std::wstring& text) {
  QWidget* w = Control(id);
  if (!w) return;
  const QString t = QString::fromStdWString(text);
  if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
    SetEditText(w, text);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(t);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(t);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(t);
  } else {
    w->setWindowTitle(t);
  }
}

void CPlatformDialog::EnableItem(int id, bool enable) {
  if (QWidget* w = Control(id)) w->setEnabled(enable);
}

bool CPlatformDialog::IsItemEnabled(int id) const {
  QWidget* w = Control(id);
  return w && w->isEnabled();
}

void CPlatformDialog::CheckItem(int id, bool checked) {
  if (auto* b = ControlAs<QAbstractButton>(id)) b->setChecked(checked);
}

bool CPlatformDialog::IsItemChecked(int id) const {
  auto* b = ControlAs<QAbstractButton>(id);
  return b && b->isChecked();
}

int CPlatformDialog::DoModal() {
  ended_ = false;
  return exec();
}

void CPlatformDialog::EndDialog(int result) {
  ended_ = true;
  done(result);
}

void CPlatformDialog::OnOK() {
  if (style_ != Style::ChildPage) EndDialog(kIdOk);
}

void CPlatformDialog::OnCancel() {
  if (style_ != Style::ChildPage) EndDialog(kIdCancel);
}

void CPlatformDialog::OnCommand(int id) {
  if (id == kIdOk) OnOK();
  if (id == kIdCancel) OnCancel();
}

void CPlatformDialog::OnTimer(int) {}

void CPlatformDialog::OnMessage(const PostedMessage&) {}

bool CPlatformDialog::SetTimer(int id, int milliseconds) {
  KillTimer(id);
  if (milliseconds <= 0) return false;
  int qtId = startTimer(milliseconds, Qt::CoarseTimer);
  if (qtId == 0) return false;
  timers_[id] = qtId;
  timerOwners_[qtId] = id;
  return true;
}

void CPlatformDialog::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  killTimer(it->second);
  timerOwners_.erase(it->second);
  timers_.erase(it);
}

void CPlatformDialog::timerEvent(QTimerEvent* e) {
  auto it = timerOwners_.find(e->timerId());
  if (it == timerOwners_.end()) {
    QDialog::timerEvent(e);
    return;
  }
  OnTimer(it->second);
}

WindowHandle CPlatformDialog::RegisterAsWindow() {
  if (handle_ == kNoWindow) handle_ = RegisterWindow(this);
  return handle_;
}

void CPlatformDialog::UnregisterAsWindow() {
  if (handle_ == kNoWindow) return;
  UnregisterWindow(handle_);
  handle_ = kNoWindow;
}

void CPlatformDialog::Post(const PostedMessage& msg) {
  // Called on the posting thread under the registry lock: only queue.
  QCoreApplication::postEvent(this, new PostedMessageEvent(msg));
}

bool CPlatformDialog::event(QEvent* e) {
  if (e->type() == PostedMessageEvent::EventType()) {
    OnMessage(static_cast<PostedMessageEvent*>(e)->message);
    return true;
  }
  return QDialog::event(e);
}

void CPlatformDialog::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
    switch (e->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        e->accept();
        OnOK();
        return;
      case Qt::Key_Escape:
        e->accept();
        OnCancel();
        return;
      default:
        break;
    }
  }
  QDialog::keyPressEvent(e);
}

void CPlatformDialog::closeEvent(QCloseEvent* e) {
  if (ended_ || style_ == Style::ChildPage) {
    e->accept();  // EndDialog already set the result; the base would reject once more
    return;
  }
  // A close request of the window manager is the dialog's Cancel.
  e->ignore();
  OnCancel();
}

void CPlatformDialog::reject() {
  if (!ended_) OnCancel();
}

void CPlatformDialog::accept() {
  if (!ended_) OnOK();
}

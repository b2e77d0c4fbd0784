#include "app/settings/CSetupPropSheet.h"

#include <QApplication>
#include <QPainter>

#include "app/platform/WideText.h"
#include "app/platform/StringRes.h"
#include "app/platform/VisualStyle.h"
#include "app/settings/PageIcons.h"

CSetupPropSheet::CSetupPropSheet(const std::shared_ptr<CSetupManager>& setup, QWidget* parent,
                                 AppliedHandler applied)
    : CVtPropertySheet(Utf8ToWide(LoadStringById(126)), parent),
      uiPage_(setup),
      runPage_(setup),
      autoSavePage_(setup),
      rulesPage_(setup),
      urlRulesPage_(setup),
      sitemapPage_(setup),
      connectionPage_(setup),
      pushPage_(setup),
      applied_(std::move(applied)) {
  std::vector<QPixmap> icons = RenderPageIcons();
  AddPage(&uiPage_, icons[0]);
  AddPage(&runPage_, icons[1]);
  AddPage(&autoSavePage_, icons[2]);
  AddPage(&rulesPage_, icons[3]);
  AddPage(&urlRulesPage_, icons[4]);
  AddPage(&sitemapPage_, icons[5]);
  AddPage(&connectionPage_, icons[6]);
  AddPage(&pushPage_, icons[7]);
  CreatePages();
  SetActivePage(0);
}

CSetupPropSheet::~CSetupPropSheet() = default;

QString CSetupPropSheet::PageTitle(int page) {
  if (page >= 0 && page <= 2) return StringRes(127 + page);
  if (page == 3) return QString::fromStdWString(CSetupRulesPage::Template().caption);
  if (page == 4) return QString::fromStdWString(CSetupUrlRulesPage::Template().caption);
  if (page == 5) return QString::fromStdWString(CSetupSitemapPage::Template().caption);
  if (page == 6) return QString::fromStdWString(CSetupConnectionPage::Template().caption);
  if (page == 7) return QString::fromStdWString(CSetupPushPage::Template().caption);
  return QString();
}

void CSetupPropSheet::ApplyStep1() {
  uiPage_.Apply();
  // The look is the application's: redraw the sheet in it.
  update();
  header()->update();
}

void CSetupPropSheet::ApplyStep3() { runPage_.Apply(); }

void CSetupPropSheet::ApplyStep4() { autoSavePage_.Apply(); }

void CSetupPropSheet::ApplyStep5() {
  rulesPage_.Apply();
  urlRulesPage_.Apply();
  sitemapPage_.Apply();
  connectionPage_.Apply();
  pushPage_.Apply();
}

void CSetupPropSheet::OnApplied() {
  if (applied_) applied_(this);
}

void CSetupPropSheet::OnDrawPageHeader(QPainter& painter, const QRect& area, int page) {
  CVtPropertySheet::OnDrawPageHeader(painter, area, page);
  QRect frame = headerFrame();
  QRect text(headerTextLeft() + 5 + 10, frame.top(), 0, frame.height());
  text.setRight(frame.right() - 10);
  QFont font = DialogFont(14);
  font.setBold(true);
  painter.setFont(font);
  // A light header (a gradient to white) takes the buttons' text colour: a look whose title
  // colour is meant for a dark window (Visual Studio 2010's white) would vanish on it.
  const VisualLook& look = CurrentLook();
  painter.setPen(look.dark ? look.title : look.buttonText);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, PageTitle(page));
}

// Writes a picture of every page of the settings sheet in two looks:
//   settings_screenshots <folder>   ->  settings-<page>-<look>.png, settings-addtype-<look>.png
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <iterator>
#include <memory>

#include "app/platform/VisualStyle.h"
#include "app/settings/CDlgRunAddExt.h"
#include "app/settings/CSetupPropSheet.h"
#include "settings/CSetupManager.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  const char* pages[] = {"appearance", "run", "autosave", "rules", "urlrules", "sitemap", "connection"};
  const std::pair<int, const char*> looks[] = {{0, "office2007blue"}, {11, "carbon"}};
  for (const auto& [style, lookName] : looks) {
    ApplyVisualStyle(style);
    auto setup = std::make_shared<CSetupManager>();
    setup->ResetToDefaults();
    setup->styleIndex = style;
    setup->autoSavePath = "/home/user/sitemaps/";
    setup->obeyRobots = 1;
    setup->minIntervalMs = 500;
    setup->userAgent = "VeltroBot/1.0 (+https://example.com/bot.html)";
    setup->sitemapIndex = 1;
    setup->sitemapCanonical = 1;
    setup->sitemapPriority = "1.0,0.8,0.6";
    setup->removeParams = "PHPSESSID\njsessionid\nsid\nutm_*";
    setup->skipPatterns = "*calendar*\n*print=1*";
    setup->maxPages = 50000;
    setup->credentials = "editor";
    setup->requestHeaders = "X-Staging-Token: 7f3a";
    setup->proxy = "http://proxy.office.example:3128";
    setup->maxRate = 5;
    CSetupPropSheet sheet(setup);
    sheet.show();
    for (int page = 0; page < sheet.pageCount() && page < static_cast<int>(std::size(pages)); ++page) {
      sheet.SetActivePage(page);
      QApplication::processEvents();
      QString name = QStringLiteral("settings-%1-%2.png").arg(pages[page], lookName);
      if (!sheet.grab().save(out.filePath(name))) return 1;
    }
    CDlgRunAddExt add;
    add.SetItemText(CDlgRunAddExt::kEditIds[0], L"psd");
    add.show();
    QApplication::processEvents();
    if (!add.grab().save(out.filePath(QStringLiteral("settings-addtype-%1.png").arg(lookName)))) return 1;
  }
  return 0;
}

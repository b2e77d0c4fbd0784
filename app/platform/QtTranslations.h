#pragma once
// Qt's own texts (the buttons of message boxes, the file dialog's columns, the context menus
// of edit boxes) in Chinese: Debian's qt6-translations-l10n installs them beside Qt.
// Installed on the application once, before the first window; true when they were found.
class QCoreApplication;

bool InstallQtChineseTranslations(QCoreApplication& app);

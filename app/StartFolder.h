#pragma once
// The window's command line. Started from a shell the program works in the current folder
// (its settings in db/sitemap/setup below it). The desktop menu starts it with --data-dir:
// then it works in ~/.local/share/veltro-sitemap ($XDG_DATA_HOME), made when missing.
#include <QString>
#include <QStringList>

struct WindowStart {
  bool exitNow = false;  // print text and end with exitCode instead of opening the window
  int exitCode = 0;
  QString text;
};

// Reads the command line as given to main (before QApplication, so --help needs no display).
// For an exitNow start: the text on stdout (code 0), or on stderr and in a message box (that
// needs the QApplication); the code.
WindowStart PrepareWindowStart(const QStringList& arguments);
int FinishWindowStart(const WindowStart& start);

QString DefaultDataFolder();
// Makes dir (and its parents) when missing and enters it; empty when done, else the reason.
QString EnterDataFolder(const QString& dir);

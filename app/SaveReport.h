#pragma once
// What a page's Save tells the main window's save line: the whole sentence (rows, file and
// folder), and a shorter one naming only the count and the folder for when the whole one
// does not fit. The whole sentence is always the line's tip.
#include <functional>
#include <string>

struct SaveReport {
  std::wstring line;
  std::wstring shortLine;
};

using SaveReporter = std::function<void(const SaveReport&)>;

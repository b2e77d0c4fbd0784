#pragma once
#include <cstdio>
#include <string>

// The status lines of the window on standard error: on a terminal one line rewritten in
// place, elsewhere (a log file, a pipe) one line per update.
class ProgressLine {
 public:
  ProgressLine(std::FILE* out, bool terminal);
  void Show(const std::string& line);  // UTF-8
  // Ends the line being rewritten, so later output starts on a line of its own.
  void Finish();

 private:
  std::FILE* out_;
  bool terminal_;
  bool open_ = false;
};

#include "cli/ProgressLine.h"

ProgressLine::ProgressLine(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

void ProgressLine::Show(const std::string& line) {
  if (terminal_) {
    std::fprintf(out_, "\r%s\x1b[K", line.c_str());
    open_ = true;
  } else {
    std::fprintf(out_, "%s\n", line.c_str());
  }
  std::fflush(out_);
}

void ProgressLine::Finish() {
  if (open_) std::fputc('\n', out_);
  open_ = false;
  std::fflush(out_);
}

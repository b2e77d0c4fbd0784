#include "fuzz/entries/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* what, std::string_view detail) {
  const std::string shown = Printable(detail.substr(0, 400));
  std::fprintf(stderr, "invariant broken: %s\n  text: \"%s\"%s\n", what, shown.c_str(),
               detail.size() > 400 ? " ..." : "");
  std::fflush(stderr);
  std::abort();
}

std::string Printable(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

#include "support/GbkText.h"

#include "common/IconvConverter.h"

std::string GbkOf(const std::string& utf8) {
  IconvConverter converter("GBK", "UTF-8", IconvConverter::Mode::kStrict);
  std::string out;
  converter.ConvertAll(utf8.data(), utf8.size(), out);
  return out;
}

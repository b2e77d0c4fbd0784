#include "fuzz/entries/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSitemapReader(data, size);
  return 0;
}

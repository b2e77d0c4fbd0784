// The heap one worker needs for the links of each page given, as the crawl reads them: run it
// under valgrind --tool=massif for the peak; it prints the heap in use once each page is done
// (mallinfo2), which must come back to the idle figure. Run by hand:
//
//   build/bin/bench_page_memory FILE.html ...
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "web/LinkExtractor.h"

namespace {

const SiteOrigin kSite{"http", "127.0.0.1", ""};
const std::string kHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html";

// Read at its exact size, as the receive buffer holds a page.
std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string text(static_cast<size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

size_t HeapInUse() { return mallinfo2().uordblks; }

}  // namespace

int main(int argc, char** argv) {
  PageScratch scratch;
  const size_t idle = HeapInUse();
  std::printf("idle: %zu bytes in use\n", idle);
  for (int a = 1; a < argc; ++a) {
    std::string body = ReadFile(argv[a]);
    PageLinks links;
    const int32_t code = ExtractLinks(kHeaders, body, kSite, "http://127.0.0.1/dir/page.html", links, {}, scratch);
    const size_t bytes = body.size();
    std::string().swap(body);
    std::printf("%s: %zu bytes, code %d, %zu internal + %zu external links; then %zu bytes in use\n", argv[a], bytes,
                code, links.internal.size(), links.external.size(), HeapInUse());
  }
  return 0;
}

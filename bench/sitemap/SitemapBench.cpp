// Adds addresses to the sitemap writer and saves them, plain and gzip; prints the time per
// added address, the save times and the resident memory per address.
// Usage: bench_sitemap [count] [folder]   (defaults: 1000000, a folder below /tmp)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "output/CSitemapXmlWriter.h"

namespace {

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::filesystem::path folder = argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "veltro-bench-sitemap";
  std::filesystem::create_directories(folder);
  const std::string prefix = (folder / "bench").string();

  CSitemapXmlWriter writer;
  const long before = ResidentBytes();
  auto start = std::chrono::steady_clock::now();
  double firstHalf = 0;
  for (long i = 0; i < count; ++i) {
    writer.AddUrl("http://www.example.com/section" + std::to_string(i % 97) + "/page-" + std::to_string(i) + ".html");
    if (i + 1 == count / 2) firstHalf = Seconds(start);
  }
  const double adding = Seconds(start);
  const long held = ResidentBytes() - before;

  start = std::chrono::steady_clock::now();
  writer.SaveAll(prefix, false);
  const double plain = Seconds(start);
  start = std::chrono::steady_clock::now();
  writer.SaveAll(prefix, true);
  const double gzip = Seconds(start);

  std::printf("addresses          %ld in %zu documents\n", count, writer.documentCount());
  std::printf("add                %.3f s, %.0f ns per address (first half %.0f ns, second half %.0f ns)\n", adding,
              adding * 1e9 / count, firstHalf * 1e9 / (count / 2), (adding - firstHalf) * 1e9 / (count - count / 2));
  std::printf("save plain         %.3f s\n", plain);
  std::printf("save gzip          %.3f s\n", gzip);
  std::printf("resident growth    %ld bytes, %.1f bytes per address\n", held, static_cast<double>(held) / count);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}

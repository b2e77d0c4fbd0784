// Adds N distinct paths of about 40 bytes through the store bundle, then drains them in batches
// of 8, and reports the time per URL and the resident memory per URL held.
#include <unistd.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "store/CrawlStores.h"

namespace {

// CPU time of this thread: the machine is shared, so wall time also counts other programs' turns.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

std::string PathOf(long i) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "/forum/viewthread.php?tid=%09ld&page=1", i);
  return buf;  // 41 bytes
}

struct Run {
  double addNs, takeNs, addCpuNs, takeCpuNs, bytesPerUrl;
  double takeSeconds, takeCpuSeconds;
};

Run Measure(CrawlStores& stores, long count) {
  stores.Reset();
  std::vector<std::string> paths;
  paths.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) paths.push_back(PathOf(i));
  const long before = ResidentBytes();

  int32_t depth = 0;
  stores.TryAdd("/", "", 1 << 30, depth);
  const double c0 = CpuSeconds();
  auto t0 = std::chrono::steady_clock::now();
  for (const auto& path : paths) stores.TryAdd(path, "/", 1 << 30, depth);
  auto t1 = std::chrono::steady_clock::now();
  const double c1 = CpuSeconds();
  const long after = ResidentBytes();

  std::vector<std::string> urls;
  long taken = 0;
  const double c2 = CpuSeconds();
  auto t2 = std::chrono::steady_clock::now();
  while (stores.TakeBatch(urls, 8).ok() && !urls.empty()) taken += static_cast<long>(urls.size());
  auto t3 = std::chrono::steady_clock::now();
  const double c3 = CpuSeconds();
  if (taken != count + 1) std::fprintf(stderr, "drained %ld of %ld\n", taken, count + 1);

  Run run;
  run.addNs = std::chrono::duration<double, std::nano>(t1 - t0).count() / count;
  run.takeNs = std::chrono::duration<double, std::nano>(t3 - t2).count() / taken;
  run.takeSeconds = std::chrono::duration<double>(t3 - t2).count();
  run.addCpuNs = (c1 - c0) * 1e9 / count;
  run.takeCpuNs = (c3 - c2) * 1e9 / taken;
  run.takeCpuSeconds = c3 - c2;
  run.bytesPerUrl = static_cast<double>(after - before) / count;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  CrawlStores stores;
  Run one = Measure(stores, count);
  Run two = Measure(stores, 2 * count);
  for (const Run* run : {&one, &two})
    std::printf("%ld URLs: add %.0f ns/URL (cpu %.0f), take %.0f ns/URL (cpu %.0f), resident %.0f bytes/URL held\n",
                run == &one ? count : 2 * count, run->addNs, run->addCpuNs, run->takeNs, run->takeCpuNs,
                run->bytesPerUrl);
  std::printf("drain time ratio 2N/N: wall %.2f, cpu %.2f\n", two.takeSeconds / one.takeSeconds,
              two.takeCpuSeconds / one.takeCpuSeconds);
  return 0;
}

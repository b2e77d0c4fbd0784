// Renders N pages of a loopback single-page-app site (each page's links written by a script
// from a JSON fetch) with T tabs from T threads; prints pages per second and the browser's peak
// memory (the summed RSS of its processes, sampled every 50 ms).
//   bench_render [pages=1000] [tabs=8]
#include <dirent.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/StaticSite.h"
#include "render/PageRenderer.h"

namespace {

// The summed resident memory (KiB) of the processes in group (the browser and its helpers).
long GroupRssKiB(int group) {
  long total = 0;
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  while (dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(text.substr(close + 1));
    std::string state;
    int ppid = 0, pgrp = 0;
    rest >> state >> ppid >> pgrp;
    if (pgrp != group || state == "Z") continue;
    std::ifstream status(std::string("/proc/") + entry->d_name + "/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("VmRSS:", 0) == 0) total += std::atol(line.c_str() + 6);
  }
  closedir(proc);
  return total;
}

const char kApp[] = R"(
const here = location.pathname.match(/\d+/) ? Number(location.pathname.match(/\d+/)[0]) : 0;
fetch('/api/links.json?page=' + here).then(r => r.json()).then(list => {
  const nav = document.getElementById('nav');
  for (const n of list) {
    const a = document.createElement('a');
    a.href = '/page/' + ((here * 7 + n) % 100000) + '.html';
    a.textContent = 'page ' + n;
    nav.appendChild(a);
  }
});)";

}  // namespace

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int tabs = argc > 2 ? std::atoi(argv[2]) : 8;
  if (!PageRenderer::Available()) {
    std::fprintf(stderr, "no browser at %s\n", kChromiumPath);
    return 1;
  }
  StaticSite site("", 16);
  if (!site.Start()) return 1;
  site.Set("/app.js", Resource(200, "text/javascript", kApp));
  std::string json = "[";
  for (int i = 0; i < 20; ++i) json += (i ? "," : "") + std::to_string(i);
  site.Set("/api/links.json", Resource(200, "application/json", json + "]"));
  const std::string origin = site.origin();
  const std::string body =
      "<!doctype html><html><head><title>App</title><script src='/app.js' defer></script></head>"
      "<body><div id='nav'></div></body></html>";

  RenderOptions options;
  options.tabs = static_cast<size_t>(tabs);
  options.userAgent = "VeltroBench/1.0";
  options.mayRequest = [origin](const std::string& address) { return address.rfind(origin + "/", 0) == 0; };
  PageRenderer renderer(options);

  // Start-up and one page outside the timing.
  PageMarkup warm;
  if (renderer.Render(origin + "/page/0.html", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", body, warm) !=
      RenderOutcome::kRendered) {
    std::fprintf(stderr, "the first render failed\n");
    return 1;
  }
  const int browser = renderer.BrowserProcessId();
  std::atomic<bool> done{false};
  std::atomic<long> peak{0};
  std::thread sampler([&] {
    while (!done) {
      const long rss = GroupRssKiB(browser);
      if (rss > peak) peak = rss;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });

  std::atomic<int> next{1}, rendered{0}, others{0};
  std::atomic<long> links{0};
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> workers;
  for (int t = 0; t < tabs; ++t)
    workers.emplace_back([&] {
      PageMarkup markup;
      for (int i = next++; i <= pages; i = next++) {
        const std::string address = origin + "/page/" + std::to_string(i) + ".html";
        const RenderOutcome outcome =
            renderer.Render(address, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", body, markup);
        if (outcome == RenderOutcome::kRendered) ++rendered;
        else ++others;
        links += static_cast<long>(markup.anchors.size());
      }
    });
  for (auto& w : workers) w.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  done = true;
  sampler.join();
  std::printf("pages %d  tabs %d  rendered %d  other %d  links %ld\n", pages, tabs, rendered.load(), others.load(),
              links.load());
  std::printf("%.2f s  %.1f pages/s  browser peak RSS %.0f MiB\n", seconds, pages / seconds, peak / 1024.0);
  return rendered == pages ? 0 : 2;
}

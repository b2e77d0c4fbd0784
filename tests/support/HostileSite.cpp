#include "support/HostileSite.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

std::string Linking(const std::vector<std::string>& links) {
  std::string html = "<html><head><title>t</title></head><body>";
  for (const std::string& link : links) html += "<p><a href=\"" + link + "\">x</a></p>\n";
  return html + "</body></html>";
}

void Ordinary(RawHttpSite& site, HostileSitePlan& plan, const std::string& path, const std::vector<std::string>& links) {
  site.Route(path, FixedAnswer(200, "text/html", Linking(links)));
  plan.successes.insert(path);
}

// A status line and header lines, as fast as the client takes them, never a blank line.
bool EndlessHeaders(const std::string&, RawHttpSite::Connection& out) {
  if (!out.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n")) return false;
  std::string block;
  for (int i = 0; block.size() < 16384; ++i) block += "X-Filler-" + std::to_string(i) + ": " + std::string(60, 'h') + "\r\n";
  while (out.Send(block)) {
  }
  return false;
}

// A 200 with a link at the start and then chunks trickling in until the client gives up.
bool EndlessChunks(const std::string&, RawHttpSite::Connection& out) {
  if (!out.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n")) return false;
  auto chunk = [](const std::string& data) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return size + data + "\r\n";
  };
  if (!out.Send(chunk("<html><head><title>t</title></head><body><a href=\"/n/chunk-found.html\">x</a>\n")))
    return false;
  const std::string more = chunk(std::string(1000, 'c') + "\n");
  while (out.Send(more)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return false;
}

std::string BinaryBytes(size_t length) {
  std::mt19937 random(20240601);
  std::string bytes(length, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace

RawHttpSite::Handler HugeHtmlPage(size_t length, const std::string& firstLink, size_t textBytes) {
  const std::string head = "<html><head><title>big</title></head><body><p><a href=\"" + firstLink + "\">first</a></p>\n";
  std::string text;
  while (text.size() < textBytes) text += "Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
  const std::string unit = "<p>" + text + "<a href=\"/\">home</a> sed do eiusmod.</p>\n";
  return GeneratedPage(length, [head, unit](size_t offset, std::string& block) {
    constexpr size_t kBlock = 64 * 1024;
    block.reserve(kBlock);
    // Whole runs of the head and the unit: the server must not be what makes a crawl of
    // many such pages slow (a sanitized build pays for every byte copied one at a time).
    for (size_t p = offset, end = offset + kBlock; p < end;) {
      const bool inHead = p < head.size();
      const std::string& from = inHead ? head : unit;
      const size_t at = inHead ? p : (p - head.size()) % unit.size();
      const size_t n = std::min(from.size() - at, end - p);
      block.append(from, at, n);
      p += n;
    }
  });
}

HostileSitePlan FillHostileSite(RawHttpSite& site, const HostileCases& cases) {
  HostileSitePlan plan;
  std::vector<std::string> fromRoot;
  for (int i = 1; i <= 5; ++i) {
    const std::string path = "/n/" + std::to_string(i) + ".html";
    fromRoot.push_back(path);
    Ordinary(site, plan, path, {"/", "/n/" + std::to_string(i % 5 + 1) + ".html"});
  }
  // Linked from the root; its outcome may be a success or a failure, as long as it has a code.
  auto anyOutcome = [&](const std::string& path, RawHttpSite::Handler handler) {
    site.Route(path, std::move(handler));
    plan.anyOutcome.insert(path);
    fromRoot.push_back(path);
  };
  if (cases.hugePages) {
    anyOutcome("/big/8mib.html", HugeHtmlPage(kEightMiB, "/n/big-found.html"));
    anyOutcome("/big/80mib.html", HugeHtmlPage(10 * kEightMiB, "/n/huge-found.html"));
    // Both links lie in the part of the page that fits the client's limit.
    Ordinary(site, plan, "/n/big-found.html", {"/"});
    Ordinary(site, plan, "/n/huge-found.html", {"/"});
  }
  if (cases.endless) {
    anyOutcome("/endless/headers", EndlessHeaders);
    // Its link arrives at once, but a page the time limit cut off is a failure, not a page.
    site.Route("/endless/chunked", EndlessChunks);
    plan.timedOut.insert("/endless/chunked");
    fromRoot.push_back("/endless/chunked");
    site.Route("/n/chunk-found.html", FixedAnswer(200, "text/html", Linking({"/"})));
    plan.unreached.insert("/n/chunk-found.html");
  }
  if (cases.oddText) {
    anyOutcome("/odd/binary.html", FixedAnswer(200, "text/html", BinaryBytes(256 * 1024)));
    site.Route("/odd/charset.html", FixedAnswer(200, "text/html; charset=x-no-such-set", Linking({"/n/charset-found.html"})));
    plan.successes.insert("/odd/charset.html");
    fromRoot.push_back("/odd/charset.html");
    Ordinary(site, plan, "/n/charset-found.html", {"/"});
  }
  if (cases.manyLinks) {
    // /deep/ is at level 1, so the 10,000 links of /deep/many.html lie at level 3.
    std::vector<std::string> many;
    for (int i = 0; i < 10000; ++i) many.push_back("/deep/many/" + std::to_string(i) + ".html");
    plan.tooDeepLinks = 10000;
    Ordinary(site, plan, "/deep/", {"/deep/many.html"});
    Ordinary(site, plan, "/deep/many.html", many);
    fromRoot.push_back("/deep/");

    std::vector<std::string> longLinks;
    for (char c : {'a', 'b', 'c'}) longLinks.push_back("/long/" + std::string(100 * 1024, c) + ".html");
    Ordinary(site, plan, "/long/links.html", longLinks);
    fromRoot.push_back("/long/links.html");
    site.RoutePrefix("/long/", FixedAnswer(200, "text/html", Linking({"/"})));
    for (const std::string& link : longLinks) {
      plan.successes.insert(link);
      plan.longLinks.insert(link);
    }
  }
  Ordinary(site, plan, "/", fromRoot);
  return plan;
}

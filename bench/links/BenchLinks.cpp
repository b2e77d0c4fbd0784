// Link extraction speed on a realistic 30 KB page with 100 anchors, one core; run by hand.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "web/LinkExtractor.h"
#include "web/LinkRules.h"
#include "web/PageMarkup.h"
#include "web/PageText.h"
#include "web/LinkMarkup.h"
#include "web/ParserInput.h"
#include "web/TidyDocument.h"

namespace {

using Clock = std::chrono::steady_clock;
const SiteOrigin kSite{"http", "www.example.com", ""};
const std::string kAddress = "http://www.example.com/catalogue/index.html";

std::string MakePage() {
  std::string page = "\r\n\r\n<!DOCTYPE html><html><head><title>Catalogue</title>"
                     "<meta charset=\"utf-8\"><link rel=\"stylesheet\" href=\"/s.css\">"
                     "<script>var x = 1 < 2; function f(a){return a*2;}</script></head><body>"
                     "<div id=\"wrap\"><header class=\"top\"><nav><ul>";
  for (int i = 0; i < 100; ++i) {
    std::string href;
    if (i % 4 < 2) href = "http://www.example.com/section/item" + std::to_string(i) + ".html?ref=nav&amp;p=" + std::to_string(i);
    else if (i % 4 == 2) href = "products/page" + std::to_string(i) + ".html";
    else href = "https://other" + std::to_string(i % 7) + ".example.org/path/" + std::to_string(i);
    page += "<li class=\"entry\"><div class=\"card\"><span class=\"tag\">#" + std::to_string(i) +
            "</span><a href=\"" + href + "\" title=\"Item " + std::to_string(i) + "\">Item number " +
            std::to_string(i) + "</a><p class=\"desc\">Some descriptive text about this item, "
            "with <b>bold</b> and <i>italic</i> words to make the page look real.</p></div></li>\n";
    if (i == 49) page += "</ul></nav></header><main><ul>";
  }
  page += "</ul></main><footer><p>Footer text &copy; 2026</p></footer></div></body></html>";
  while (page.size() < 30 * 1024) page.insert(page.size() - 14, "<p>Padding paragraph with plain words for size.</p>\n");
  return page;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  const std::string headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8";
  const std::string body = MakePage();
  const int kRounds = 500;

  PageLinks first;
  ExtractLinks(headers, body, kSite, kAddress, first);
  std::printf("page %zu bytes, %zu internal, %zu external links\n", body.size(), first.internal.size(),
              first.external.size());

  const auto start = Clock::now();
  for (int i = 0; i < kRounds; ++i) {
    PageLinks links;
    ExtractLinks(headers, body, kSite, kAddress, links);
  }
  const double whole = Seconds(Clock::now() - start);
  std::printf("ExtractLinks: %.0f pages/s (%.3f ms a page)\n", kRounds / whole, whole * 1000 / kRounds);

  Clock::duration prep{}, parse{}, walk{}, rules{};
  for (int i = 0; i < kRounds; ++i) {
    auto t0 = Clock::now();
    PageText page(headers, body);
    const std::string markupOnly = WithoutCharacterData(page.utf8());
    std::string escaped;
    const std::string& text = EscapeBareReferenceNames(markupOnly, escaped) ? escaped : markupOnly;
    volatile size_t depth = EstimateNestingDepth(text);
    (void)depth;
    auto t1 = Clock::now();
    TidyDocument doc;
    doc.Parse(text.c_str());
    auto t2 = Clock::now();
    PageMarkup markup;
    ReadPageMarkup(doc.Head(), doc.Body(), markup);
    auto t3 = Clock::now();
    PageLinks links;
    const ReferenceResolver base(kAddress);
    for (const auto& anchor : markup.anchors) ClassifyLink(anchor.href, base, kSite, links);
    auto t4 = Clock::now();
    prep += t1 - t0;
    parse += t2 - t1;
    walk += t3 - t2;
    rules += t4 - t3;
  }
  auto ms = [&](Clock::duration d) { return Seconds(d) * 1000 / kRounds; };
  std::printf("per page: prepare %.3f ms, Tidy parse %.3f ms, walk %.3f ms, link rules %.3f ms\n",
              ms(prep), ms(parse), ms(walk), ms(rules));
  std::printf("link rules / parse = %.2f (target below 0.20)\n", Seconds(rules) / Seconds(parse));
  return 0;
}

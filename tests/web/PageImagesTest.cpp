#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "web/LinkExtractor.h"
#include "web/LinkMarkup.h"
#include "web/PageImages.h"

namespace {

const SiteOrigin kSite{"http", "www.example.com", ""};
const std::string kPageAddress = "http://www.example.com/dir/page.html";

std::string First(const std::string& srcset) {
  std::string address;
  return FirstSrcsetCandidate(srcset, address) ? address : "<none>";
}

}  // namespace

TEST(PageImages, TheParserReadsImageMarkupOnlyWhenImagesAreAskedFor) {
  const std::string page = "<html><body><p>text <img alt=\"big\" class=c src=\"a.png\" width=3>"
                           "<picture><source srcset=\"p.webp 2x\" type=image/webp></picture></p></body></html>";
  std::string plain, withImages;
  LinkMarkupOf(page, plain);
  LinkMarkupOf(page, withImages, true);
  EXPECT_EQ(plain.find("img"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("source"), std::string::npos) << plain;
  EXPECT_NE(withImages.find("<img src=\"a.png\">"), std::string::npos) << withImages;
  EXPECT_NE(withImages.find("<source srcset=\"p.webp 2x\">"), std::string::npos) << withImages;
}

TEST(PageImages, TheFirstReadableSrcsetCandidateIsTakenAndJunkGivesNone) {
  EXPECT_EQ(First("a.png 1x, b.png 2x"), "a.png");
  EXPECT_EQ(First("  a.png"), "a.png");
  EXPECT_EQ(First("a.png, b.png 2x"), "a.png");        // a comma ends an address with no descriptor
  EXPECT_EQ(First("a.png,b.png 2x"), "a.png,b.png");   // but one inside it is part of it, as browsers read it
  EXPECT_EQ(First("a.png 480w 300h, b.png"), "a.png");
  EXPECT_EQ(First("a.png 1.5x"), "a.png");
  EXPECT_EQ(First("a.png junk, b.png 2x"), "b.png");  // a candidate a browser drops
  EXPECT_EQ(First("a.png 2y"), "<none>");
  EXPECT_EQ(First(",, , "), "<none>");
  EXPECT_EQ(First(""), "<none>");
}

// What a parsed page gives: resolved against its base, under nofollow too, each image once.
TEST(PageImages, ImagesAreResolvedAgainstTheBaseKeptUnderNofollowAndListedOnce) {
  const std::string body =
      "<html><head><base href=\"/assets/\"><meta name=robots content=nofollow></head><body>"
      "<img src=\"x.png\"><img src=\"/x.png\"><img src=\"x.png\"><img srcset=\"y.png 2x\">"
      "<img src=\"data:image/gif;base64,R0lGOD\"><video><source src=\"v.mp4\"></video>"
      "<a href=\"/next.html\">n</a></body></html>";
  LinkOptions options;
  options.obeyRobots = true;
  options.readImages = true;
  PageLinks links;
  ASSERT_EQ(ExtractLinks("HTTP/1.1 200 OK", body, kSite, kPageAddress, links, options), 0);
  EXPECT_TRUE(links.internal.empty());
  EXPECT_EQ(links.images, (std::vector<std::string>{"http://www.example.com/assets/x.png", "http://www.example.com/x.png",
                                                    "http://www.example.com/assets/y.png"}));
  PageLinks without;
  options.readImages = false;
  ASSERT_EQ(ExtractLinks("HTTP/1.1 200 OK", body, kSite, kPageAddress, without, options), 0);
  EXPECT_TRUE(without.images.empty());
}

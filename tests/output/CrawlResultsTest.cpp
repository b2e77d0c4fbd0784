#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/ResultCodes.h"
#include "common/TextCodec.h"
#include "output/CrawlResults.h"
#include "output/FailureTsv.h"
#include "output/UrlListFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

TEST(CrawlResultsTest, UrlListFileHasTheBytesOfTheUrlListPagesSave) {
  const std::vector<std::string> addresses = {"http://h.example.com/a", "http://h.example.com/中文",
                                              std::string("http://h.example.com/x\x81y", 24), "http://h.example.com/end "};
  for (size_t count : {0u, 1u, 4u}) {
    CrawlResults results;
    CrawlPortion portion;
    std::string box;
    for (size_t i = 0; i < count; ++i) {
      portion.okAddresses.push_back(addresses[i]);
      box += UrlListLine(addresses[i]);
    }
    results.AddPortion(portion, SiteOrigin{"http", "h.example.com", ""});
    TempDir dir;
    ASSERT_EQ(results.SaveUrlList(dir.str()), rc::kOk);
    ASSERT_EQ(SaveUrlListFile((dir.path() / "expected.txt").string(), box), rc::kOk);
    EXPECT_EQ(ReadFileBytes(dir.path() / "h.example.com_urls.txt"), ReadFileBytes(dir.path() / "expected.txt"))
        << count << " addresses";
  }
}

// The URL list and the failure list are replaced whole: a write that fails half way (the
// disk takes no file past 4 KiB) keeps the earlier files byte for byte and says which file
// failed and why.
TEST(CrawlResultsTest, UrlAndFailureListsThatFailHalfWayKeepTheEarlierFilesAndSayWhy) {
  CrawlResults results;
  CrawlPortion portion;
  for (int i = 0; i < 400; ++i) {
    portion.okAddresses.push_back("http://h.example.com/page/" + std::to_string(i) + ".html");
    portion.failures.push_back({"/gone/" + std::to_string(i) + ".html", PageOutcome::Status(404), {}, {}});
  }
  results.AddPortion(portion, SiteOrigin{"http", "h.example.com", ""});
  TempDir dir;
  const std::filesystem::path urls = dir.path() / CrawlResults::UrlListName("h.example.com");
  const std::filesystem::path failed = dir.path() / CrawlResults::FailureListName("h.example.com");
  for (const auto& file : {urls, failed}) {
    std::ofstream old(file, std::ios::binary);
    old << "earlier run\n";
  }
  LimitedRun run = RunWithFileSizeLimit(4096, [&] {
    FileWriteResult u, f;
    int32_t uc = results.SaveUrlList(dir.str(), &u);
    int32_t fc = results.SaveFailures(dir.str(), &f);
    return std::to_string(uc) + " " + u.path + " " + FileWriteReasonText(u) + "\n" + std::to_string(fc) + " " + f.path +
           " " + FileWriteReasonText(f) + "\n";
  });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.report, std::to_string(rc::kFileOpen) + " " + urls.string() + " File too large\n" +
                            std::to_string(rc::kFileOpen) + " " + failed.string() + " File too large\n");
  EXPECT_EQ(ReadFileBytes(urls), "earlier run\n");
  EXPECT_EQ(ReadFileBytes(failed), "earlier run\n");
  EXPECT_FALSE(std::filesystem::exists(urls.string() + ".part"));
  EXPECT_FALSE(std::filesystem::exists(failed.string() + ".part"));

  // Without the limit both are written whole.
  FileWriteResult ok;
  ASSERT_EQ(results.SaveFailures(dir.str(), &ok), rc::kOk);
  EXPECT_TRUE(ok.ok());
  std::string tsv = ReadFileBytes(failed);
  EXPECT_EQ(tsv.substr(0, tsv.find('\n') + 1), FailureTsvLine("/gone/0.html", "404"));
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 400);
}

TEST(CrawlResultsTest, FileNamesCarryAPortThatIsNotTheDefaultAndAnIpv6HostStaysOneWord) {
  EXPECT_EQ(SiteFileName({"http", "example.com", ""}), "example.com");
  EXPECT_EQ(SiteFileName({"https", "example.com", ":8443"}), "example.com_8443");
  EXPECT_EQ(SiteFileName({"http", "localhost", ":8098"}), "localhost_8098");
  EXPECT_EQ(SiteFileName({"http", "[::1]", ":8098"}), "--1_8098");
  EXPECT_EQ(SiteFileName({"http", "[2001:db8::2]", ""}), "2001-db8--2");
}

// Baidu's dead-link form: 404 and 410 only, or every failure when asked; full addresses in
// byte order, each once; and the sitemap's pages for a push, each once, without the ones the
// sitemap leaves out.
TEST(CrawlResultsTest, DeadLinksAndPushedAddressesComeFromTheResultsInByteOrder) {
  CrawlResults results;
  const SiteOrigin origin{"https", "h", ""};
  std::vector<PageResult> pages;
  for (const auto& [path, code] : std::vector<std::pair<std::string, std::string>>{
           {"/z.html", "404"}, {"/gone", "410"}, {"/err", "500"}, {"/moved", "301"}, {"/a b", "404"}})
    pages.push_back(PageResult{path, PageOutcome::OfStatusText(code)});
  pages.push_back(PageResult{"/late", PageOutcome::OfFetchResult(28)});
  pages.push_back(PageResult{"/b.html", PageOutcome::OfStatusText("200")});
  pages.push_back(PageResult{"/", PageOutcome::OfStatusText("200")});
  PageResult canonicalElsewhere{"/copy.html", PageOutcome::OfStatusText("200")};
  canonicalElsewhere.inSitemap = false;
  pages.push_back(canonicalElsewhere);
  results.AddPortion(MakePortion(origin, pages), origin);
  results.AddPortion(MakePortion(origin, {PageResult{"/z.html", PageOutcome::OfStatusText("404")}}), origin);

  TempDir dir;
  ASSERT_EQ(results.SaveDeadLinks(dir.str(), false), 0);
  EXPECT_EQ(ReadFileBytes(dir.path() / "h_deadlinks.txt"), "https://h/a%20b\nhttps://h/gone\nhttps://h/z.html\n");
  ASSERT_EQ(results.SaveDeadLinks(dir.str(), true), 0);
  EXPECT_EQ(ReadFileBytes(dir.path() / "h_deadlinks.txt"),
            "https://h/a%20b\nhttps://h/err\nhttps://h/gone\nhttps://h/late\nhttps://h/moved\nhttps://h/z.html\n");
  EXPECT_EQ(results.SitemapAddresses(), (std::vector<std::string>{"https://h/", "https://h/b.html"}));
  EXPECT_EQ(results.PushAddresses(), results.SitemapAddresses());
  // Under lastmod from content only what is new or changed is told, never a gone page.
  ContentChanges changes;
  changes.judged = true;
  changes.rows = {{ContentChange::Changed, "/b.html", "2026-12-01"}, {ContentChange::Gone, "/old.html", "2026-01-01"}};
  results.SetChanges(changes);
  EXPECT_EQ(results.PushAddresses(), (std::vector<std::string>{"https://h/b.html"}));
}

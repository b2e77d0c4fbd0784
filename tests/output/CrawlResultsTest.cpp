#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "common/Status.h"
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
    ASSERT_TRUE(results.SaveUrlList(dir.str()).ok());
    ASSERT_TRUE(SaveUrlListFile((dir.path() / "expected.txt").string(), box).ok());
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
    const Status uc = results.SaveUrlList(dir.str(), &u);
    const Status fc = results.SaveFailures(dir.str(), &f);
    return std::string(StatusCodeName(uc.code())) + " " + u.path + " " + FileWriteReasonText(u) + "\n" +
           StatusCodeName(fc.code()) + " " + f.path + " " + FileWriteReasonText(f) + "\n";
  });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.report, "FileOpen " + urls.string() + " File too large\n" + "FileOpen " + failed.string() +
                            " File too large\n");
  EXPECT_EQ(ReadFileBytes(urls), "earlier run\n");
  EXPECT_EQ(ReadFileBytes(failed), "earlier run\n");
  EXPECT_FALSE(std::filesystem::exists(urls.string() + ".part"));
  EXPECT_FALSE(std::filesystem::exists(failed.string() + ".part"));

  // Without the limit both are written whole.
  FileWriteResult ok;
  ASSERT_TRUE(results.SaveFailures(dir.str(), &ok).ok());
  EXPECT_TRUE(ok.ok());
  std::string tsv = ReadFileBytes(failed);
  EXPECT_EQ(tsv.substr(0, tsv.find('\n') + 1), FailureTsvLine("/gone/0.html", "404"));
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 400);
}

// The documents are saved, then the index fails: the failure names the index file and the
// system's cause, as a document's failure would, and the saved documents stay.
TEST(CrawlResultsTest, ASitemapIndexThatCannotBeWrittenNamesItsFileAndItsCause) {
  CrawlResults results("2026-03-09");
  CrawlPortion portion;
  for (int i = 0; i < 20000; ++i) {
    const std::string address =
        "http://h.example.com/catalogue/section-" + std::to_string(i % 97) + "/item-" + std::to_string(i) + ".html";
    portion.okAddresses.push_back(address);
    portion.sitemapAddresses.insert(address);
    portion.depths[address] = 1;
  }
  results.AddPortion(portion, SiteOrigin{"http", "h.example.com", ""});
  TempDir dir;
  const std::filesystem::path index = dir.path() / "h.example.com_sitemap_index.xml";
  std::filesystem::create_directory(index.string() + ".part");  // the partial file cannot be made
  FileWriteResult failure;
  std::vector<std::string> saved;
  const Status outcome = results.SaveSitemap(dir.str(), true, &failure, true, &saved);
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(outcome.code(), StatusCode::kFileOpen);
  EXPECT_EQ(failure.path, index.string());
  EXPECT_EQ(failure.step, WriteStep::Open);
  EXPECT_EQ(failure.systemError, EISDIR);
  EXPECT_EQ(outcome.message(), index.string() + ": " + FileWriteReasonText(failure));
  for (const std::string& name : saved) EXPECT_TRUE(std::filesystem::is_regular_file(name)) << name;
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
  ASSERT_TRUE(results.SaveDeadLinks(dir.str(), false).ok());
  EXPECT_EQ(ReadFileBytes(dir.path() / "h_deadlinks.txt"), "https://h/a%20b\nhttps://h/gone\nhttps://h/z.html\n");
  ASSERT_TRUE(results.SaveDeadLinks(dir.str(), true).ok());
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

#include <gtest/gtest.h>

#include "cli/CliResults.h"
#include "common/TextCodec.h"
#include "output/UrlListFile.h"
#include "support/TempDir.h"

TEST(CliResultsTest, UrlListFileHasTheBytesOfTheUrlListPagesSave) {
  const std::vector<std::string> addresses = {"http://h.example.com/a", WideToAnsi(L"http://h.example.com/中文"),
                                              std::string("http://h.example.com/x\x81y", 24), "http://h.example.com/end "};
  for (size_t count : {0u, 1u, 4u}) {
    CliResults results;
    CrawlPortion portion;
    std::wstring box;
    for (size_t i = 0; i < count; ++i) {
      portion.okAddresses.push_back(addresses[i]);
      box += UrlListLine(addresses[i]);
    }
    results.AddPortion(portion);
    TempDir dir;
    ASSERT_EQ(results.SaveUrlList(dir.str(), "h.example.com"), 0);
    ASSERT_EQ(SaveUrlListFile((dir.path() / "expected.txt").string(), box), 0);
    EXPECT_EQ(ReadFileBytes(dir.path() / "h.example.com_urls.txt"), ReadFileBytes(dir.path() / "expected.txt"))
        << count << " addresses";
  }
}

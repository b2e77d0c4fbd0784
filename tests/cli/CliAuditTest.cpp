// The command's --audit: the report file beside the others and its counts on stderr.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "support/AuditSite.h"
#include "support/SiteFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

TEST(CliAuditTest, TheReportIsWrittenAndItsCountsSaidAndWithoutTheOptionNeither) {
  AuditSite site;
  ASSERT_TRUE(site.Start());
  TempDir work;
  ChildResult run = RunCommand({"--plain", "--robots", "--audit", site.origin()}, work.path());
  ASSERT_TRUE(run.exited) << run.err;
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const fs::path report = work.path() / (SiteFiles(site.origin()) + "_audit.tsv");
  const std::string tsv = ReadFileBytes(report);
  EXPECT_EQ(tsv.rfind("kind\taddress\tcode\tdetail\n", 0), 0u);
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 18);
  EXPECT_NE(tsv.find("orphan\t" + site.At("/orphan.html") + "\t200\t" + site.At("/sm1.xml.gz") + "\n"),
            std::string::npos);
  EXPECT_NE(tsv.find("format\t" + site.At("/sm2.xml") + "\t\tnamespace 'https://www.sitemaps.org/schemas/sitemap/0.9', "
                                                     "not http://www.sitemaps.org/schemas/sitemap/0.9 (line 2)\n"),
            std::string::npos)
      << tsv;
  EXPECT_NE(run.err.find("sitemap audit, 17 rows: orphan 2 missing 1 redirect 1 error 1 noindex 1 canonicalised 1 "
                         "blocked 1 offsite 2 toolong 1 format 6"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(site.other.targets().empty());

  TempDir plain;
  ChildResult off = RunCommand({"-q", "--plain", site.origin()}, plain.path());
  ASSERT_EQ(off.exitStatus, 0) << off.err;
  EXPECT_FALSE(fs::exists(plain.path() / (SiteFiles(site.origin()) + "_audit.tsv")));
}

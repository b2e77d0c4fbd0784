#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "common/Status.h"
#include "output/CReplacingFile.h"
#include "output/CSitemapXmlWriter.h"
#include "output/SitemapFiles.h"
#include "output/UrlListFile.h"
#include "texts/FileWriteText.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kLimit = 16 * 1024;  // every new file below is several times larger

void WriteFile(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Bytes no compression shrinks much, so a gzip writer writes about as much as a plain one.
std::string Incompressible(size_t n) {
  std::string bytes(n, '\0');
  uint32_t state = 12345;
  for (char& c : bytes) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>('a' + (state >> 16) % 26);
  }
  return bytes;
}

std::string Encode(const Status& status, const FileWriteResult& r) {
  return std::string(StatusCodeName(status.code())) + "|" + std::to_string(static_cast<int>(r.step)) + "|" +
         std::to_string(r.systemError) + "|" + status.message() + "|" + r.path;
}

struct Decoded {
  std::string code;  // the Status's name
  int step = -1;
  int systemError = -1;
  std::string message;
  std::string path;
};

Decoded Decode(const std::string& text) {
  Decoded d;
  std::istringstream in(text);
  std::string field;
  std::getline(in, d.code, '|');
  if (std::getline(in, field, '|')) d.step = std::stoi(field);
  if (std::getline(in, field, '|')) d.systemError = std::stoi(field);
  std::getline(in, d.message, '|');
  std::getline(in, d.path);
  return d;
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  return names;
}

}  // namespace

TEST(ReplacingFileTest, CommitReplacesTheTargetWholeAndKeepsItsPermissionBits) {
  TempDir dir;
  const fs::path target = dir.path() / "list.txt";
  WriteFile(target, "old");
  chmod(target.c_str(), 0640);
  {
    CReplacingFile file(target.string());
    ASSERT_TRUE(file.Write("new "));
    ASSERT_TRUE(file.Write("content"));
    EXPECT_EQ(ReadFileBytes(target), "old");  // nothing changes before the commit
    EXPECT_TRUE(fs::exists(target.string() + CReplacingFile::kPartSuffix));
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(file.result().ok());
  }
  EXPECT_EQ(ReadFileBytes(target), "new content");
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"list.txt"});
}

TEST(ReplacingFileTest, ALinkIsWrittenThroughAndAWriteProtectedFileIsRefused) {
  TempDir dir;
  const fs::path real = dir.path() / "real.txt";
  const fs::path link = dir.path() / "link.txt";
  WriteFile(real, "old");
  fs::create_symlink(real, link);
  CReplacingFile through(link.string());
  ASSERT_TRUE(through.Write("new"));
  ASSERT_TRUE(through.Commit());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "new");
  EXPECT_EQ(through.result().path, link.string());  // named as the user named it

  if (geteuid() != 0) {  // permissions do not stop root
    chmod(real.c_str(), 0444);
    CReplacingFile refused(real.string());
    EXPECT_FALSE(refused.isOpen());
    EXPECT_FALSE(refused.Commit());
    EXPECT_EQ(refused.result().systemError, EACCES);
    EXPECT_EQ(ReadFileBytes(real), "new");
  }
}

TEST(ReplacingFileTest, FailuresNameTheAbsoluteFileTheStepAndTheCause) {
  TempDir dir;
  ScopedWorkingDir cwd(dir.path());
  const fs::path here = fs::current_path();

  CReplacingFile missing("missing/x.txt");
  EXPECT_FALSE(missing.isOpen());
  EXPECT_FALSE(missing.Commit());
  EXPECT_EQ(missing.status().code(), StatusCode::kFileOpen);
  EXPECT_EQ(missing.result().step, WriteStep::Open);
  EXPECT_EQ(missing.result().systemError, ENOENT);
  EXPECT_EQ(missing.result().path, (here / "missing" / "x.txt").string());
  std::string message = FileWriteMessage(missing.result());
  EXPECT_NE(message.find(FileWritePathText(missing.result())), std::string::npos);
  EXPECT_NE(message.find("文件夹不存在"), std::string::npos);
  EXPECT_NE(message.find("No such file or directory"), std::string::npos);
  EXPECT_NE(message.find("原有的文件没有改动"), std::string::npos);
  EXPECT_FALSE(fs::exists("missing"));

  // A folder stands where the file should go: everything is written, the rename fails.
  fs::create_directory("taken.xml");
  CReplacingFile taken("taken.xml");
  ASSERT_TRUE(taken.Write("content"));
  EXPECT_FALSE(taken.Commit());
  EXPECT_EQ(taken.result().step, WriteStep::Rename);
  EXPECT_EQ(taken.result().systemError, EISDIR);
  EXPECT_NE(FileWriteReason(taken.result()).find("同名的文件夹已经存在"), std::string::npos);
  EXPECT_TRUE(fs::is_directory("taken.xml"));
  EXPECT_FALSE(fs::exists("taken.xml.part"));
}

// What each writer of the program does when the disk refuses more bytes half way through
// the new file: the old file stays byte for byte, no partial file is left, and the result
// names the file with the system's cause.
TEST(ReplacingFileTest, EveryWriterKeepsTheOldFileWhenAWriteFailsHalfWay) {
  TempDir dir;
  const std::string big = Incompressible(8 * kLimit);
  std::string bigWithLines;
  for (size_t i = 0; i < big.size(); i += 60) bigWithLines += big.substr(i, 60) + "\n";
  struct Writer {
    const char* name;
    std::string file;
    std::function<std::string(const std::string& path)> write;
  };
  const std::string prefix = (dir.path() / "site").string();
  const std::vector<Writer> writers = {
      {"replacing file", "plain.bin",
       [&](const std::string& path) {
         CReplacingFile file(path);
         file.Write(big);
         file.Commit();
         return Encode(file.status(), file.result());
       }},
      {"plain sitemap", "plain.xml",
       [&](const std::string& path) {
         FileWriteResult r;
         return Encode(WritePlainSitemapFile(path, bigWithLines, &r), r);
       }},
      {"gzip sitemap", "compressed.xml.gz",
       [&](const std::string& path) {
         FileWriteResult r;
         return Encode(WriteGzipSitemapFile(path, big, &r), r);
       }},
      {"held gzip stream", "held.xml.gz",
       [&](const std::string& path) {
         FileWriteResult r;
         return Encode(WriteSitemapBytes(path, big, &r), r);
       }},
      {"URL list", "urls.txt",
       [&](const std::string& path) {
         FileWriteResult r;
         return Encode(SaveUrlListFile(path, std::string(big.begin(), big.end()), &r), r);
       }},
      {"sitemap writer, plain", "site_sitemap0.xml",
       [&](const std::string&) {
         CSitemapXmlWriter writer("2026-03-09");
         for (size_t i = 0; i < 400; ++i) writer.AddUrl("http://h/" + big.substr(i * 64, 64));
         FileWriteResult r;
         return Encode(writer.SaveAll(prefix, false, &r), r);
       }},
      {"sitemap writer, gzip", "site_sitemap0.xml.gz",
       [&](const std::string&) {
         CSitemapXmlWriter writer("2026-03-09");
         for (size_t i = 0; i < 1000; ++i) writer.AddUrl("http://h/" + big.substr(i * 64, 64));
         FileWriteResult r;
         return Encode(writer.SaveAll(prefix, true, &r), r);
       }},
  };
  const std::string old = "the good file of an earlier save\n";
  for (const Writer& w : writers) {
    const fs::path target = dir.path() / w.file;
    WriteFile(target, old);
    LimitedRun run = RunWithFileSizeLimit(kLimit, [&] { return w.write(target.string()); });
    ASSERT_TRUE(run.finished) << w.name;
    Decoded result = Decode(run.report);
    EXPECT_EQ(result.code, "FileOpen") << w.name;
    EXPECT_EQ(result.message, target.string() + ": File too large") << w.name;  // what a log line says
    EXPECT_EQ(result.step, static_cast<int>(WriteStep::Write)) << w.name;
    EXPECT_EQ(result.systemError, EFBIG) << w.name;
    EXPECT_EQ(result.path, target.string()) << w.name;
    EXPECT_EQ(ReadFileBytes(target), old) << w.name;
    EXPECT_FALSE(fs::exists(target.string() + CReplacingFile::kPartSuffix)) << w.name;
  }
  EXPECT_EQ(Names(dir.path()).size(), writers.size());

  FileWriteResult tooLarge;
  tooLarge.code = StatusCode::kFileOpen;
  tooLarge.step = WriteStep::Write;
  tooLarge.systemError = EFBIG;
  EXPECT_EQ(FileWriteReasonText(tooLarge), "File too large");
  EXPECT_NE(FileWriteReason(tooLarge).find("文件超过允许的最大长度"), std::string::npos);
}

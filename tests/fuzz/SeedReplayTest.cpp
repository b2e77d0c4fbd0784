#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/entries/FuzzEntries.h"

// Test listings name the target, not the entry's bytes.
void PrintTo(const FuzzEntry& entry, std::ostream* out) { *out << entry.name; }

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SeedReplay : public ::testing::TestWithParam<FuzzEntry> {};

// Every committed seed (inputs of crashes found and mended among them) runs through the entry
// its target calls; an entry aborts on a broken invariant, which fails this run.
TEST_P(SeedReplay, EverySeedRunsCleanThroughItsEntry) {
  const FuzzEntry entry = GetParam();
  const fs::path folder = fs::path(VELTRO_FUZZ_CORPUS) / entry.name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  size_t seeds = 0;
  for (const auto& item : fs::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    const std::string bytes = ReadAll(item.path());
    // An entry aborts on a broken invariant, so say which seed runs before it does.
    std::fprintf(stderr, "seed %s\n", item.path().c_str());
    entry.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++seeds;
  }
  EXPECT_GE(seeds, 3u) << "each target keeps a few seeds";
}

INSTANTIATE_TEST_SUITE_P(AllTargets, SeedReplay, ::testing::ValuesIn(kFuzzEntries),
                         [](const ::testing::TestParamInfo<FuzzEntry>& info) {
                           return std::string(info.param.name);
                         });

// An empty input reaches every entry first when a fuzzer starts.
TEST(SeedReplayEntries, EveryEntryTakesAnEmptyInput) {
  static const uint8_t kNothing[1] = {0};
  for (const FuzzEntry& entry : kFuzzEntries) entry.run(kNothing, 0);
}

}  // namespace

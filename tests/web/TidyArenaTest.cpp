#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "web/TidyArena.h"
#include "web/TidyDocument.h"

namespace {

bool Aligned(void* p) { return reinterpret_cast<uintptr_t>(p) % 16 == 0; }

}  // namespace

TEST(TidyArenaTest, BlocksAreAlignedAndKeepTheirBytesThroughGrowth) {
  TidyArena arena;
  std::vector<char*> blocks;
  for (size_t size : {1u, 7u, 16u, 100u, 4000u, 9000u}) {
    char* block = static_cast<char*>(arena.Allocate(size));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(Aligned(block)) << size;
    std::memset(block, static_cast<int>(size & 0x7F), size);
    blocks.push_back(block);
  }
  // None of the blocks overlaps another: each still holds its own fill.
  const size_t sizes[] = {1, 7, 16, 100, 4000, 9000};
  for (size_t i = 0; i < blocks.size(); ++i)
    for (size_t k = 0; k < sizes[i]; ++k) ASSERT_EQ(blocks[i][k], static_cast<char>(sizes[i] & 0x7F));

  // An older block, the newest one and a large one all keep their bytes when they grow,
  // including past the large-block size and past a chunk.
  for (char*& block : blocks) {
    const size_t old = sizes[&block - blocks.data()];
    char* grown = static_cast<char*>(arena.Reallocate(block, old * 3 + 70000));
    ASSERT_NE(grown, nullptr);
    EXPECT_TRUE(Aligned(grown));
    for (size_t k = 0; k < old; ++k) ASSERT_EQ(grown[k], static_cast<char>(old & 0x7F));
    block = grown;
  }
  for (char* block : blocks) arena.Free(block);
}

TEST(TidyArenaTest, TheNewestBlockGrowsInPlaceAndFreeingItReturnsItsRoom) {
  TidyArena arena;
  void* first = arena.Allocate(32);
  void* grown = arena.Reallocate(first, 200);
  EXPECT_EQ(grown, first);
  arena.Free(grown);
  EXPECT_EQ(arena.Allocate(48), first);
  EXPECT_NE(arena.Reallocate(nullptr, 0), nullptr);  // realloc of null allocates
}

TEST(TidyArenaTest, ChunksStopAtTheLimitAndLaterBlocksComeFromMalloc) {
  TidyArena arena;
  const size_t perChunk = TidyArena::kChunkSize / (TidyArena::kLargeBlock / 2 + 16);
  const size_t blocks = (TidyArena::kChunkLimit / TidyArena::kChunkSize + 4) * perChunk;
  std::vector<void*> held;
  for (size_t i = 0; i < blocks; ++i) {
    void* block = arena.Allocate(TidyArena::kLargeBlock / 2);
    ASSERT_NE(block, nullptr);
    held.push_back(block);
  }
  EXPECT_LE(arena.chunkBytes(), TidyArena::kChunkLimit);
  for (void* block : held) arena.Free(block);  // the ones past the limit go back to malloc
}

TEST(TidyArenaTest, ADocumentParsesAndIsReleasedInItsArena) {
  std::string page = "<html><body>";
  for (int i = 0; i < 2000; ++i) page += "<p class=\"c" + std::to_string(i) + "\"><a href=\"/p" + std::to_string(i) + ".html\">x</a> text</p>";
  page += "</body></html>";
  TidyDocument doc;
  ASSERT_TRUE(doc.ok());
  EXPECT_GE(doc.Parse(page.c_str()), 0);
  TidyNode body = doc.Body();
  ASSERT_NE(body, nullptr);
  int anchors = 0;
  for (TidyNode p = tidyGetChild(body); p; p = tidyGetNext(p))
    for (TidyNode a = tidyGetChild(p); a; a = tidyGetNext(a))
      if (tidyNodeGetId(a) == TidyTag_A) ++anchors;
  EXPECT_EQ(anchors, 2000);
}

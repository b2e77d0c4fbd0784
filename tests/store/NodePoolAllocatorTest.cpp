#include <gtest/gtest.h>

#include <string>
#include <unordered_map>

#include "store/NodePoolAllocator.h"

namespace {

using Map = std::unordered_map<std::string, int, std::hash<std::string>, std::equal_to<std::string>,
                               NodePoolAllocator<std::pair<const std::string, int>>>;

Map NewMap() { return Map(11, Map::hasher(), Map::key_equal(), Map::allocator_type::WithNewPool()); }

}  // namespace

TEST(NodePoolAllocatorTest, AMapKeepsItsEntriesThroughGrowthEraseAndSwap) {
  Map map = NewMap();
  for (int i = 0; i < 50000; ++i) map.try_emplace("/page/" + std::to_string(i) + ".html", i);
  for (int i = 0; i < 50000; i += 2) map.erase("/page/" + std::to_string(i) + ".html");
  for (int i = 0; i < 1000; ++i) map.try_emplace("/new/" + std::to_string(i), -i);
  ASSERT_EQ(map.size(), 26000u);
  EXPECT_EQ(map.at("/page/49999.html"), 49999);
  EXPECT_EQ(map.count("/page/49998.html"), 0u);
  EXPECT_EQ(map.at("/new/999"), -999);

  // A reset swaps in a fresh map; the old one, with its pool, goes.
  Map fresh = NewMap();
  std::shared_ptr<NodePool> oldPool = map.get_allocator().pool();
  map.swap(fresh);
  EXPECT_NE(map.get_allocator().pool(), oldPool);
  EXPECT_EQ(fresh.get_allocator().pool(), oldPool);
  EXPECT_TRUE(map.empty());
  EXPECT_EQ(fresh.at("/page/1.html"), 1);
  map.try_emplace("/", 0);
  EXPECT_EQ(map.size(), 1u);
}

TEST(NodePoolAllocatorTest, OnlySingleObjectsOfThePoolsSizeComeFromThePool) {
  auto nodes = NodePoolAllocator<std::pair<long, long>>::WithNewPool();
  std::pair<long, long>* first = nodes.allocate(1);
  nodes.deallocate(first, 1);
  EXPECT_EQ(nodes.allocate(1), first);  // a freed node is handed out again
  EXPECT_EQ(nodes.pool()->nodeSize, sizeof(std::pair<long, long>));

  NodePoolAllocator<char> bytes(nodes);  // rebound: shares the pool, but not its size
  EXPECT_EQ(bytes.pool(), nodes.pool());
  char* c = bytes.allocate(1);
  c[0] = 'x';
  bytes.deallocate(c, 1);
  std::pair<long, long>* array = nodes.allocate(8);
  array[7] = {1, 2};
  nodes.deallocate(array, 8);
  nodes.deallocate(first, 1);
}

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "crawl/LargePageGate.h"

namespace {

constexpr size_t kLarge = LargePageGate::kLargePage + 1;

TEST(LargePageGateTest, OnlyAsManyLargePagesAsSlotsAreReadAtOnceSmallOnesPassAndAStopEndsTheWait) {
  LargePageGate gate(2);
  std::optional<LargePageGate::Pass> first(gate.Enter(kLarge, nullptr));
  LargePageGate::Pass second = gate.Enter(kLarge, nullptr);
  ASSERT_TRUE(*first && second);
  EXPECT_EQ(gate.busy(), 2u);
  // A small page is not held back by large ones, and takes no slot.
  EXPECT_TRUE(gate.Enter(LargePageGate::kLargePage, nullptr));
  EXPECT_EQ(gate.busy(), 2u);

  std::atomic<bool> entered{false};
  std::thread third([&] {
    LargePageGate::Pass pass = gate.Enter(kLarge, nullptr);
    entered = static_cast<bool>(pass);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(entered.load());  // both slots are taken
  first.reset();                 // a page is done: the waiting one goes on
  third.join();
  EXPECT_TRUE(entered.load());
  EXPECT_EQ(gate.busy(), 1u);

  // A wait that is cancelled (the crawl was stopped) ends refused, without a slot.
  LargePageGate::Pass again = gate.Enter(kLarge, nullptr);
  std::atomic<bool> stop{false};
  std::thread stopped([&] { stop = true; });
  const auto asked = std::chrono::steady_clock::now();
  LargePageGate::Pass refused = gate.Enter(kLarge, [&] { return stop.load(); });
  stopped.join();
  EXPECT_FALSE(refused);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
  EXPECT_EQ(gate.busy(), 2u);
}

}  // namespace

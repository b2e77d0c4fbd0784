#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cli/RunEvents.h"

namespace {

using Clock = std::chrono::steady_clock;

// The command's main thread sleeps until something happens: a crawl's end or Ctrl-C wakes it
// at once, not at the next status refresh; an ending that came before the wait is not lost.
TEST(RunEventsTest, AnEndingOrAnInterruptWakesTheWaitAtOnceAndIsAnsweredOnce) {
  RunEvents events;
  const auto far = [] { return Clock::now() + std::chrono::seconds(20); };

  std::thread crawl([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    events.OnFinished(0);
  });
  auto start = Clock::now();
  EXPECT_FALSE(events.WaitUntil(far()));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
  crawl.join();

  events.OnFinished(0);  // before the wait
  start = Clock::now();
  EXPECT_FALSE(events.WaitUntil(far()));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

  std::thread watcher([&] { events.Interrupt(); });
  EXPECT_TRUE(events.WaitUntil(far()));
  watcher.join();
  // Answered: nothing new, so the next wait lasts until its deadline.
  start = Clock::now();
  EXPECT_FALSE(events.WaitUntil(Clock::now() + std::chrono::milliseconds(100)));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100));
}

}  // namespace

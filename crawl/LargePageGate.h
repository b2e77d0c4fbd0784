#pragma once
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

// Lets only a few large pages be parsed at once. Parsing is bound by the processors, so more
// at a time finish none sooner, and each one holds its parser's tree and its links meanwhile:
// 64 workers reading 8 MiB pages together would otherwise need gigabytes. Small pages pass
// at once; a page over a MiB takes its turn before its body is held whole (see holdLargeBody).
class LargePageGate {
 public:
  // Pages larger than this wait for a slot.
  static constexpr size_t kLargePage = 256 * 1024;
  // How often a waiting page looks at its cancel request.
  static constexpr std::chrono::milliseconds kCancelPoll{50};

  // slots: how many large pages are parsed at once (at least 1).
  explicit LargePageGate(size_t slots);
  LargePageGate(const LargePageGate&) = delete;
  LargePageGate& operator=(const LargePageGate&) = delete;

  // Holds a slot, if it took one, until it goes.
  class Pass {
   public:
    Pass() = default;
    Pass(Pass&& other) noexcept : gate_(other.gate_), granted_(other.granted_) { other.gate_ = nullptr; }
    Pass& operator=(Pass&&) = delete;
    ~Pass();
    // False when the page may not be parsed: the wait was cancelled.
    explicit operator bool() const { return granted_; }

   private:
    friend class LargePageGate;
    Pass(LargePageGate* gate, bool granted) : gate_(gate), granted_(granted) {}
    LargePageGate* gate_ = nullptr;  // set when a slot is held
    bool granted_ = false;
  };

  // A pass for a page of that many bytes: at once for a small page; for a large one when a
  // slot is free, or a refused pass once cancelled() is true.
  Pass Enter(size_t pageBytes, const std::function<bool()>& cancelled);

  size_t slotCount() const { return slots_; }
  size_t busy() const;

 private:
  void Leave();

  const size_t slots_;
  mutable std::mutex lock_;  // guards busy_
  std::condition_variable freed_;
  size_t busy_ = 0;
};

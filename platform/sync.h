// Critical sections and events.
//
// A critical section is re-entrant, so it is a recursive mutex; TryEnter is try_lock. An event
// has manual or automatic reset like a Win32 event: set() wakes waiters; an auto-reset event
// lets exactly one waiter through and clears itself.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

using CriticalSection = std::recursive_mutex;

class Event {
 public:
  explicit Event(bool manual_reset = false, bool initially_set = false)
      : manual_(manual_reset), set_(initially_set) {}
  void set();
  void reset();
  // Waits until the event is set or timeout_ms passes (kInfinite waits for good).
  // Returns true when the event was set.
  bool wait(uint32_t timeout_ms = kInfinite);
  bool is_set();

  static constexpr uint32_t kInfinite = 0xFFFFFFFFu;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool manual_;
  bool set_;
};

}  // namespace platform

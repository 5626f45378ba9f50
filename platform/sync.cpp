#include "platform/sync.h"

#include <chrono>

namespace platform {

void Event::set() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = true;
  }
  if (manual_) {
    cv_.notify_all();
  } else {
    cv_.notify_one();
  }
}

void Event::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

bool Event::is_set() {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

bool Event::wait(uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  auto ready = [this] { return set_; };
  if (timeout_ms == kInfinite) {
    cv_.wait(lock, ready);
  } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), ready)) {
    return false;
  }
  if (!manual_) set_ = false;
  return true;
}

}  // namespace platform

#include "platform/message_queue.h"

#include <chrono>

namespace platform {

bool MessageQueue::post(const Message& message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    entries_.push_back(Entry{message, nullptr});
  }
  arrived_.notify_all();
  if (wake_) wake_();
  return true;
}

intptr_t MessageQueue::send(const Message& message) {
  auto reply = std::make_shared<Reply>();
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return 0;
  entries_.push_back(Entry{message, reply});
  arrived_.notify_all();
  if (wake_) wake_();
  answered_.wait(lock, [&] { return reply->done; });
  return reply->result;
}

bool MessageQueue::take(Entry& entry, uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (entries_.empty() && timeout_ms > 0) {
    arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                      [&] { return !entries_.empty(); });
  }
  if (entries_.empty()) return false;
  entry = std::move(entries_.front());
  entries_.pop_front();
  return true;
}

void MessageQueue::answer(const std::shared_ptr<Reply>& reply, intptr_t result) {
  if (!reply) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    reply->done = true;
    reply->result = result;
  }
  answered_.notify_all();
}

bool MessageQueue::dispatch_one(const Handler& handler, uint32_t timeout_ms) {
  Entry entry;
  if (!take(entry, timeout_ms)) return false;
  intptr_t result = handler ? handler(entry.message) : 0;
  answer(entry.reply, result);
  return true;
}

int MessageQueue::dispatch_all(const Handler& handler) {
  // Only what is queued now: a handler that posts to its own queue must not loop forever.
  size_t pending = size();
  int handled = 0;
  while (pending-- > 0 && dispatch_one(handler, 0)) ++handled;
  return handled;
}

void MessageQueue::wait_pumping(const std::function<bool()>& done, const Handler& handler,
                                uint32_t step_ms) {
  while (!done()) dispatch_one(handler, step_ms);
}

void MessageQueue::close() {
  std::deque<Entry> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    dropped.swap(entries_);
    for (Entry& entry : dropped) {
      if (entry.reply) entry.reply->done = true;  // result stays 0
    }
  }
  answered_.notify_all();
}

void MessageQueue::reopen() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = false;
}

bool MessageQueue::closed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

size_t MessageQueue::size() {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

}  // namespace platform

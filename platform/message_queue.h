// Per-thread message queues: our stand-in for thread and window messages between threads.
//
// Each thread that receives messages owns one queue. Any thread may post (returns at once) or
// send (waits until the owner has handled the message and returns the handler's result). The
// owner takes messages one by one and hands them to its handler; a send is answered when the
// handler returns. A thread that waits while others may send to it (the window thread) must
// keep dispatching its own queue during the wait, or the sender and the waiter block each
// other: wait_pumping() does that.
//
// A closed queue refuses posts and answers pending and later sends with 0, so that no sender
// is left waiting on a thread that has gone.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

struct Message {
  uint32_t id = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
};

class MessageQueue {
 public:
  using Handler = std::function<intptr_t(const Message&)>;

  // Appends the message; false when the queue is closed.
  bool post(const Message& message);
  // Appends the message and waits until the owner's handler has run it; returns its result,
  // or 0 when the queue is (or gets) closed before it runs. Must not be called by the owner.
  intptr_t send(const Message& message);

  // Owner side. Handles at most one message, waiting up to timeout_ms for one to arrive (0 does
  // not wait). Returns true when a message was handled.
  bool dispatch_one(const Handler& handler, uint32_t timeout_ms);
  // Handles every message that is queued now, in order; returns how many.
  int dispatch_all(const Handler& handler);
  // Waits until done() is true, handling messages as they arrive and checking done() at least
  // every step_ms.
  void wait_pumping(const std::function<bool()>& done, const Handler& handler,
                    uint32_t step_ms = 10);

  // A function called after each post or send from any thread, for an owner that sleeps on
  // something besides this queue (the window thread sleeps on its window's events). Set it
  // while no other thread uses the queue; null: none.
  void set_wake(void (*wake)()) { wake_ = wake; }

  // Refuses further posts; pending sends are answered with 0, pending posts are dropped.
  void close();
  // Opens a closed queue again (a new run of the owning thread).
  void reopen();
  bool closed();
  size_t size();

 private:
  struct Reply {
    bool done = false;
    intptr_t result = 0;
  };
  struct Entry {
    Message message;
    std::shared_ptr<Reply> reply;  // null for a post
  };
  bool take(Entry& entry, uint32_t timeout_ms);
  void answer(const std::shared_ptr<Reply>& reply, intptr_t result);

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::condition_variable answered_;
  std::deque<Entry> entries_;
  bool closed_ = false;
  void (*wake_)() = nullptr;
};

}  // namespace platform

// Thread message queues: sends are answered by the owner, a closed queue never leaves a sender
// waiting, and a waiting owner keeps serving sends.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/message_queue.h"
#include "platform/sync.h"

namespace {

using platform::Message;
using platform::MessageQueue;

TEST(MessageQueue, PostsRunInOrderAndSendsGetTheHandlersResult) {
  MessageQueue q;
  std::vector<uint32_t> seen;
  auto handler = [&](const Message& m) -> intptr_t {
    seen.push_back(m.id);
    return static_cast<intptr_t>(m.wparam) * 2;
  };
  ASSERT_TRUE(q.post({1, 0, 0}));
  ASSERT_TRUE(q.post({2, 0, 0}));
  intptr_t answer = 0;
  std::thread sender([&] { answer = q.send({3, 21, 0}); });
  while (q.size() < 3) std::this_thread::yield();
  EXPECT_EQ(q.dispatch_all(handler), 3);
  sender.join();
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));
  EXPECT_FALSE(q.dispatch_one(handler, 0));
}

TEST(MessageQueue, ClosingAnswersWaitingSendersAndRefusesPosts) {
  MessageQueue q;
  intptr_t answer = -1;
  std::thread sender([&] { answer = q.send({7, 1, 0}); });
  while (q.size() < 1) std::this_thread::yield();
  q.close();
  sender.join();
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(q.post({1, 0, 0}));
  EXPECT_EQ(q.send({1, 0, 0}), 0);
  q.reopen();
  EXPECT_TRUE(q.post({1, 0, 0}));
}

TEST(MessageQueue, WaitingOwnerKeepsServingSends) {
  // The owner waits for the other thread to finish; that thread first needs an answer from
  // the owner. Without serving during the wait both would block for good.
  MessageQueue q;
  platform::Event finished(true);
  std::atomic<int> handled{0};
  std::thread other([&] {
    q.send({5, 0, 0});
    finished.set();
  });
  q.wait_pumping([&] { return finished.is_set(); },
                 [&](const Message&) -> intptr_t { return ++handled; }, 5);
  other.join();
  EXPECT_EQ(handled, 1);
}

}  // namespace

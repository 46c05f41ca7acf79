#include "platform/message_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace platform {
namespace {

Message numbered(uint32_t n) { return Message{n, n * 10u, -static_cast<int64_t>(n), 0}; }

TEST(MessageQueue, KeepsOrderWhileTheRingWrapsAndGrows) {
  MessageQueue queue;
  uint32_t next_in = 0;
  uint32_t next_out = 0;
  // Take some out first so the ring is wrapped when it has to grow.
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 50; ++i) queue.post(numbered(next_in++));
    for (int i = 0; i < 30; ++i) {
      Message m;
      ASSERT_TRUE(queue.peek(m, true));
      EXPECT_EQ(m.id, next_out);
      EXPECT_EQ(m.wparam, next_out * 10u);
      EXPECT_EQ(m.lparam, -static_cast<int64_t>(next_out));
      ++next_out;
    }
  }
  for (int i = 0; i < 200; ++i) queue.post(numbered(next_in++));
  EXPECT_EQ(queue.size(), next_in - next_out);
  Message m;
  while (queue.wait(m, 0)) EXPECT_EQ(m.id, next_out++);
  EXPECT_EQ(next_out, next_in);
}

TEST(MessageQueue, PeekWithoutRemovingLeavesTheMessage) {
  MessageQueue queue;
  Message m{99, 0, 0, 0};
  EXPECT_FALSE(queue.peek(m, false));
  EXPECT_EQ(m.id, 99u);  // untouched when empty
  queue.post(Message{1, 2, 3, 4});
  ASSERT_TRUE(queue.peek(m, false));
  EXPECT_EQ(m.reply_token, 4u);
  EXPECT_EQ(queue.size(), 1u);
  ASSERT_TRUE(queue.peek(m, true));
  EXPECT_EQ(queue.size(), 0u);
}

TEST(MessageQueue, ATickWaitingAlreadyIsNotQueuedAgain) {
  MessageQueue queue;
  const Message tick{0x113, 7, 0, 0};
  const Message other_timer{0x113, 8, 0, 0};
  EXPECT_TRUE(queue.post_once(tick));
  queue.post(Message{0x10, 0, 0, 0});  // a close request behind it
  EXPECT_FALSE(queue.post_once(tick)) << "the first tick still waits";
  EXPECT_TRUE(queue.post_once(other_timer));
  EXPECT_EQ(queue.size(), 3u);
  Message m;
  ASSERT_TRUE(queue.peek(m, true));
  EXPECT_EQ(m.wparam, 7u);
  EXPECT_TRUE(queue.post_once(tick)) << "taken out, so it may come again";
  ASSERT_TRUE(queue.peek(m, true));
  EXPECT_EQ(m.id, 0x10u) << "the close request comes before the new tick";
}

TEST(MessageQueue, WaitTimesOutOnAnEmptyQueue) {
  MessageQueue queue;
  Message m;
  EXPECT_FALSE(queue.wait(m, 0));
  EXPECT_FALSE(queue.wait(m, 20));
}

TEST(MessageQueue, DeliversEveryMessageFromManyThreadsInEachThreadsOrder) {
  MessageQueue queue;
  std::atomic<int> wakes{0};
  queue.set_waker([&] { ++wakes; });
  constexpr uint32_t kThreads = 4;
  constexpr uint32_t kEach = 2000;
  std::vector<std::thread> producers;
  for (uint32_t t = 0; t < kThreads; ++t) {
    producers.emplace_back([&queue, t] {
      for (uint32_t i = 0; i < kEach; ++i) queue.post(Message{t, i, 0, 0});
    });
  }
  std::vector<uint64_t> next(kThreads, 0);
  for (uint32_t received = 0; received < kThreads * kEach; ++received) {
    Message m;
    ASSERT_TRUE(queue.wait(m, -1));
    ASSERT_LT(m.id, kThreads);
    EXPECT_EQ(m.wparam, next[m.id]++);
  }
  for (auto& producer : producers) producer.join();
  EXPECT_EQ(wakes.load(), static_cast<int>(kThreads * kEach));
  Message m;
  EXPECT_FALSE(queue.peek(m, false));
}

}  // namespace
}  // namespace platform

#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/message.h"

namespace platform {

// First-in first-out queue of messages for the main thread. Any thread may
// post; one thread (the main thread) takes messages out. The storage is a ring
// that only grows, so a steady flow of messages allocates nothing.
class MessageQueue {
 public:
  MessageQueue();
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  // Appends a message and then calls the waker, if one is set.
  void post(const Message& message);

  // Posts `message` unless one with the same id and wparam is still waiting,
  // and says whether it posted. Timer ticks go this way: a program that
  // draws slower than its timer fires then gets one tick at a time instead
  // of a growing backlog that delays everything posted after it.
  bool post_once(const Message& message);

  // Copies the oldest message into `out`, removing it when `remove` is true.
  // Returns false, leaving `out` alone, when the queue is empty.
  bool peek(Message& out, bool remove);

  // Takes the oldest message out, waiting up to `timeout_ms` for one to
  // arrive (-1 waits forever, 0 does not wait). Returns false on time-out.
  bool wait(Message& out, int timeout_ms);

  // Called after every post, on the posting thread, e.g. to wake an event
  // loop that sleeps somewhere else. It must not post to this queue itself.
  void set_waker(std::function<void()> waker);

  size_t size() const;

 private:
  // Wakes a waiting reader and calls the waker, outside the queue's lock.
  void announce();
  void push_locked(const Message& message);
  Message pop_locked();

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Message> ring_;
  size_t head_ = 0;
  size_t count_ = 0;

  std::mutex waker_mutex_;
  std::function<void()> waker_;
};

}  // namespace platform

#include "platform/message_queue.h"

#include <chrono>
#include <utility>

namespace platform {

namespace {
constexpr size_t kInitialCapacity = 64;
}

MessageQueue::MessageQueue() : ring_(kInitialCapacity) {}

void MessageQueue::post(const Message& message) {
  {
    std::lock_guard lock(mutex_);
    push_locked(message);
  }
  announce();
}

bool MessageQueue::post_once(const Message& message) {
  {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < count_; ++i) {
      const Message& waiting = ring_[(head_ + i) % ring_.size()];
      if (waiting.id == message.id && waiting.wparam == message.wparam) return false;
    }
    push_locked(message);
  }
  announce();
  return true;
}

bool MessageQueue::peek(Message& out, bool remove) {
  std::lock_guard lock(mutex_);
  if (count_ == 0) return false;
  out = remove ? pop_locked() : ring_[head_];
  return true;
}

bool MessageQueue::wait(Message& out, int timeout_ms) {
  std::unique_lock lock(mutex_);
  auto has_message = [this] { return count_ > 0; };
  if (timeout_ms < 0) {
    arrived_.wait(lock, has_message);
  } else if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeout_ms), has_message)) {
    return false;
  }
  out = pop_locked();
  return true;
}

void MessageQueue::set_waker(std::function<void()> waker) {
  std::lock_guard lock(waker_mutex_);
  waker_ = std::move(waker);
}

size_t MessageQueue::size() const {
  std::lock_guard lock(mutex_);
  return count_;
}

void MessageQueue::announce() {
  arrived_.notify_one();
  std::lock_guard lock(waker_mutex_);
  if (waker_) waker_();
}

void MessageQueue::push_locked(const Message& message) {
  if (count_ == ring_.size()) {
    // Unroll the ring into a buffer twice the size, oldest message first.
    std::vector<Message> bigger(ring_.size() * 2);
    for (size_t i = 0; i < count_; ++i) bigger[i] = ring_[(head_ + i) % ring_.size()];
    ring_.swap(bigger);
    head_ = 0;
  }
  ring_[(head_ + count_) % ring_.size()] = message;
  ++count_;
}

Message MessageQueue::pop_locked() {
  Message message = ring_[head_];
  head_ = (head_ + 1) % ring_.size();
  --count_;
  return message;
}

}  // namespace platform

#include "platform/fake_named_semaphore.h"

namespace platform {

bool FakeNamedSemaphore::create(const std::string& name) {
  close();
  if (fail_create || name.empty()) return false;
  table_.counts[name] = 0;
  created_ = name;
  return true;
}

bool FakeNamedSemaphore::open_and_release(const std::string& name) {
  auto it = table_.counts.find(name);
  if (it == table_.counts.end()) return false;
  if (it->second < 1) ++it->second;
  ++releases;
  return true;
}

SemaphoreWait FakeNamedSemaphore::wait(int timeout_ms) {
  wait_timeouts.push_back(timeout_ms);
  if (created_.empty()) return SemaphoreWait::Failed;
  if (on_wait) on_wait(timeout_ms);
  auto it = table_.counts.find(created_);
  if (it == table_.counts.end()) return SemaphoreWait::Failed;
  if (it->second == 0) return SemaphoreWait::TimedOut;
  --it->second;
  return SemaphoreWait::Signalled;
}

void FakeNamedSemaphore::close() {
  if (created_.empty()) return;
  table_.counts.erase(created_);
  created_.clear();
}

}  // namespace platform

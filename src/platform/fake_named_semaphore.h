#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/named_semaphore.h"

namespace platform {

// The semaphores that exist, by name, with their counts: what several fakes
// share, like the programs share the system's semaphores.
struct FakeSemaphoreTable {
  std::map<std::string, int> counts;
};

// A semaphore that never blocks: wait takes the count when it is 1 and times
// out at once otherwise (also for -1). on_wait runs first, so a test can act
// as the other program while "waiting".
class FakeNamedSemaphore final : public NamedSemaphore {
 public:
  explicit FakeNamedSemaphore(FakeSemaphoreTable& table) : table_(table) {}

  bool create(const std::string& name) override;
  bool open_and_release(const std::string& name) override;
  SemaphoreWait wait(int timeout_ms) override;
  void close() override;

  bool fail_create = false;
  std::function<void(int timeout_ms)> on_wait;
  std::vector<int> wait_timeouts;  // every wait's time-out, in order
  int releases = 0;                // open_and_release calls that found the semaphore

 private:
  FakeSemaphoreTable& table_;
  std::string created_;
};

}  // namespace platform

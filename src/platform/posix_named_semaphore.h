#pragma once

#include <semaphore.h>

#include <string>

#include "platform/named_semaphore.h"

namespace platform {

// A POSIX named semaphore, "/<name>.<uid>", so that users do not share it.
// Releases by different processes are serialised with a lock file in the
// runtime folder, so that two of them cannot both lift 0 to 1 and make 2.
class PosixNamedSemaphore final : public NamedSemaphore {
 public:
  PosixNamedSemaphore() = default;
  ~PosixNamedSemaphore() override;
  PosixNamedSemaphore(const PosixNamedSemaphore&) = delete;
  PosixNamedSemaphore& operator=(const PosixNamedSemaphore&) = delete;

  bool create(const std::string& name) override;
  bool open_and_release(const std::string& name) override;
  SemaphoreWait wait(int timeout_ms) override;
  void close() override;

  // The system name of `name` for this user; "" when `name` cannot be used.
  static std::string system_name(const std::string& name);

 private:
  sem_t* semaphore_ = SEM_FAILED;
  std::string system_name_;
};

}  // namespace platform

#pragma once

#include <signal.h>

#include "platform/termination_requests.h"

namespace platform {

// SIGTERM caught by a handler that only sets a flag. One object at a time
// may catch; the previous disposition comes back with stop_catching or the
// destructor. Children started with PosixProcess get the default handling.
class PosixTerminationRequests final : public TerminationRequests {
 public:
  PosixTerminationRequests() = default;
  ~PosixTerminationRequests() override;
  PosixTerminationRequests(const PosixTerminationRequests&) = delete;
  PosixTerminationRequests& operator=(const PosixTerminationRequests&) = delete;

  bool catch_requests() override;
  bool take_request() override;
  void stop_catching() override;

 private:
  struct sigaction previous_ {};
  bool catching_ = false;
};

}  // namespace platform

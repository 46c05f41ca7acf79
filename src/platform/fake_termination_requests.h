#pragma once

#include "platform/termination_requests.h"

namespace platform {

// Termination requests played by the test: request() stands for a SIGTERM.
// A request that comes while nothing catches would end the program; it is
// counted in `uncaught` instead.
class FakeTerminationRequests final : public TerminationRequests {
 public:
  bool catch_requests() override;
  bool take_request() override;
  void stop_catching() override;

  void request();

  bool catching = false;
  bool fail_catch = false;
  bool pending = false;
  int uncaught = 0;
};

}  // namespace platform

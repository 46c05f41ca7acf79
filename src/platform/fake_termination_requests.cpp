#include "platform/fake_termination_requests.h"

namespace platform {

bool FakeTerminationRequests::catch_requests() {
  if (fail_catch) return false;
  catching = true;
  return true;
}

bool FakeTerminationRequests::take_request() {
  if (!catching || !pending) return false;
  pending = false;
  return true;
}

void FakeTerminationRequests::stop_catching() {
  catching = false;
  pending = false;
}

void FakeTerminationRequests::request() {
  if (catching)
    pending = true;
  else
    ++uncaught;
}

}  // namespace platform

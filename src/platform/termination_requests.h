#pragma once

namespace platform {

// Requests to end this process (SIGTERM), caught instead of ending it at
// once. A program that waits for a child it started catches them while it
// waits and passes each one on, so the child is not left running alone.
class TerminationRequests {
 public:
  virtual ~TerminationRequests() = default;

  // From now on a request no longer ends the process; it is remembered until
  // take_request. False when requests cannot be caught.
  virtual bool catch_requests() = 0;

  // Whether a request arrived since the last call (several count as one).
  virtual bool take_request() = 0;

  // Requests end the process again, as before catch_requests.
  virtual void stop_catching() = 0;
};

}  // namespace platform

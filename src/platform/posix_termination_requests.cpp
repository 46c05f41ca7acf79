#include "platform/posix_termination_requests.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

volatile std::sig_atomic_t g_requested = 0;
std::atomic<bool> g_taken{false};  // whether some object catches now

void on_termination_request(int) { g_requested = 1; }

}  // namespace

PosixTerminationRequests::~PosixTerminationRequests() { stop_catching(); }

bool PosixTerminationRequests::catch_requests() {
  if (catching_) return true;
  bool expected = false;
  if (!g_taken.compare_exchange_strong(expected, true)) return false;
  g_requested = 0;
  struct sigaction action {};
  action.sa_handler = on_termination_request;
  sigemptyset(&action.sa_mask);
  // Calls that the signal interrupts go on; the caller looks at the flag
  // between the slices of its wait.
  action.sa_flags = SA_RESTART;
  if (sigaction(SIGTERM, &action, &previous_) != 0) {
    g_taken = false;
    return false;
  }
  catching_ = true;
  return true;
}

bool PosixTerminationRequests::take_request() {
  if (!catching_ || g_requested == 0) return false;
  g_requested = 0;
  return true;
}

void PosixTerminationRequests::stop_catching() {
  if (!catching_) return;
  sigaction(SIGTERM, &previous_, nullptr);
  catching_ = false;
  g_requested = 0;
  g_taken = false;
}

}  // namespace platform

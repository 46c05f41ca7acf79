#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace platform {

// Records the programs it is asked to start; each runs until the test ends it
// with finish(). wait never blocks: on_wait runs first (a test may finish the
// program there), then the exit code is returned if there is one.
class FakeProcess final : public Process {
 public:
  struct Started {
    std::string executable;
    std::vector<std::string> argv;
    bool new_process_group = false;
    std::optional<int> exit_code;  // empty while it "runs"
    std::vector<int> signals;      // signals sent to it
  };

  ProcessStart start(const std::string& executable, const std::vector<std::string>& argv,
                     bool new_process_group) override;
  std::optional<int> wait(ProcessHandle handle, int timeout_ms) override;
  bool is_running(ProcessHandle handle) override;
  bool send_signal(ProcessHandle handle, int signal_number) override;

  void finish(ProcessHandle handle, int exit_code);

  // Handles are 1, 2, … in the order of start; started[handle.id - 1].
  std::vector<Started> started;
  bool fail_start = false;
  // When set, a signal ends the program with 128 + the signal number.
  bool signals_end_programs = true;
  std::function<void(ProcessHandle handle, int timeout_ms)> on_wait;
  std::vector<int> wait_timeouts;

 private:
  Started* find(ProcessHandle handle);
};

}  // namespace platform

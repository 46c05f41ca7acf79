#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ProcessHandle {
  int64_t id = 0;
  friend bool operator==(const ProcessHandle&, const ProcessHandle&) = default;
};

struct ProcessStart {
  std::optional<ProcessHandle> handle;  // empty when the program did not start
  std::string error;                    // why, when it did not
};

// Starting other programs and waiting for them. A program that ended by a
// signal reports the exit code 128 + the signal number, as shells do.
class Process {
 public:
  virtual ~Process() = default;

  // Runs `executable` with `argv` (argv[0] included) in the current folder
  // and environment. With new_process_group the program leads a process group
  // of its own, so signals meant for ours do not reach it.
  virtual ProcessStart start(const std::string& executable, const std::vector<std::string>& argv,
                             bool new_process_group) = 0;

  // Waits up to `timeout_ms` (-1: forever) for the program to end; its exit
  // code, or empty when it still runs or the handle is unknown.
  virtual std::optional<int> wait(ProcessHandle handle, int timeout_ms) = 0;

  virtual bool is_running(ProcessHandle handle) = 0;

  // Sends a signal (SIGTERM, SIGKILL, …); false when the program has ended.
  virtual bool send_signal(ProcessHandle handle, int signal_number) = 0;
};

}  // namespace platform

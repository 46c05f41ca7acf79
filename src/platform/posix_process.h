#pragma once

#include <sys/types.h>

#include <map>
#include <mutex>

#include "platform/process.h"

namespace platform {

// Processes started with posix_spawn. The handle is the process id; a child
// is reaped by the first wait or is_running that sees it ended, and its exit
// code stays known to this object afterwards.
class PosixProcess final : public Process {
 public:
  ProcessStart start(const std::string& executable, const std::vector<std::string>& argv,
                     bool new_process_group) override;
  std::optional<int> wait(ProcessHandle handle, int timeout_ms) override;
  bool is_running(ProcessHandle handle) override;
  bool send_signal(ProcessHandle handle, int signal_number) override;

 private:
  // Reaps the child if it has ended; its exit code, or empty while it runs.
  std::optional<int> poll(pid_t pid);

  std::mutex mutex_;
  std::map<pid_t, std::optional<int>> children_;  // exit code once reaped
};

}  // namespace platform

#pragma once

#include <signal.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix_process.h"

// Starting the helper program instance_peer from the process tests.
namespace platform_test {

// Generous bounds: reached only when something is broken.
inline constexpr int kPatienceMs = 15000;

// Runs the helper with `arguments`; killed at the end if still running.
class PeerProcess {
 public:
  explicit PeerProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{PT_INSTANCE_PEER};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto started = processes_.start(PT_INSTANCE_PEER, argv, false);
    if (started.handle) handle_ = *started.handle;
  }
  ~PeerProcess() {
    if (handle_.id != 0 && processes_.is_running(handle_)) {
      processes_.send_signal(handle_, SIGKILL);
      processes_.wait(handle_, kPatienceMs);
    }
  }
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  bool started() const { return handle_.id != 0; }
  int pid() const { return static_cast<int>(handle_.id); }
  std::optional<int> wait(int timeout_ms = kPatienceMs) { return processes_.wait(handle_, timeout_ms); }
  void kill_now() {
    processes_.send_signal(handle_, SIGKILL);
    processes_.wait(handle_, kPatienceMs);
  }

 private:
  platform::PosixProcess processes_;
  platform::ProcessHandle handle_;
};

// Runs the helper to its end and gives its exit code.
inline std::optional<int> run_peer(const std::vector<std::string>& arguments) {
  PeerProcess peer(arguments);
  return peer.wait();
}

// Asks `condition` again and again until it yields a value or patience runs out.
template <typename T>
std::optional<T> eventually(const std::function<std::optional<T>()>& condition) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
  for (;;) {
    if (auto value = condition()) return value;
    if (std::chrono::steady_clock::now() > give_up) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace platform_test

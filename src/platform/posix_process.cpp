#include "platform/posix_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {

namespace {

int exit_code_of(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

ProcessStart PosixProcess::start(const std::string& executable, const std::vector<std::string>& argv,
                                 bool new_process_group) {
  ProcessStart result;
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  if (arguments.empty()) arguments.push_back(const_cast<char*>(executable.c_str()));
  arguments.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // The child starts with no blocked signals and default handlers, whatever
  // this process has set up for itself.
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  if (new_process_group) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);

  pid_t pid = 0;
  int error = posix_spawn(&pid, executable.c_str(), nullptr, &attributes, arguments.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    result.error = executable + ": " + std::strerror(error);
    return result;
  }
  {
    std::lock_guard lock(mutex_);
    children_[pid] = std::nullopt;
  }
  result.handle = ProcessHandle{pid};
  return result;
}

std::optional<int> PosixProcess::poll(pid_t pid) {
  std::lock_guard lock(mutex_);
  auto it = children_.find(pid);
  if (it == children_.end()) return std::nullopt;
  if (it->second) return it->second;
  int status = 0;
  pid_t reaped = waitpid(pid, &status, WNOHANG);
  if (reaped == pid) {
    it->second = exit_code_of(status);
  } else if (reaped < 0 && errno == ECHILD) {
    // Reaped elsewhere (SIGCHLD ignored): it has ended, its code is lost.
    it->second = -1;
  }
  return it->second;
}

std::optional<int> PosixProcess::wait(ProcessHandle handle, int timeout_ms) {
  auto pid = static_cast<pid_t>(handle.id);
  {
    std::lock_guard lock(mutex_);
    if (!children_.contains(pid)) return std::nullopt;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (auto code = poll(pid)) return code;
    if (timeout_ms >= 0) {
      auto now = Clock::now();
      if (now >= deadline) return std::nullopt;
      pause = std::min(pause, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                                  std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

bool PosixProcess::is_running(ProcessHandle handle) {
  auto pid = static_cast<pid_t>(handle.id);
  {
    std::lock_guard lock(mutex_);
    if (!children_.contains(pid)) return false;
  }
  return !poll(pid).has_value();
}

bool PosixProcess::send_signal(ProcessHandle handle, int signal_number) {
  auto pid = static_cast<pid_t>(handle.id);
  std::lock_guard lock(mutex_);
  auto it = children_.find(pid);
  // An unreaped child keeps its id, so the signal cannot hit a stranger.
  if (it == children_.end() || it->second) return false;
  return kill(pid, signal_number) == 0;
}

}  // namespace platform

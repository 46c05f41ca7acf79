#include "support/headless_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace test_support {
namespace {

pid_t xvfb_pid = 0;
std::string started_display;

void stop_xvfb() {
  if (xvfb_pid > 0) {
    kill(xvfb_pid, SIGTERM);
    waitpid(xvfb_pid, nullptr, 0);
    xvfb_pid = 0;
  }
}

bool start_xvfb(std::string* why) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) {
    *why = "pipe failed";
    return false;
  }
  pid_t pid = fork();
  if (pid < 0) {
    *why = "fork failed";
    return false;
  }
  if (pid == 0) {
    close(pipe_fds[0]);
    std::string fd = std::to_string(pipe_fds[1]);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x720x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipe_fds[1]);
  std::string number;
  char c = 0;
  while (read(pipe_fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
  close(pipe_fds[0]);
  if (number.empty()) {
    waitpid(pid, nullptr, 0);
    *why = "Xvfb did not start";
    return false;
  }
  xvfb_pid = pid;
  started_display = ":" + number;
  setenv("DISPLAY", started_display.c_str(), 1);
  std::atexit(stop_xvfb);
  return true;
}

}  // namespace

bool ensure_display(std::string* why) {
  static std::once_flag once;
  static bool ok = false;
  static std::string reason;
  std::call_once(once, [] {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0') {
      ok = true;
      return;
    }
    ok = start_xvfb(&reason);
    if (!ok) {
      // Rendering without any X server still works through EGL.
      setenv("SDL_VIDEODRIVER", "offscreen", 1);
      ok = true;
    }
  });
  if (why != nullptr) *why = reason;
  return ok;
}

std::string display_name() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr ? display : "";
}

}  // namespace test_support

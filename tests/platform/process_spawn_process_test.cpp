#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "isolated_environment.h"
#include "peer_process.h"
#include "platform/posix_process.h"

namespace platform {
namespace {

using platform_test::kPatienceMs;

class ProcessSpawn : public ::testing::Test {
 protected:
  ProcessHandle start(const std::vector<std::string>& argv, bool new_group = false) {
    auto started = processes.start(argv.front(), argv, new_group);
    EXPECT_TRUE(started.handle) << started.error;
    return started.handle.value_or(ProcessHandle{});
  }
  void TearDown() override {
    for (ProcessHandle handle : sleepers) {
      processes.send_signal(handle, SIGKILL);
      processes.wait(handle, kPatienceMs);
    }
  }
  ProcessHandle sleeper(bool new_group = false) {
    sleepers.push_back(start({"/bin/sleep", "60"}, new_group));
    return sleepers.back();
  }

  platform_test::IsolatedEnvironment environment;  // what the children inherit
  PosixProcess processes;
  std::vector<ProcessHandle> sleepers;
};

TEST_F(ProcessSpawn, PassesArgumentsAndReturnsTheExitCode) {
  ProcessHandle handle =
      start({"/bin/sh", "-c", "[ \"$0\" = zero ] && [ \"$2\" = 'b c' ] && exit $#", "zero", "a", "b c"});
  EXPECT_EQ(processes.wait(handle, kPatienceMs), 2);
  EXPECT_FALSE(processes.is_running(handle));
  EXPECT_EQ(processes.wait(handle, 0), 2);  // still known after it was reaped
}

TEST_F(ProcessSpawn, TerminatesARunningProgram) {
  ProcessHandle handle = sleeper();
  EXPECT_TRUE(processes.is_running(handle));
  EXPECT_EQ(processes.wait(handle, 50), std::nullopt);
  EXPECT_TRUE(processes.send_signal(handle, SIGTERM));
  EXPECT_EQ(processes.wait(handle, kPatienceMs), 128 + SIGTERM);
  EXPECT_FALSE(processes.is_running(handle));
  EXPECT_FALSE(processes.send_signal(handle, SIGTERM));
}

TEST_F(ProcessSpawn, ChildDoesNotInheritBlockedSignals) {
  sigset_t term;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  sigset_t old;
  pthread_sigmask(SIG_BLOCK, &term, &old);
  ProcessHandle handle = sleeper();
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  processes.send_signal(handle, SIGTERM);
  EXPECT_EQ(processes.wait(handle, kPatienceMs), 128 + SIGTERM);
}

TEST_F(ProcessSpawn, NewProcessGroupOnRequest) {
  ProcessHandle own_group = sleeper(true);
  ProcessHandle our_group = sleeper(false);
  EXPECT_EQ(getpgid(static_cast<pid_t>(own_group.id)), own_group.id);
  EXPECT_EQ(getpgid(static_cast<pid_t>(our_group.id)), getpgrp());
}

TEST_F(ProcessSpawn, ReportsAProgramThatCannotStart) {
  auto started = processes.start("/nonexistent/program", {"program"}, false);
  EXPECT_FALSE(started.handle);
  EXPECT_NE(started.error.find("/nonexistent/program"), std::string::npos);

  ProcessHandle unknown{999999};
  EXPECT_EQ(processes.wait(unknown, 0), std::nullopt);
  EXPECT_FALSE(processes.is_running(unknown));
  EXPECT_FALSE(processes.send_signal(unknown, SIGTERM));
}

}  // namespace
}  // namespace platform

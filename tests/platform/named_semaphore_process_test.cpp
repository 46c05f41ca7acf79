#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "isolated_environment.h"
#include "peer_process.h"
#include "platform/posix_named_semaphore.h"

namespace platform {
namespace {

using platform_test::eventually;
using platform_test::kPatienceMs;
using platform_test::PeerProcess;

class SemaphoreProcesses : public ::testing::Test {
 protected:
  void TearDown() override { creator.close(); }

  platform_test::IsolatedEnvironment environment;
  // Unique to this test run, so runs side by side do not meet.
  const std::string name = "pt-test-" + std::to_string(getpid()) + ".scr";
  PosixNamedSemaphore creator;
};

TEST_F(SemaphoreProcesses, StaleSemaphoreLeftAtOneIsResetByCreate) {
  {
    PeerProcess holder({"hold-semaphore", name});
    ASSERT_TRUE(holder.started());
    // Once it exists it is (or is about to be) released to 1; releasing it
    // here too cannot take it higher.
    PosixNamedSemaphore probe;
    ASSERT_TRUE(eventually<bool>([&]() -> std::optional<bool> {
      if (probe.open_and_release(name)) return true;
      return std::nullopt;
    }));
    holder.kill_now();  // leaves the semaphore behind, at 1
  }
  ASSERT_TRUE(creator.create(name));
  EXPECT_EQ(creator.wait(0), SemaphoreWait::TimedOut);
}

TEST_F(SemaphoreProcesses, ReleaseByAnotherProcessWakesTheCreator) {
  EXPECT_EQ(platform_test::run_peer({"release-semaphore", name}), 3);  // not there yet
  ASSERT_TRUE(creator.create(name));
  EXPECT_EQ(creator.wait(0), SemaphoreWait::TimedOut);
  PeerProcess releaser({"release-semaphore", name});
  EXPECT_EQ(creator.wait(kPatienceMs), SemaphoreWait::Signalled);
  EXPECT_EQ(releaser.wait(), 0);
}

TEST_F(SemaphoreProcesses, ReleasesFromManyProcessesNeverCountAboveOne) {
  ASSERT_TRUE(creator.create(name));
  std::vector<std::unique_ptr<PeerProcess>> releasers;
  for (int i = 0; i < 6; ++i) {
    releasers.push_back(std::make_unique<PeerProcess>(std::vector<std::string>{"release-semaphore", name}));
  }
  for (auto& releaser : releasers) EXPECT_EQ(releaser->wait(), 0);
  EXPECT_EQ(creator.wait(0), SemaphoreWait::Signalled);
  EXPECT_EQ(creator.wait(0), SemaphoreWait::TimedOut);
}

}  // namespace
}  // namespace platform

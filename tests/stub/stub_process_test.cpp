#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "host/saver_mode.h"
#include "platform/file_registry_store.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_process.h"
#include "support/headless_display.h"
#include "support/x_session.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using platform::InstanceHandle;
using platform::ProcessHandle;

constexpr int kPatienceMs = 15000;

// The screen-saver program and the real aquarium on a private X server, with
// their own home, runtime and configuration folders. The stub runs from a
// folder of its own (under its real name, with the blank) where it finds the
// aquarium only through App Paths, unless a test runs the built one beside
// the aquarium.
class StubTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(test_support::ensure_display(&why)) << why;
    if (test_support::display_name().empty()) GTEST_SKIP() << "needs an X server";
    x_session_ = std::make_unique<test_support::XSession>();
    ASSERT_TRUE(x_session_->ok());

    stub_ = environment_.root() + "savers/Pelorin Tessaly.scr";
    fs::create_directories(environment_.root() + "savers");
    fs::copy_file(PT_STUB, stub_);
    platform::FileRegistryStore registry;
    ASSERT_TRUE(registry.write_string(platform::Hive::Machine, host::kAppPathsKey, "", PT_BRINEWICK));
  }

  void TearDown() override {
    // The aquarium that a stub started is not our child: close it by message,
    // and make sure by its process id.
    for (int attempt = 0; attempt < 5; ++attempt) {
      auto found = registry_.find(host::kWindowClass, "");
      if (!found) break;
      registry_.send(*found, platform::Message{host::MSG_CLOSE_INSTANCE, 0, 0, 0}, 5000);
      if (!gone_within(found->identity.pid, 5s)) kill(found->identity.pid, SIGKILL);
    }
    for (auto handle : started_) {
      if (processes_.is_running(handle)) {
        processes_.send_signal(handle, SIGKILL);
        processes_.wait(handle, kPatienceMs);
      }
    }
  }

  ProcessHandle start(const std::string& program, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), program);
    auto started = processes_.start(program, arguments, false);
    EXPECT_TRUE(started.handle) << started.error;
    started_.push_back(started.handle.value_or(ProcessHandle{}));
    return started_.back();
  }
  ProcessHandle start_stub(std::vector<std::string> arguments) { return start(stub_, std::move(arguments)); }

  // The running aquarium in the given mode (any with None), waiting up to
  // 15 s for it.
  std::optional<InstanceHandle> wait_for_instance(host::SaverMode mode) {
    for (auto deadline = std::chrono::steady_clock::now() + 15s;
         std::chrono::steady_clock::now() < deadline;) {
      auto found = registry_.find(host::kWindowClass, host::kWindowTitle);
      if (found && (mode == host::SaverMode::None || found->identity.mode == static_cast<int>(mode)))
        return found;
      std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
  }

  bool close(const InstanceHandle& instance) {
    return registry_.send(instance, platform::Message{host::MSG_CLOSE_INSTANCE, 0, 0, 0}, kPatienceMs)
        .has_value();
  }

  bool ends_within(ProcessHandle handle, int milliseconds, int expected_code = 0) {
    auto code = processes_.wait(handle, milliseconds);
    return code && *code == expected_code;
  }

  bool still_running_after(ProcessHandle handle, std::chrono::milliseconds pause) {
    std::this_thread::sleep_for(pause);
    return processes_.is_running(handle);
  }

  bool gone_within(int32_t pid, std::chrono::milliseconds patience) {
    for (auto deadline = std::chrono::steady_clock::now() + patience;
         std::chrono::steady_clock::now() < deadline;) {
      if (kill(pid, 0) != 0) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  std::string user_data_folder() const { return environment_.home() + "Documents/Pelorin Tessaly/"; }
  test_support::XSession& x() { return *x_session_; }

  platform_test::IsolatedEnvironment environment_;
  platform::MessageQueue queue_;
  platform::PosixInstanceRegistry registry_{queue_};
  platform::PosixProcess processes_;
  std::unique_ptr<test_support::XSession> x_session_;
  std::string stub_;
  std::vector<ProcessHandle> started_;
};

TEST_F(StubTest, TheSaverClosesTheRunningAquariumAndTheStubWaitsForIt) {
  auto running = start(PT_BRINEWICK, {"/r"});
  ASSERT_TRUE(wait_for_instance(host::SaverMode::Standalone));

  auto stub = start_stub({"/s"});
  EXPECT_TRUE(ends_within(running, kPatienceMs));  // told to close, it closed normally
  auto saver = wait_for_instance(host::SaverMode::FullScreenSaver);
  ASSERT_TRUE(saver);
  EXPECT_TRUE(still_running_after(stub, 500ms));

  ASSERT_TRUE(close(*saver));
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
  EXPECT_TRUE(gone_within(saver->identity.pid, 15s));
}

TEST_F(StubTest, WithoutArgumentsTheAquariumStartsAndTheStubDoesNotWait) {
  auto stub = start_stub({});
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
  auto aquarium = wait_for_instance(host::SaverMode::Standalone);
  ASSERT_TRUE(aquarium);
  EXPECT_TRUE(close(*aquarium));
}

TEST_F(StubTest, WithAParentWindowNumberTheStubWaitsForTheAquariumToEnd) {
  auto stub = start_stub({"/c:1234"});
  auto aquarium = wait_for_instance(host::SaverMode::Standalone);
  ASSERT_TRUE(aquarium);
  EXPECT_TRUE(still_running_after(stub, 500ms));
  ASSERT_TRUE(close(*aquarium));
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
}

TEST_F(StubTest, APreviewStubReturnsOnceThePreviewWindowExists) {
  uint64_t parent = x().create_window(20, 20, 200, 150);
  auto stub = start_stub({"/p", std::to_string(parent)});
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
  // By then the preview is there, inside its parent, and goes on.
  EXPECT_EQ(x().children(parent).size(), 1u);
  auto preview = registry_.find(host::kWindowClass, host::kWindowTitle);
  ASSERT_TRUE(preview);
  EXPECT_TRUE(preview->identity.has_parent);
  EXPECT_EQ(kill(preview->identity.pid, 0), 0);
  EXPECT_TRUE(close(*preview));
  x().destroy_window(parent);
}

TEST_F(StubTest, WithoutAProgramToStartTheStubEndsAtOnce) {
  platform::FileRegistryStore registry;
  registry.delete_key(platform::Hive::Machine, host::kAppPathsKey);
  auto stub = start_stub({"/s"});
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
  EXPECT_FALSE(registry_.find(host::kWindowClass, ""));
}

TEST_F(StubTest, WithoutAppPathsTheAquariumBesideTheStubStarts) {
  platform::FileRegistryStore registry;
  registry.delete_key(platform::Hive::Machine, host::kAppPathsKey);
  auto stub = start(PT_STUB, {"/r"});
  EXPECT_TRUE(ends_within(stub, kPatienceMs));
  auto aquarium = wait_for_instance(host::SaverMode::Standalone);
  ASSERT_TRUE(aquarium);
  EXPECT_TRUE(close(*aquarium));
}

TEST_F(StubTest, ATerminationRequestToAWaitingStubReachesTheAquarium) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"/s"}, std::vector<std::string>{"-root"}}) {
    SCOPED_TRACE(arguments[0]);
    auto stub = start_stub(arguments);
    auto aquarium = wait_for_instance(host::SaverMode::None);
    ASSERT_TRUE(aquarium);
    std::this_thread::sleep_for(300ms);
    fs::remove(user_data_folder() + "UserSet");

    ASSERT_TRUE(processes_.send_signal(stub, SIGTERM));
    // The stub ends normally once the aquarium has: it was not killed itself.
    EXPECT_TRUE(ends_within(stub, kPatienceMs, 0));
    EXPECT_TRUE(gone_within(aquarium->identity.pid, 1s));
    EXPECT_TRUE(fs::exists(user_data_folder() + "UserSet"));  // its clean-up ran
  }
}

}  // namespace

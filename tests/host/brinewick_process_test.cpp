#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "base/file_io.h"
#include "base/user_settings.h"
#include "host/saver_mode.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_named_semaphore.h"
#include "platform/posix_process.h"
#include "platform/window_messages.h"
#include "support/headless_display.h"
#include "support/x_session.h"

namespace {

using namespace std::chrono_literals;
using platform::InstanceHandle;

// The real program on a private X server, with its own home, runtime and
// configuration folders.
class BrinewickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(test_support::ensure_display(&why)) << why;
    if (test_support::display_name().empty()) GTEST_SKIP() << "needs an X server";
    x_session_ = std::make_unique<test_support::XSession>();
    ASSERT_TRUE(x_session_->ok());
  }

  void TearDown() override {
    for (auto handle : started_) {
      if (processes_.is_running(handle)) {
        processes_.send_signal(handle, SIGKILL);
        processes_.wait(handle, 5000);
      }
    }
  }

  platform::ProcessHandle start(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), PT_BRINEWICK);
    auto started = processes_.start(PT_BRINEWICK, arguments, false);
    EXPECT_TRUE(started.handle) << started.error;
    started_.push_back(*started.handle);
    return *started.handle;
  }

  // The running instance with the given title, waiting up to 10 s for it.
  std::optional<InstanceHandle> wait_for_instance(const std::string& title) {
    for (auto deadline = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < deadline;) {
      if (auto found = registry_.find(host::kWindowClass, title)) return found;
      std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
  }

  // Waits until the instance has started up: its message loop answers a
  // request, and a second request queued behind the start-up work (the
  // first tank's load) is answered too.
  bool wait_until_started(const std::string& title) {
    const std::optional<InstanceHandle> found = wait_for_instance(title);
    if (!found) return false;
    for (int round = 0; round < 2; ++round) {
      if (!registry_.send(*found, platform::Message{platform::WM_NULL, 0, 0, 0}, 30000)) return false;
    }
    return true;
  }

  bool ends_within(platform::ProcessHandle handle, int milliseconds, int expected_code = 0) {
    auto code = processes_.wait(handle, milliseconds);
    return code && *code == expected_code;
  }

  bool still_running_after(platform::ProcessHandle handle, std::chrono::milliseconds pause) {
    std::this_thread::sleep_for(pause);
    return processes_.is_running(handle);
  }

  test_support::XSession& x() { return *x_session_; }

  std::string user_data_folder() const { return environment_.home() + "Documents/Pelorin Tessaly/"; }

  platform_test::IsolatedEnvironment environment_;
  platform::MessageQueue queue_;
  platform::PosixInstanceRegistry registry_{queue_};
  platform::PosixProcess processes_;
  std::unique_ptr<test_support::XSession> x_session_;

  std::vector<platform::ProcessHandle> started_;
};

TEST_F(BrinewickTest, FreeStandingOpensItsWindowAndASecondStartDefersToIt) {
  auto first = start({"/r"});
  auto found = wait_for_instance(host::kWindowTitle);
  ASSERT_TRUE(found);
  EXPECT_FALSE(found->identity.has_parent);
  EXPECT_EQ(found->identity.mode, static_cast<int>(host::SaverMode::Standalone));
  EXPECT_TRUE(x().find_window(host::kWindowTitle));

  auto second = start({"/r"});
  EXPECT_TRUE(ends_within(second, 10000));
  EXPECT_TRUE(processes_.is_running(first));

  // Told to close, it answers once it is no longer findable, then ends.
  auto answer = registry_.send(*found, platform::Message{host::MSG_CLOSE_INSTANCE, 0, 0, 0}, 10000);
  EXPECT_TRUE(answer);
  EXPECT_FALSE(registry_.find(host::kWindowClass, host::kWindowTitle));
  EXPECT_TRUE(ends_within(first, 10000));
  EXPECT_TRUE(std::filesystem::exists(user_data_folder() + "UserSet"));
}

TEST_F(BrinewickTest, TheSaverEndsOnEsc) {
  auto saver = start({"/s"});
  ASSERT_TRUE(wait_for_instance(host::kWindowTitle));
  std::this_thread::sleep_for(300ms);
  x().press_key("Page_Down");  // a command, not an exit
  EXPECT_TRUE(still_running_after(saver, 300ms));
  x().press_key("Escape");
  EXPECT_TRUE(ends_within(saver, 10000));
}

TEST_F(BrinewickTest, TheSaverEndsOnTheEleventhChangedMousePosition) {
  auto saver = start({"/s"});
  ASSERT_TRUE(wait_until_started(host::kWindowTitle));
  std::this_thread::sleep_for(300ms);
  for (int i = 1; i <= 10; ++i) {
    x().move_pointer(100 + 20 * i, 100);
    x().move_pointer(100 + 20 * i, 100);  // the same place again
  }
  EXPECT_TRUE(still_running_after(saver, 500ms));
  x().move_pointer(600, 400);
  EXPECT_TRUE(ends_within(saver, 10000));
}

TEST_F(BrinewickTest, TheSaverDoesNotStartBesideARunningInstance) {
  auto running = start({"/r"});
  ASSERT_TRUE(wait_for_instance(host::kWindowTitle));
  auto saver = start({"/s"});
  EXPECT_TRUE(ends_within(saver, 10000));
  EXPECT_TRUE(still_running_after(running, 200ms));
  EXPECT_TRUE(registry_.find(host::kWindowClass, host::kWindowTitle));
}

TEST_F(BrinewickTest, ThePreviewLivesInsideItsParentAndSignalsWhenItIsThere) {
  uint64_t parent = x().create_window(20, 20, 200, 150);
  platform::PosixNamedSemaphore semaphore;
  ASSERT_TRUE(semaphore.create(host::kSemaphoreName));
  auto preview = start({"/p", std::to_string(parent)});
  EXPECT_EQ(semaphore.wait(10000), platform::SemaphoreWait::Signalled);
  auto found = wait_for_instance(host::kWindowTitle);
  ASSERT_TRUE(found);
  EXPECT_TRUE(found->identity.has_parent);
  auto children = x().children(parent);
  ASSERT_EQ(children.size(), 1u);
  auto geometry = x().geometry(children[0]);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width(), 200);
  EXPECT_EQ(geometry->height(), 150);

  // Keys do nothing in the preview.
  x().move_pointer(100, 100);
  x().press_key("Escape");
  EXPECT_TRUE(still_running_after(preview, 500ms));

  // A free-standing start closes the preview and runs.
  auto standalone = start({"/r"});
  EXPECT_TRUE(ends_within(preview, 10000));
  auto replaced = wait_for_instance(host::kWindowTitle);
  ASSERT_TRUE(replaced);
  EXPECT_FALSE(replaced->identity.has_parent);
  EXPECT_TRUE(processes_.is_running(standalone));
  semaphore.close();
  x().destroy_window(parent);
}

TEST_F(BrinewickTest, AskingForTheSettingsRunsFullScreen) {
  for (std::vector<std::string> arguments : {std::vector<std::string>{}, std::vector<std::string>{"/c"}}) {
    auto run = start(arguments);
    auto found = wait_for_instance(host::kWindowTitle);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->identity.mode, static_cast<int>(host::SaverMode::Standalone));
    std::this_thread::sleep_for(300ms);
    auto window = x().find_window(host::kWindowTitle);
    ASSERT_TRUE(window);
    auto geometry = x().geometry(*window);
    auto screen = x().geometry(x().root());
    ASSERT_TRUE(geometry && screen);
    EXPECT_EQ(geometry->width(), screen->width());
    EXPECT_EQ(geometry->height(), screen->height());
    processes_.send_signal(run, SIGTERM);
    EXPECT_TRUE(ends_within(run, 10000));
  }
}

TEST_F(BrinewickTest, SigtermEndsTheRunAndKeepsTheSettings) {
  auto run = start({"/r"});
  ASSERT_TRUE(wait_for_instance(host::kWindowTitle));
  std::filesystem::remove(user_data_folder() + "UserSet");
  processes_.send_signal(run, SIGTERM);
  EXPECT_TRUE(ends_within(run, 10000));
  EXPECT_TRUE(std::filesystem::exists(user_data_folder() + "UserSet"));
}

TEST_F(BrinewickTest, SettingsLastFromOneRunToTheNext) {
  auto first = start({"/r"});
  ASSERT_TRUE(wait_for_instance(host::kWindowTitle));
  processes_.send_signal(first, SIGTERM);
  ASSERT_TRUE(ends_within(first, 10000));
  std::string file = user_data_folder() + "UserSet";
  auto saved = base::read_file(file);
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->size(), base::UserSettings::kSize);
  // The user's choices of the first run (here written into the file).
  base::UserSettings settings;
  std::copy(saved->begin(), saved->end(), settings.bytes().begin());
  settings.set_u32(base::UserSettings::kMusicVolume, 37);
  settings.set_text(base::UserSettings::kLayoutName, 64, "Layout07");
  ASSERT_TRUE(base::write_file_atomically(file, settings.bytes()));

  auto second = start({"/r"});
  ASSERT_TRUE(wait_for_instance(host::kWindowTitle));
  processes_.send_signal(second, SIGTERM);
  ASSERT_TRUE(ends_within(second, 10000));
  auto again = base::read_file(file);
  ASSERT_TRUE(again);
  std::copy(again->begin(), again->end(), settings.bytes().begin());
  EXPECT_EQ(settings.u32(base::UserSettings::kMusicVolume), 37u);
  EXPECT_EQ(settings.text(base::UserSettings::kLayoutName, 64), "Layout07");
}

TEST_F(BrinewickTest, RunAsTheDaemonRunsItDrawsIntoItsWindowUntilSigterm) {
  uint64_t parent = x().create_window(0, 0, 320, 240);
  auto saver = start({"-window-id", "0x" + [&] {
                        char hex[32];
                        std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(parent));
                        return std::string(hex);
                      }()});
  auto found = wait_for_instance(host::kWindowTitle);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->identity.mode, static_cast<int>(host::SaverMode::FullScreenSaver));
  auto children = x().children(parent);
  ASSERT_EQ(children.size(), 1u);
  auto geometry = x().geometry(children[0]);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width(), 320);
  EXPECT_EQ(geometry->height(), 240);
  // Input is the daemon's business.
  x().move_pointer(10, 10);
  for (int i = 0; i < 12; ++i) x().move_pointer(20 + 10 * i, 30);
  x().press_key("Escape");
  EXPECT_TRUE(still_running_after(saver, 300ms));
  std::filesystem::remove(user_data_folder() + "UserSet");
  processes_.send_signal(saver, SIGTERM);
  EXPECT_TRUE(ends_within(saver, 10000));
  EXPECT_TRUE(std::filesystem::exists(user_data_folder() + "UserSet"));
  x().destroy_window(parent);
}

TEST_F(BrinewickTest, ASnapshotIsAPictureOfTheRequestedSize) {
  std::string picture = environment_.root() + "shot.png";
  auto run = start({"/r", "--snapshot", picture, "--frames", "5", "--size", "320x180"});
  EXPECT_TRUE(ends_within(run, 20000));
  EXPECT_TRUE(std::filesystem::exists(picture));
}

}  // namespace

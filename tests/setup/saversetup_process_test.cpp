#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "host/saver_mode.h"
#include "platform/file_registry_store.h"
#include "platform/isolated_environment.h"
#include "platform/message_queue.h"
#include "platform/posix_instance_registry.h"
#include "platform/posix_process.h"
#include "support/headless_display.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using platform::ProcessHandle;

constexpr int kPatienceMs = 15000;

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The setup tool with its own home and configuration folders.
class SaverSetupTest : public ::testing::Test {
 protected:
  void TearDown() override {
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

  // Runs saversetup with the arguments; its exit code.
  std::optional<int> setup(std::vector<std::string> arguments) {
    return processes_.wait(start(PT_SAVERSETUP, std::move(arguments)), kPatienceMs);
  }

  std::optional<std::string> saver_value() {
    return platform::FileRegistryStore().read_string(platform::Hive::User, "Control Panel\\Desktop",
                                                     "SCRNSAVE.EXE");
  }

  fs::path data_folder() const { return environment_.home() + "Documents/Pelorin Tessaly"; }

  platform_test::IsolatedEnvironment environment_;
  platform::PosixProcess processes_;
  std::vector<ProcessHandle> started_;
};

TEST_F(SaverSetupTest, DefaultSaverRegistersTheShortNameAndSelectsTheAquariumInXScreenSaver) {
  const std::string preferences =
      "# XScreenSaver Preferences File\n"
      "timeout:\t0:10:00\n"
      "mode:\t\trandom\n"
      "selected:\t-1\n"
      "programs:\t\t\t\t\t\t      \\\n"
      "\t\t\t\tlattice -root\t\t\t    \\n\\\n"
      "-\tGL: \t\t\tspheres -root\t\t\t    \\n\n"
      "\n"
      "pointerHysteresis:\t10\n";
  write(environment_.home() + ".xscreensaver", preferences);

  EXPECT_EQ(setup({"defaultsaver"}), 0);

  const std::string program_folder = fs::path(PT_SAVERSETUP).parent_path().string() + "/";
  EXPECT_EQ(saver_value(), program_folder + "Pelori~1.scr");
  EXPECT_EQ(read(environment_.home() + ".xscreensaver.bak"), preferences);
  // The build has no bin folder of installed commands: the saver goes by name.
  EXPECT_EQ(read(environment_.home() + ".xscreensaver"),
            "# XScreenSaver Preferences File\n"
            "timeout:\t0:10:00\n"
            "mode:\t\tone\n"
            "selected:\t2\n"
            "programs:\t\t\t\t\t\t      \\\n"
            "\t\t\t\tlattice -root\t\t\t    \\n\\\n"
            "-\tGL: \t\t\tspheres -root\t\t\t    \\n\\\n"
            "  GL:\tpelorin-tessaly -root \\n\n"
            "\n"
            "pointerHysteresis:\t10\n");
}

TEST_F(SaverSetupTest, DefaultSaverWithMoreTextClosesTheRunningAquariumInstead) {
  std::string why;
  ASSERT_TRUE(test_support::ensure_display(&why)) << why;
  if (test_support::display_name().empty()) GTEST_SKIP() << "needs an X server";
  platform::MessageQueue queue;
  platform::PosixInstanceRegistry registry(queue);
  auto aquarium = start(PT_BRINEWICK, {"/r"});
  for (auto deadline = std::chrono::steady_clock::now() + 15s;
       !registry.find(host::kWindowClass, host::kWindowTitle) &&
       std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(registry.find(host::kWindowClass, host::kWindowTitle));

  EXPECT_EQ(setup({"DefaultSaver", "extra"}), 0);
  EXPECT_EQ(processes_.wait(aquarium, kPatienceMs), 0);
  EXPECT_EQ(saver_value(), std::nullopt);
}

TEST_F(SaverSetupTest, DeleteSavedWithoutTheFolderCreatesAndRemovesIt) {
  ASSERT_FALSE(fs::exists(environment_.home() + "Documents"));
  EXPECT_EQ(setup({"DeleteSaved"}), 0);
  EXPECT_TRUE(fs::is_directory(environment_.home() + "Documents"));
  EXPECT_FALSE(fs::exists(data_folder()));
}

TEST_F(SaverSetupTest, DeleteSavedDoesNotFollowALinkOutOfTheFolder) {
  const fs::path outside = environment_.root() + "outside";
  write(outside / "UserSet", "kept");
  write(outside / "CycleTanks.txt", "kept");
  write(data_folder() / "UserSet", "settings");
  write(data_folder() / "Musics.txt", "songs");
  fs::create_symlink(outside / "UserSet", data_folder() / "CycleTanks.txt");
  fs::create_symlink(outside, data_folder() / "Linked");

  EXPECT_EQ(setup({"deletesaved"}), 0);

  EXPECT_FALSE(fs::exists(data_folder() / "UserSet"));
  EXPECT_FALSE(fs::exists(data_folder() / "Musics.txt"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(data_folder() / "CycleTanks.txt")));
  EXPECT_TRUE(fs::is_symlink(data_folder() / "Linked"));
  EXPECT_EQ(read(outside / "UserSet"), "kept");
  EXPECT_EQ(read(outside / "CycleTanks.txt"), "kept");
}

}  // namespace

#include <gtest/gtest.h>

#include <fstream>

#include "platform/dialogs.h"
#include "platform/isolated_environment.h"
#include "platform/posix_process.h"
#include "render/file_dialog.h"
#include "render/hand_package.h"

namespace {

// A stand-in for zenity on PATH: it writes its arguments, one per line, to
// args.txt beside itself, prints `answer` and exits with `code`.
struct FakeZenityTest : ::testing::Test {
  void install(const std::string& answer, int code) {
    const std::string script = environment.root() + "bin/zenity";
    std::filesystem::create_directories(environment.root() + "bin");
    std::ofstream(script) << "#!/bin/sh\n"
                          << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << args_file() << "'\n"
                          << "printf '%s\\n' '" << answer << "'\n"
                          << "exit " << code << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  }
  std::string args_file() const { return environment.root() + "bin/args.txt"; }
  std::vector<std::string> arguments() const {
    std::ifstream in(args_file());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  platform_test::IsolatedEnvironment environment;
  platform_test::ScopedVariable path{
      "PATH", environment.root() + "bin:" + std::string(getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin")};
  platform_test::ScopedVariable display{"DISPLAY", std::string(":99")};
  platform::PosixProcess processes;
  std::unique_ptr<platform::Dialogs> dialogs = platform::create_system_dialogs(processes);
};

TEST_F(FakeZenityTest, SavesUnderTheChosenNameWithTheDefaultExtension) {
  install("/home/me/my list", 0);
  render::FilePath buffer("Playlist");
  ASSERT_TRUE(render::choose_file(*dialogs, buffer, true, "Playlists\0*.m3u;*.pls\0All\0*.*\0", "m3u",
                                  "Export", "/music"));
  EXPECT_STREQ(buffer.c_str(), "/home/me/my list.m3u");
  EXPECT_EQ(arguments(), (std::vector<std::string>{
                             "--file-selection", "--title=Export", "--save", "--filename=/music/Playlist",
                             "--file-filter=Playlists | *.m3u *.pls", "--file-filter=All | *"}));
  EXPECT_TRUE(std::filesystem::is_empty(environment.runtime() + "pelorin-tessaly"))
      << "the answer file is removed";
}

TEST_F(FakeZenityTest, ACancelledDialogChangesNothing) {
  install("", 1);
  render::FilePath buffer("Settings.cf");
  EXPECT_FALSE(render::choose_file(*dialogs, buffer, false, nullptr, nullptr, nullptr, "/"));
  EXPECT_STREQ(buffer.c_str(), "Settings.cf");
  const std::vector<std::string> args = arguments();
  ASSERT_GE(args.size(), 2u);
  EXPECT_EQ(args[1], "--title=Load");
}

TEST_F(FakeZenityTest, WithoutADisplayNoDialogIsTried) {
  install("/never", 0);
  platform_test::ScopedVariable no_x11{"DISPLAY", std::nullopt};
  platform_test::ScopedVariable no_wayland{"WAYLAND_DISPLAY", std::nullopt};
  render::FilePath buffer;
  EXPECT_FALSE(render::choose_file(*dialogs, buffer, false, nullptr, nullptr, nullptr, nullptr));
  EXPECT_FALSE(std::filesystem::exists(args_file()));
}

}  // namespace

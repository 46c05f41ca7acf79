#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "isolated_environment.h"
#include "platform/own_process.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using platform_test::IsolatedEnvironment;
using platform_test::ScopedVariable;

struct UserDirsCase {
  const char* label;
  const char* file;  // nullptr: no user-dirs.dirs at all
  const char* expected_below_home;
  const char* expected_absolute;
};

class DocumentsFolder : public ::testing::TestWithParam<UserDirsCase> {
 protected:
  IsolatedEnvironment environment;
};

TEST_P(DocumentsFolder, FollowsUserDirs) {
  const UserDirsCase& c = GetParam();
  if (c.file != nullptr) std::ofstream(environment.config() + "user-dirs.dirs") << c.file;
  std::string expected = c.expected_absolute != nullptr ? std::string(c.expected_absolute)
                                                        : environment.home() + c.expected_below_home;
  EXPECT_EQ(documents_folder(), expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentsFolder,
    ::testing::Values(
        UserDirsCase{"no file", nullptr, "Documents/", nullptr},
        UserDirsCase{"below home", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "Dokumente/", nullptr},
        UserDirsCase{"absolute", "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n", nullptr, "/srv/docs/"},
        UserDirsCase{"among others with comments",
                     "# written by a tool\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                     "  XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n",
                     "My \"Docs\"/", nullptr},
        UserDirsCase{"commented out", "#XDG_DOCUMENTS_DIR=\"$HOME/Nope\"\n", "Documents/", nullptr},
        UserDirsCase{"relative path is ignored", "XDG_DOCUMENTS_DIR=\"docs\"\n", "Documents/", nullptr},
        UserDirsCase{"other variable is not expanded", "XDG_DOCUMENTS_DIR=\"$HOMEX/d\"\n", "Documents/",
                     nullptr},
        UserDirsCase{"unterminated quote", "XDG_DOCUMENTS_DIR=\"$HOME/d\n", "Documents/", nullptr},
        UserDirsCase{"unquoted", "XDG_DOCUMENTS_DIR=$HOME/d\n", "Documents/", nullptr}));

TEST(Folders, HomeAndConfigFollowTheEnvironment) {
  IsolatedEnvironment environment;
  EXPECT_EQ(home_folder(), environment.home());
  EXPECT_EQ(config_home_folder(), environment.config());
  EXPECT_EQ(config_system_folder(), environment.system());
  {
    // Relative or empty values do not count, as the XDG rules say.
    ScopedVariable relative("XDG_CONFIG_HOME", "relative/config");
    ScopedVariable empty("XDG_CONFIG_DIRS", "");
    EXPECT_EQ(config_home_folder(), environment.home() + ".config/");
    EXPECT_EQ(config_system_folder(), "/etc/xdg/");
  }
  ScopedVariable no_home("HOME", std::nullopt);
  std::string home = home_folder();
  EXPECT_EQ(home.front(), '/');
  EXPECT_EQ(home.back(), '/');
}

TEST(Folders, RuntimeFolderIsPrivateAndInsideXdgRuntimeDir) {
  IsolatedEnvironment environment;
  std::string folder = runtime_folder();
  ASSERT_EQ(folder, environment.runtime() + "pelorin-tessaly/");
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A folder left too open is closed again.
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(runtime_folder(), folder);
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(Folders, RuntimeFolderFallsBackToTmpWhenXdgRuntimeDirIsUnusable) {
  IsolatedEnvironment environment;
  const std::string fallback = "/tmp/pelorin-tessaly-" + std::to_string(geteuid()) + "/";
  {
    ScopedVariable missing("XDG_RUNTIME_DIR", environment.root() + "does-not-exist");
    EXPECT_EQ(runtime_folder(), fallback);
  }
  {
    ScopedVariable relative("XDG_RUNTIME_DIR", "runtime");
    EXPECT_EQ(runtime_folder(), fallback);
  }
  {
    // Too long a path leaves no room for a socket's name.
    std::string deep = environment.root() + std::string(100, 'd');
    fs::create_directories(deep);
    ScopedVariable long_path("XDG_RUNTIME_DIR", deep);
    EXPECT_EQ(runtime_folder(), fallback);
  }
  {
    // A link in place of our folder is refused, even one to a good folder.
    fs::create_directory(environment.root() + "elsewhere");
    fs::create_directory_symlink(environment.root() + "elsewhere", environment.runtime() + "pelorin-tessaly");
    EXPECT_EQ(runtime_folder(), fallback);
  }
}

TEST(Folders, RuntimeFolderOfAnotherUserIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a folder to another user";
  IsolatedEnvironment environment;
  std::string theirs = environment.runtime() + "pelorin-tessaly";
  fs::create_directory(theirs);
  ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
  EXPECT_NE(runtime_folder(), theirs + "/");
  // Nor is it taken over.
  struct stat info {};
  ASSERT_EQ(stat(theirs.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
}

TEST(Folders, ExecutableFolderHoldsTheRunningProgram) {
  std::string folder = executable_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(
      fs::equivalent(fs::path(folder) / fs::path(current_executable_path()).filename(), "/proc/self/exe"));
}

TEST(Folders, MakeDirectoriesCreatesEveryLevel) {
  IsolatedEnvironment environment;
  std::string deep = environment.root() + "a/b/c/";
  EXPECT_TRUE(make_directories(deep));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(make_directories(deep));  // already there
  std::ofstream(environment.root() + "file") << "x";
  EXPECT_FALSE(make_directories(environment.root() + "file/sub"));
  EXPECT_FALSE(make_directories(environment.root() + "file"));
}

}  // namespace
}  // namespace platform

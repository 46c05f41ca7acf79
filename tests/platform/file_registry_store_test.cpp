#include "platform/file_registry_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "isolated_environment.h"

namespace platform {
namespace {

std::string read_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_text(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << text;
}

class FileRegistryStoreTest : public ::testing::Test {
 protected:
  platform_test::IsolatedEnvironment environment;
  FileRegistryStore store;  // made after the environment: uses its folders
};

TEST_F(FileRegistryStoreTest, HivesLiveInTheXdgConfigFolders) {
  EXPECT_EQ(store.file_of(Hive::User), environment.config() + "pelorin-tessaly/user.reg");
  EXPECT_EQ(store.file_of(Hive::Machine), environment.system() + "pelorin-tessaly/machine.reg");

  platform_test::ScopedVariable dirs("XDG_CONFIG_DIRS", environment.root() + "first:/etc/xdg");
  EXPECT_EQ(machine_registry_file(), environment.root() + "first/pelorin-tessaly/machine.reg");
  platform_test::ScopedVariable no_config("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(user_registry_file(), environment.home() + ".config/pelorin-tessaly/user.reg");
}

TEST_F(FileRegistryStoreTest, ValuesWrittenByOneStoreAreReadByAnother) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brinewick.scr";
  ASSERT_TRUE(store.write_string(Hive::Machine, key, "", "/opt/pt/Brinewick.scr"));
  ASSERT_TRUE(store.write_string(Hive::User, "Control Panel\\Desktop", "SCRNSAVE.EXE", "x.scr"));
  ASSERT_TRUE(store.write_dword(Hive::User, "Control Panel\\Desktop", "ScreenSaveUsePassword", 1));

  FileRegistryStore other;
  EXPECT_EQ(other.read_string(Hive::Machine, key, ""), "/opt/pt/Brinewick.scr");
  EXPECT_EQ(other.read_string(Hive::User, key, ""), std::nullopt);  // hives are apart
  EXPECT_EQ(other.read_string(Hive::User, "control panel\\desktop", "scrnsave.exe"), "x.scr");
  EXPECT_EQ(other.read_dword(Hive::User, "Control Panel\\Desktop", "ScreenSaveUsePassword"), 1u);
  // A value of the other type reads as missing.
  EXPECT_EQ(other.read_dword(Hive::User, "Control Panel\\Desktop", "SCRNSAVE.EXE"), std::nullopt);
  EXPECT_EQ(other.read_string(Hive::User, "Control Panel\\Desktop", "ScreenSaveUsePassword"), std::nullopt);
}

TEST_F(FileRegistryStoreTest, ReadsAHandWrittenFileAndSkipsItsBrokenLines) {
  write_text(store.file_of(Hive::User),
             "[Control Panel\\Desktop]\n"
             "this line is broken\n"
             "\"ScreenSaveUsePassword\"=dword:1\n"
             "\"Bad\"=dword:nothex\n");
  EXPECT_EQ(store.read_dword(Hive::User, "Control Panel\\Desktop", "ScreenSaveUsePassword"), 1u);
  EXPECT_EQ(store.read_dword(Hive::User, "Control Panel\\Desktop", "Bad"), std::nullopt);
  // Changing a value rewrites the file without the broken lines.
  ASSERT_TRUE(store.write_dword(Hive::User, "Control Panel\\Desktop", "Other", 5));
  EXPECT_EQ(read_text(store.file_of(Hive::User)),
            "[Control Panel\\Desktop]\n"
            "\"ScreenSaveUsePassword\"=dword:00000001\n"
            "\"Other\"=dword:00000005\n");
}

TEST_F(FileRegistryStoreTest, MissingFileReadsAsEmpty) {
  EXPECT_EQ(store.read_string(Hive::User, "A", "n"), std::nullopt);
  EXPECT_FALSE(store.delete_value(Hive::User, "A", "n"));
  EXPECT_FALSE(store.delete_key(Hive::User, "A"));
}

TEST_F(FileRegistryStoreTest, DeletesValuesAndKeys) {
  ASSERT_TRUE(store.write_dword(Hive::User, "A", "one", 1));
  ASSERT_TRUE(store.write_dword(Hive::User, "A", "two", 2));
  ASSERT_TRUE(store.write_dword(Hive::User, "A\\Sub", "three", 3));
  ASSERT_TRUE(store.write_dword(Hive::User, "B", "four", 4));

  EXPECT_TRUE(store.delete_value(Hive::User, "a", "ONE"));
  EXPECT_EQ(store.read_dword(Hive::User, "A", "one"), std::nullopt);
  EXPECT_EQ(store.read_dword(Hive::User, "A", "two"), 2u);

  EXPECT_TRUE(store.delete_key(Hive::User, "A"));
  EXPECT_EQ(store.read_dword(Hive::User, "A", "two"), std::nullopt);
  EXPECT_EQ(store.read_dword(Hive::User, "A\\Sub", "three"), std::nullopt);
  EXPECT_EQ(store.read_dword(Hive::User, "B", "four"), 4u);
}

TEST_F(FileRegistryStoreTest, FailedSaveKeepsTheOldFileAndReportsIt) {
  ASSERT_TRUE(store.write_string(Hive::User, "A", "n", "old"));
  const std::string before = read_text(store.file_of(Hive::User));
  // A folder where the temporary file has to go makes the save fail.
  std::filesystem::create_directory(store.file_of(Hive::User) + ".tmp");

  EXPECT_FALSE(store.write_string(Hive::User, "A", "n", "new"));
  EXPECT_FALSE(store.delete_value(Hive::User, "A", "n"));
  EXPECT_EQ(read_text(store.file_of(Hive::User)), before);
  EXPECT_EQ(store.read_string(Hive::User, "A", "n"), "old");
}

TEST_F(FileRegistryStoreTest, RefusesAnEmptyKey) {
  EXPECT_FALSE(store.write_dword(Hive::User, "", "n", 1));
  EXPECT_FALSE(std::filesystem::exists(store.file_of(Hive::User)));
}

}  // namespace
}  // namespace platform

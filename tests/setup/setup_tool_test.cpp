#include "setup/setup_tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/saver_mode.h"
#include "platform/fake_instance_registry.h"
#include "platform/fake_registry_store.h"
#include "platform/isolated_environment.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

TEST(SetupTool, TheWholeArgumentTextChoosesTheAction) {
  const std::pair<const char*, SetupAction> cases[] = {
      {"DeleteSaved", SetupAction::DeleteSaved},
      {"deletesaved", SetupAction::DeleteSaved},
      {"DefaultSaver", SetupAction::DefaultSaver},
      {"defaultsaver", SetupAction::DefaultSaver},
      {"DEFAULTSAVER", SetupAction::DefaultSaver},
      {"DefaultSaver extra", SetupAction::CloseInstances},
      {" DefaultSaver", SetupAction::CloseInstances},
      {"Default", SetupAction::CloseInstances},
      {"", SetupAction::CloseInstances},
      {"anything", SetupAction::CloseInstances},
  };
  for (const auto& [word, action] : cases) EXPECT_EQ(action_for(word), action) << '"' << word << '"';
}

TEST(SetupTool, ShortNamesKeepSixCharactersAndTheScreenSaverEnding) {
  const std::pair<const char*, const char*> cases[] = {
      {"Pelorin Tessaly.scr", "Pelori~1.scr"},
      {"Brinewick.scr", "Brinew~1.scr"},  // nine characters are one too many
      {"Eightchr.exe", "Eightchr.scr"},   // eight fit; the ending is always .scr
      {"Short.scr", "Short.scr"},
      {"NoEnding", "NoEnding.scr"},
  };
  for (const auto& [name, short_name] : cases) EXPECT_EQ(short_file_name(name), short_name) << name;
}

class SetupRun : public ::testing::Test {
 protected:
  void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::optional<std::string> saver_value() {
    return registry.read_string(platform::Hive::User, "Control Panel\\Desktop", "SCRNSAVE.EXE");
  }

  platform_test::TempFolder root;
  platform::MessageQueue inbox;
  platform::FakeInstanceRegistry instances{inbox};
  platform::FakeRegistryStore registry;
  SetupServices services{instances,
                         registry,
                         root.path() + "program/",
                         root.path() + "home/",
                         root.path() + "docs/",
                         "pelorin-tessaly -root"};
};

TEST_F(SetupRun, DefaultSaverRegistersTheShortNameInTheProgramFolder) {
  EXPECT_EQ(run_setup(services, "defaultsaver"), 0);
  EXPECT_EQ(saver_value(), root.path() + "program/Pelori~1.scr");
  EXPECT_TRUE(instances.deliveries.empty());
  // Without preferences of XScreenSaver, none are made.
  EXPECT_FALSE(fs::exists(root.path() + "home/.xscreensaver"));
}

TEST_F(SetupRun, DefaultSaverAlsoSelectsTheAquariumForXScreenSaver) {
  write(root.path() + "home/.xscreensaver", "mode:\trandom\nprograms:\t\\\n  lattice -root \\n\n");
  run_setup(services, "DefaultSaver");
  std::ifstream in(root.path() + "home/.xscreensaver");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text,
            "mode:\tone\nprograms:\t\\\n  lattice -root \\n\\\n  GL:\tpelorin-tessaly -root \\n\n"
            "selected:\t\t1\n");
}

TEST_F(SetupRun, AnythingElseClosesTheRunningInstances) {
  int closes = 0;
  auto counts = [&closes](const platform::Message& message) -> std::optional<int64_t> {
    if (message.id == host::MSG_CLOSE_INSTANCE) ++closes;
    return 0;
  };
  instances.add_peer({host::kWindowClass, host::kWindowTitle, false, 4, 11}, counts);
  instances.add_peer({host::kWindowClass, host::kDesktopTitle, true, 5, 12}, counts);
  for (const char* word : {"DefaultSaver extra", ""}) {
    closes = 0;
    EXPECT_EQ(run_setup(services, word), 0);
    EXPECT_EQ(closes, 2) << word;
  }
  EXPECT_EQ(saver_value(), std::nullopt);
}

// The user data folder in a documents folder of its own, and somewhere else
// that links may point to.
class DeleteSaved : public ::testing::Test {
 protected:
  std::string documents() const { return root.path() + "docs/"; }
  fs::path data() const { return root.path() + "docs/Pelorin Tessaly"; }
  fs::path outside() const { return root.path() + "outside"; }

  void write(const fs::path& path, const std::string& text = "x") {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  DeleteResult run() {
    return delete_user_data(documents(), root.path() + "home/", root.path() + "program/");
  }

  platform_test::TempFolder root;
};

TEST_F(DeleteSaved, WithoutTheFolderItIsCreatedAndRemovedAgain) {
  EXPECT_EQ(run(), DeleteResult::Removed);
  EXPECT_FALSE(fs::exists(data()));
  EXPECT_TRUE(fs::is_directory(documents()));
}

TEST_F(DeleteSaved, RemovesTheProgramsFilesAndThenTheEmptyFolder) {
  for (const char* name : {"UserSet", "Musics.txt", "CycleTanks.txt"}) write(data() / name);
  EXPECT_EQ(run(), DeleteResult::Removed);
  EXPECT_FALSE(fs::exists(data()));
}

TEST_F(DeleteSaved, KeepsWhatTheProgramDidNotWrite) {
  for (const char* name : {"UserSet", "Musics.txt", "CycleTanks.txt", "Notes.txt"}) write(data() / name);
  write(data() / "Songs" / "song.ogg");
  EXPECT_EQ(run(), DeleteResult::Kept);
  EXPECT_FALSE(fs::exists(data() / "UserSet"));
  EXPECT_FALSE(fs::exists(data() / "Musics.txt"));
  EXPECT_FALSE(fs::exists(data() / "CycleTanks.txt"));
  EXPECT_TRUE(fs::exists(data() / "Notes.txt"));
  EXPECT_TRUE(fs::exists(data() / "Songs" / "song.ogg"));
}

TEST_F(DeleteSaved, NeverFollowsALink) {
  write(outside() / "UserSet", "the user's own");
  write(outside() / "Musics.txt", "the user's own");
  fs::create_directories(data());
  fs::create_symlink(outside() / "UserSet", data() / "UserSet");
  fs::create_symlink(outside(), data() / "Elsewhere");
  EXPECT_EQ(run(), DeleteResult::Kept);
  EXPECT_FALSE(fs::exists(fs::symlink_status(data() / "UserSet")));  // the link went
  EXPECT_TRUE(fs::is_symlink(data() / "Elsewhere"));
  EXPECT_TRUE(fs::exists(outside() / "UserSet"));
  EXPECT_TRUE(fs::exists(outside() / "Musics.txt"));
}

TEST_F(DeleteSaved, RefusesAFolderThatIsALink) {
  write(outside() / "UserSet");
  fs::create_directories(documents());
  fs::create_directory_symlink(outside(), data());
  EXPECT_EQ(run(), DeleteResult::Refused);
  EXPECT_TRUE(fs::exists(outside() / "UserSet"));
  EXPECT_TRUE(fs::is_symlink(data()));
}

TEST_F(DeleteSaved, RefusesTheHomeAndTheProgramFolder) {
  write(data() / "UserSet");
  const std::string folder = data().string() + "/";
  EXPECT_EQ(delete_user_data(documents(), folder, root.path() + "program/"), DeleteResult::Refused);
  EXPECT_EQ(delete_user_data(documents(), root.path() + "home/", folder), DeleteResult::Refused);
  // The same folder by another way of writing it.
  EXPECT_EQ(delete_user_data(documents(), root.path() + "program/", root.path() + "docs/./Pelorin Tessaly"),
            DeleteResult::Refused);
  EXPECT_TRUE(fs::exists(data() / "UserSet"));
}

TEST_F(DeleteSaved, RefusesARelativeOrEmptyDocumentsFolderWithoutCreatingAnything) {
  const fs::path before = fs::current_path();
  fs::current_path(root.path());
  EXPECT_EQ(delete_user_data("", root.path() + "home/", root.path() + "program/"), DeleteResult::Refused);
  EXPECT_EQ(delete_user_data("docs/", root.path() + "home/", root.path() + "program/"),
            DeleteResult::Refused);
  fs::current_path(before);
  EXPECT_FALSE(fs::exists(root.path() + "Pelorin Tessaly"));
  EXPECT_FALSE(fs::exists(root.path() + "docs"));
}

}  // namespace
}  // namespace setup

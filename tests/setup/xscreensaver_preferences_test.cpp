#include "setup/xscreensaver_preferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/isolated_environment.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

constexpr char kCommand[] = "pelorin-tessaly -root";

// Preferences as the settings tool writes them: aligned with tabs, entries
// with labels, visuals and left-out ones, settings after the list.
constexpr char kPreferences[] =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "mode:\t\trandom\n"
    "selected:\t3\n"
    "\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tlattice -root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tspheres -root\t\t\t\t    \\n\\\n"
    "-\t\t\t\twaves -root -count 3\t\t\t    \\n\\\n"
    "  \"Drifting Dots\" GL:\tdots -root\t\t\t\t    \\n\n"
    "\n"
    "\n"
    "pointerHysteresis:\t10\n";

TEST(XScreenSaverPreferences, AddsTheAquariumAtTheEndAndSelectsIt) {
  const std::string expected =
      "# XScreenSaver Preferences File\n"
      "timeout:\t0:10:00\n"
      "mode:\t\tone\n"
      "selected:\t4\n"
      "\n"
      "programs:\t\t\t\t\t\t\t      \\\n"
      "\t\t\t\tlattice -root\t\t\t\t    \\n\\\n"
      "  GL: \t\t\t\tspheres -root\t\t\t\t    \\n\\\n"
      "-\t\t\t\twaves -root -count 3\t\t\t    \\n\\\n"
      "  \"Drifting Dots\" GL:\tdots -root\t\t\t\t    \\n\\\n"
      "  GL:\tpelorin-tessaly -root \\n\n"
      "\n"
      "\n"
      "pointerHysteresis:\t10\n";
  EXPECT_EQ(select_aquarium(kPreferences, kCommand), expected);
  // Once selected, there is nothing more to do.
  EXPECT_EQ(select_aquarium(expected, kCommand), std::nullopt);
}

TEST(XScreenSaverPreferences, SelectsAnEntryThatIsThereAndTakesItInAgain) {
  const std::string text =
      "mode:\tone\n"
      "selected:\t0\n"
      "programs:\t\\\n"
      "  lattice -root \\n\\\n"
      "   \\n\\\n"  // a blank entry does not count
      "- GL: /opt/pt/bin/pelorin-tessaly -root \\n\\\n"
      "  dots -root \\n\n";
  const std::string expected =
      "mode:\tone\n"
      "selected:\t1\n"
      "programs:\t\\\n"
      "  lattice -root \\n\\\n"
      "   \\n\\\n"
      "  GL: /opt/pt/bin/pelorin-tessaly -root \\n\\\n"
      "  dots -root \\n\n";
  EXPECT_EQ(select_aquarium(text, kCommand), expected);
}

struct EditCase {
  const char* name;
  std::string before;
  std::string after;
};

TEST(XScreenSaverPreferences, EditsOnlyWhatItMust) {
  const EditCase cases[] = {
      {"missing settings are added at the end", "programs: \\\n  lattice -root \\n\ntimeout: 0:10:00",
       "programs: \\\n  lattice -root \\n\\\n  GL:\tpelorin-tessaly -root \\n\ntimeout: 0:10:00\n"
       "mode:\t\tone\nselected:\t\t1\n"},
      {"a last entry without its line break gets one", "programs:\tlattice -root\nmode: one\nselected: 7\n",
       "programs:\tlattice -root \\n\\\n  GL:\tpelorin-tessaly -root \\n\nmode: one\nselected: 1\n"},
      {"an empty list", "programs:\nmode: random\n",
       "programs:\\\n  GL:\tpelorin-tessaly -root \\n\nmode: one\nselected:\t\t0\n"},
      {"no list at all", "timeout: 0:05:00\n",
       "timeout: 0:05:00\nprograms:\t\\\n  GL:\tpelorin-tessaly -root \\n\nmode:\t\tone\nselected:\t\t0\n"},
      {"carriage returns stay", "mode: random\r\nprograms: \\\r\n  lattice -root \\n\r\n",
       "mode: one\r\nprograms: \\\r\n  lattice -root \\n\\\r\n  GL:\tpelorin-tessaly -root \\n\r\n"
       "selected:\t\t1\r\n"},
      {"comments are not settings",
       "# mode: random\n! selected: 2\nprograms: pelorin-tessaly -root\nmode: one\nselected: 0\n", ""},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto result = select_aquarium(c.before, kCommand);
    if (c.after.empty()) {
      EXPECT_EQ(result, std::nullopt);
    } else {
      EXPECT_EQ(result, c.after);
    }
  }
}

TEST(XScreenSaverPreferences, KnowsTheAquariumByItsProgram) {
  const std::pair<const char*, bool> cases[] = {
      {"pelorin-tessaly -root", true},
      {"GL: /usr/local/bin/pelorin-tessaly -root", true},
      {"- GL: brinewick --root", true},
      {"\"Aquarium\" GL: '/opt/my dir/bin/pelorin-tessaly' -root", true},
      {"GL:\"Aquarium\" /opt/pt/lib/pelorin-tessaly/Brinewick.scr -root", true},
      {"GL: lattice -root", false},
      {"lattice -root -program pelorin-tessaly", false},
      {"pelorin-tessaly-extra -root", false},
      {"\"pelorin-tessaly\" lattice -root", false},
  };
  for (const auto& [entry, ours] : cases) EXPECT_EQ(is_aquarium_entry(entry), ours) << entry;
}

class PreferencesFile : public ::testing::Test {
 protected:
  std::string home() const { return folder.path(); }
  std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  platform_test::TempFolder folder;
};

TEST_F(PreferencesFile, NoFileMeansNoXScreenSaverAndNothingIsWritten) {
  EXPECT_EQ(update_preferences_file(home(), kCommand), PreferencesUpdate::NoFile);
  EXPECT_TRUE(fs::is_empty(home()));
}

TEST_F(PreferencesFile, KeepsABackupAndThePermissions) {
  const fs::path file = home() + ".xscreensaver";
  write(file, kPreferences);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

  EXPECT_EQ(update_preferences_file(home(), kCommand), PreferencesUpdate::Updated);
  EXPECT_EQ(read(home() + ".xscreensaver.bak"), kPreferences);
  EXPECT_EQ(read(file), *select_aquarium(kPreferences, kCommand));
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  // Run again: nothing changes, and the backup still holds the original.
  EXPECT_EQ(update_preferences_file(home(), kCommand), PreferencesUpdate::AlreadySelected);
  EXPECT_EQ(read(home() + ".xscreensaver.bak"), kPreferences);
}

TEST_F(PreferencesFile, ALinkedFileIsChangedWhereItPoints) {
  fs::create_directories(home() + "dotfiles");
  const fs::path target = home() + "dotfiles/xscreensaver";
  write(target, kPreferences);
  fs::create_symlink(target, home() + ".xscreensaver");

  EXPECT_EQ(update_preferences_file(home(), kCommand), PreferencesUpdate::Updated);
  EXPECT_TRUE(fs::is_symlink(home() + ".xscreensaver"));
  EXPECT_EQ(read(target), *select_aquarium(kPreferences, kCommand));
}

}  // namespace
}  // namespace setup

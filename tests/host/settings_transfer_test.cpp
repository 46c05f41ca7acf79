#include "host/settings_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host/settings_file.h"
#include "render/hand_package.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

using base::UserSettings;
using render_test::Bytes;
using render_test::bytes_of;
using render_test::read_bytes;
using render_test::write_bytes;

// Records what the settings operations asked of the aquarium, in order.
struct RecordingEvents : host::SettingsEvents {
  void begin_modal() override { calls.push_back("begin_modal"); }
  void end_modal() override { calls.push_back("end_modal"); }
  void clear_fish_population(bool empty_slots) override {
    calls.push_back(empty_slots ? "clear_fish empty_slots" : "clear_fish keep_slots");
  }
  void reset_tank_list() override { calls.push_back("reset_tank_list"); }
  void reload_fish_and_tank_list() override { calls.push_back("reload_fish_and_tank_list"); }
  void select_tank(const std::string& name, bool initial) override {
    calls.push_back("select_tank " + name + (initial ? " initial" : ""));
  }
  void store_scene_state() override {
    calls.push_back("store_scene_state");
    if (!cycle_to_store.empty()) write_bytes(cycle_file, bytes_of(cycle_to_store));
  }

  std::vector<std::string> calls;
  std::filesystem::path cycle_file;
  std::string cycle_to_store;  // what the tank list writes when asked to
};

struct SettingsTransferTest : ::testing::Test {
  SettingsTransferTest() {
    std::filesystem::create_directories(user_path);
    std::filesystem::create_directories(elsewhere);
    texts.parse(render::Block::copy_of("9991 Load settings\r\n9992 Save settings\r\n9993 Replace %s?\r\n"));
    host::reset_to_defaults(settings, 1920, 1080);
    events.cycle_file = user_path / "CycleTanks.txt";
  }

  host::SettingsContext context() {
    return host::SettingsContext{settings, dialogs, events, texts, user, 1920, 1080};
  }
  std::set<std::string> user_files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(user_path))
      names.insert(entry.path().filename().string());
    return names;
  }
  Bytes record_bytes(const UserSettings& s) const { return Bytes(s.bytes().begin(), s.bytes().end()); }

  render_test::TempFolder root;
  std::filesystem::path user_path = root.path() / "user";
  std::string user = user_path.string() + "/";
  std::filesystem::path elsewhere = root.path() / "elsewhere";
  UserSettings settings;
  platform::FakeDialogs dialogs;
  RecordingEvents events;
  render::TextTable texts;
  host::SettingsTransfer transfer;
};

TEST_F(SettingsTransferTest, ExportThenImportRestoresTheRecordAndTheTankCycle) {
  settings.set_text(UserSettings::kTankName, 64, "Tank05_Reef");
  settings.set_u32(UserSettings::kMusicVolume, 40);
  settings.set_i32(UserSettings::kFishSlots, 30001);
  settings.set_flag(UserSettings::kUniqueRandomFish, true);
  write_bytes(user_path / "CycleTanks.txt", bytes_of("Tank02\n"));
  events.cycle_to_store = "Tank05_Reef\nTank02\n";

  dialogs.chosen_files = {(elsewhere / "backup").string()};
  ASSERT_TRUE(transfer.export_settings(context()));
  ASSERT_EQ(dialogs.file_requests.size(), 1u);
  const platform::FileDialogRequest& save = dialogs.file_requests[0];
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.title, "Save settings");
  EXPECT_EQ(save.folder, user) << "the first dialog starts in the user data folder";
  ASSERT_EQ(save.filters.size(), 1u);
  EXPECT_EQ(save.filters[0], (platform::FileFilter{"Setting File(*.cf)", {"*.cf"}}));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"begin_modal", "store_scene_state", "end_modal"}));
  EXPECT_EQ(read_bytes(user_path / "UserSet"), record_bytes(settings)) << "export saves the record as well";
  const std::filesystem::path package = elsewhere / "backup.cf";
  ASSERT_TRUE(std::filesystem::exists(package)) << "the extension is added";
  const UserSettings exported = settings;

  // Change the aquarium, then take the export back.
  settings.set_text(UserSettings::kTankName, 64, "Tank09");
  settings.set_u32(UserSettings::kMusicVolume, 10);
  settings.set_i32(UserSettings::kFishSlots, 0);
  settings.set_flag(UserSettings::kUniqueRandomFish, false);
  write_bytes(user_path / "CycleTanks.txt", bytes_of("Tank01\n"));
  events.calls.clear();

  dialogs.chosen_files = {package.string()};
  ASSERT_TRUE(transfer.import_settings(context()));
  ASSERT_EQ(dialogs.file_requests.size(), 2u);
  const platform::FileDialogRequest& open = dialogs.file_requests[1];
  EXPECT_FALSE(open.save);
  EXPECT_EQ(open.title, "Load settings");
  EXPECT_EQ(open.folder, elsewhere.string() + "/") << "the next dialog starts where the last file was";
  EXPECT_EQ(settings.bytes(), exported.bytes());
  EXPECT_EQ(read_bytes(user_path / "CycleTanks.txt"), bytes_of("Tank05_Reef\nTank02\n"));
  EXPECT_EQ(events.calls, (std::vector<std::string>{"begin_modal", "clear_fish keep_slots", "reset_tank_list",
                                                    "reload_fish_and_tank_list",
                                                    "select_tank Tank05_Reef initial", "end_modal"}));
}

TEST_F(SettingsTransferTest, ImportKeepsWhatDescribesThisComputer) {
  UserSettings& here = settings;
  here.set_u32(UserSettings::kFlags, 0x0A0A0A0A);
  here.set_u32(UserSettings::kSecondFlags, 0x1234);
  for (std::size_t i = 0; i < 4; ++i)
    here.set_i32(UserSettings::kFullScreenMode + 4 * i, 1280 + static_cast<int32_t>(i));
  here.bytes()[UserSettings::kDisplayByte] = 5;
  here.bytes()[UserSettings::kMultisampleType] = 4;
  here.set_i32(UserSettings::kWindowLeft, 10);
  here.set_i32(UserSettings::kWindowTop, 20);
  here.set_i32(UserSettings::kWindowWidth, 1000);
  here.set_i32(UserSettings::kWindowHeight, 600);
  here.set_i32(UserSettings::kViewAspect, 1);
  here.set_i32(UserSettings::kZoomDirection, 1);
  here.set_text(UserSettings::kLayoutName, 64, "Layout02");
  const UserSettings before = here;

  UserSettings foreign;
  host::reset_to_defaults(foreign, 2560, 1440);
  foreign.set_u32(UserSettings::kFlags, ~0x0A0A0A0Au);  // every bit differs
  foreign.set_u32(UserSettings::kSecondFlags, 0x9999);
  for (std::size_t i = 0; i < 4; ++i) foreign.set_i32(UserSettings::kFullScreenMode + 4 * i, 640);
  foreign.bytes()[UserSettings::kDisplayByte] = 9;
  foreign.bytes()[UserSettings::kMultisampleType] = 8;
  foreign.set_i32(UserSettings::kWindowLeft, 300);
  foreign.set_i32(UserSettings::kWindowTop, 200);
  foreign.set_i32(UserSettings::kWindowWidth, 700);
  foreign.set_i32(UserSettings::kWindowHeight, 400);
  foreign.set_i32(UserSettings::kViewAspect, 2);
  foreign.set_i32(UserSettings::kZoomDirection, -1);
  foreign.set_text(UserSettings::kLayoutName, 64, "Layout05");
  foreign.set_text(UserSettings::kTankName, 64, "Tank04");
  foreign.set_text(UserSettings::kSoundName, 32, "Rain");
  foreign.set_u32(UserSettings::kMusicFlags, 2);
  foreign.set_u32(UserSettings::kMusicVolume, 30);
  foreign.set_u32(UserSettings::kFeedingInterval, 100);
  foreign.set_u32(UserSettings::kRandomPoolCount, 3);
  foreign.set_i32(UserSettings::kFishSlots, 30001);
  foreign.set_u32(UserSettings::kColourTable, 0x123456);
  foreign.set_u32(UserSettings::kBubbleEmitter, 10);
  foreign.set_i32(UserSettings::kCameraPreset, 3);
  foreign.bytes()[0x020] = 0x77;  // a byte without a meaning here travels along

  render::PackageBuilder builder;
  builder.add(foreign.bytes(), "UserSet", true);
  const std::string path = (elsewhere / "foreign.cf").string();
  ASSERT_TRUE(builder.write(path.c_str(), false, false));
  ASSERT_TRUE(transfer.import_package(context(), path));

  enum From { Here, Foreign };
  struct Field {
    const char* what;
    std::size_t offset, length;
    From from;
  };
  const Field fields[] = {
      {"second flag word", 0x004, 4, Here},     {"full-screen mode", 0x008, 16, Here},
      {"byte 0x018", 0x018, 1, Here},           {"multisample type", 0x019, 1, Here},
      {"byte 0x020", 0x020, 1, Foreign},        {"feeding interval", 0x034, 4, Foreign},
      {"random pool count", 0x040, 4, Foreign}, {"window rectangle", 0x048, 16, Here},
      {"music flags", 0x058, 4, Foreign},       {"music volume", 0x068, 4, Foreign},
      {"sound name", 0x078, 32, Foreign},       {"layout name", 0x098, 64, Here},
      {"tank name", 0x0D8, 64, Foreign},        {"fish slots", 0x118, 256, Foreign},
      {"colour block", 0x318, 0x68, Foreign},   {"bubble emitter", 0x384, 4, Foreign},
      {"camera preset", 0x39C, 4, Foreign},     {"view aspect", 0x3A0, 4, Here},
      {"zoom direction", 0x3A4, 4, Here},
  };
  for (const Field& f : fields) {
    const UserSettings& source = f.from == Here ? before : foreign;
    const auto begin = static_cast<std::ptrdiff_t>(f.offset);
    const auto end = static_cast<std::ptrdiff_t>(f.offset + f.length);
    EXPECT_EQ(Bytes(settings.bytes().begin() + begin, settings.bytes().begin() + end),
              Bytes(source.bytes().begin() + begin, source.bytes().begin() + end))
        << f.what;
  }
  // Only the random-fish bits 7 to 10 and the tank-cycle bits 22 to 24 come
  // from the other computer.
  for (uint32_t bit = 0; bit < 32; ++bit) {
    const uint32_t mask = 1u << bit;
    const bool transferable = (bit >= 7 && bit <= 10) || (bit >= 22 && bit <= 24);
    const UserSettings& source = transferable ? foreign : before;
    EXPECT_EQ(settings.flags() & mask, source.flags() & mask) << "flag bit " << bit;
  }
}

TEST_F(SettingsTransferTest, ImportTakesOnlyTheTwoSettingsEntries) {
  UserSettings first;
  host::reset_to_defaults(first, 1920, 1080);
  first.set_text(UserSettings::kTankName, 64, "TankFirst");
  UserSettings second = first;
  second.set_text(UserSettings::kTankName, 64, "TankSecond");
  const render_test::HandPackage hostile =
      render_test::make_package("", 0,
                                {
                                    {"../x", bytes_of("escaped")},
                                    {"..", bytes_of("dots")},
                                    {"sub/UserSet", record_bytes(second)},
                                    {"UserSet", record_bytes(first), render_test::Form::Deflated},
                                    {"USERSET", record_bytes(second)},
                                    {"Musics.txt", bytes_of("/tmp/evil.mp3\n")},
                                    {"CycleTanks.txt", bytes_of("Tank02\n")},
                                    {"Launch.sh", bytes_of("#!/bin/sh\n")},
                                });
  const std::filesystem::path path = elsewhere / "hostile.cf";
  write_bytes(path, hostile.bytes);
  write_bytes(user_path / "Musics.txt", bytes_of("my songs\n"));

  ASSERT_TRUE(transfer.import_package(context(), path.string()));
  EXPECT_EQ(user_files(), (std::set<std::string>{"CycleTanks.txt", "Musics.txt", "UserSet"}));
  EXPECT_EQ(read_bytes(user_path / "Musics.txt"), bytes_of("my songs\n"));
  EXPECT_EQ(read_bytes(user_path / "UserSet"), record_bytes(first)) << "the first entry of that name wins";
  EXPECT_EQ(read_bytes(user_path / "CycleTanks.txt"), bytes_of("Tank02\n"));
  EXPECT_FALSE(std::filesystem::exists(root.path() / "x"));
  EXPECT_FALSE(std::filesystem::exists(user_path / "sub"));
  EXPECT_EQ(settings.text(UserSettings::kTankName, 64), "TankFirst");
}

TEST_F(SettingsTransferTest, NothingChangesWithoutASettingsPackage) {
  render::PackageBuilder other;
  other.add(bytes_of("a song\n"), "Musics.txt", false);
  struct Case {
    const char* what;
    Bytes file;  // empty: the dialog is cancelled
  };
  const Case cases[] = {
      {"not a package", bytes_of("UserSet but not a package")},
      {"a package without settings", other.encode("").value()},
      {"cancelled", {}},
  };
  write_bytes(user_path / "UserSet", bytes_of("stored"));
  settings.set_text(UserSettings::kTankName, 64, "Tank06");
  const UserSettings before = settings;
  for (const Case& c : cases) {
    events.calls.clear();
    dialogs.chosen_files.clear();
    if (!c.file.empty()) {
      const std::filesystem::path path = elsewhere / "settings.cf";
      write_bytes(path, c.file);
      dialogs.chosen_files = {path.string()};
    }
    EXPECT_FALSE(transfer.import_settings(context())) << c.what;
    EXPECT_EQ(settings.bytes(), before.bytes()) << c.what;
    EXPECT_EQ(user_files(), std::set<std::string>{"UserSet"}) << c.what;
    EXPECT_EQ(read_bytes(user_path / "UserSet"), bytes_of("stored")) << c.what;
    EXPECT_EQ(events.calls, (std::vector<std::string>{"begin_modal", "end_modal"})) << c.what;
    if (std::string(c.what) == "not a package") {
      EXPECT_EQ(transfer.dialog_folder(context()), user) << "a file that is no package is not remembered";
    }
  }
}

TEST_F(SettingsTransferTest, ExportOverAnExistingFileAsksFirst) {
  const std::filesystem::path path = elsewhere / "backup.cf";
  write_bytes(path, bytes_of("old"));

  dialogs.chosen_files = {path.string()};
  dialogs.answers = {platform::IDNO};
  EXPECT_FALSE(transfer.export_settings(context()));
  EXPECT_EQ(read_bytes(path), bytes_of("old"));
  EXPECT_FALSE(std::filesystem::exists(user_path / "UserSet")) << "nothing is written";
  EXPECT_EQ(events.calls, (std::vector<std::string>{"begin_modal", "end_modal"}));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Replace backup.cf?");
  EXPECT_EQ(dialogs.shown[0].caption, "Save settings");
  EXPECT_EQ(dialogs.shown[0].style, platform::MB_ICONWARNING | platform::MB_YESNO);

  dialogs.chosen_files = {path.string()};
  dialogs.answers = {platform::IDYES};
  EXPECT_TRUE(transfer.export_settings(context()));
  render::PackageReader written;
  ASSERT_TRUE(written.open_file(path.c_str(), false));
  EXPECT_EQ(written.count(), 1u) << "without a tank cycle file only the record";
  const render::Block* record = written.read("UserSet");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(Bytes(record->bytes().begin(), record->bytes().end()), record_bytes(settings));
}

TEST_F(SettingsTransferTest, ResetDeletesBothFilesAndKeepsTheDisplaySettings) {
  settings.set_i32(UserSettings::kFullScreenMode, 1280);
  settings.set_i32(UserSettings::kWindowLeft, 33);
  settings.set_i32(UserSettings::kWindowWidth, 1111);
  settings.set_i32(UserSettings::kViewAspect, 2);
  settings.set_i32(UserSettings::kZoomDirection, 1);
  settings.set_text(UserSettings::kLayoutName, 64, "Layout03");
  settings.set_flag(UserSettings::kWindowed, true);
  settings.set_flag(UserSettings::kAntialiasing, true);
  settings.set_flag(UserSettings::kUniqueRandomFish, true);
  settings.set_flag(UserSettings::kCycleInOrder, false);
  settings.set_text(UserSettings::kTankName, 64, "Tank08");
  settings.set_u32(UserSettings::kMusicVolume, 5);
  write_bytes(user_path / "UserSet", record_bytes(settings));
  write_bytes(user_path / "CycleTanks.txt", bytes_of("Tank08\n"));
  write_bytes(user_path / "Musics.txt", bytes_of("my songs\n"));

  transfer.reset_settings(context());
  EXPECT_EQ(user_files(), std::set<std::string>{"Musics.txt"});
  EXPECT_EQ(settings.i32(UserSettings::kFullScreenMode), 1280);
  EXPECT_EQ(settings.i32(UserSettings::kWindowLeft), 33);
  EXPECT_EQ(settings.i32(UserSettings::kWindowWidth), 1111);
  EXPECT_EQ(settings.i32(UserSettings::kViewAspect), 2);
  EXPECT_EQ(settings.i32(UserSettings::kZoomDirection), 1);
  EXPECT_EQ(settings.text(UserSettings::kLayoutName, 64), "Layout03");
  EXPECT_TRUE(settings.flag(UserSettings::kWindowed));
  EXPECT_TRUE(settings.flag(UserSettings::kAntialiasing));
  EXPECT_FALSE(settings.flag(UserSettings::kUniqueRandomFish)) << "back to its default";
  EXPECT_TRUE(settings.flag(UserSettings::kCycleInOrder)) << "back to its default";
  EXPECT_EQ(settings.text(UserSettings::kTankName, 64), "Tank01_Anemone01");
  EXPECT_EQ(settings.u32(UserSettings::kMusicVolume), 100u);
  EXPECT_EQ(events.calls, (std::vector<std::string>{"clear_fish empty_slots", "reset_tank_list",
                                                    "select_tank Tank01_Anemone01 initial"}));
}

TEST(ReplaceQuestion, PutsTheNameInPlaceOfTheFirstPercentS) {
  struct Case {
    const char* text;
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"Replace %s?", "a.cf", "Replace a.cf?"},           {"%s and %s", "b.cf", "b.cf and %s"},
      {"%d%% %n done: %s", "c.cf", "%d%% %n done: c.cf"}, {"No name here", "d.cf", "No name here"},
      {"Replace %s?", "50%s%n.cf", "Replace 50%s%n.cf?"},
  };
  for (const Case& c : cases) EXPECT_EQ(host::replace_question(c.text, c.name), c.expected) << c.text;
  EXPECT_NE(host::replace_question(nullptr, "e.cf").find("e.cf"), std::string::npos) << "a missing text";
}

}  // namespace

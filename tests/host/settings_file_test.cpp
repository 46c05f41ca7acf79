#include "host/settings_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "render/hand_package.h"

namespace {

using base::UserSettings;
using render_test::Bytes;
using render_test::read_bytes;
using render_test::TempFolder;
using render_test::write_bytes;

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;

TEST(SettingsDefaults, EveryFieldHasItsDefaultAndNothingElseIsSet) {
  UserSettings s;
  s.bytes().fill(0xAB);
  host::reset_to_defaults(s, kScreenW, kScreenH);

  struct Field {
    std::size_t offset;
    uint32_t value;
  };
  const Field fields[] = {
      {0x000, 0x1140024C}, {0x034, 42},       {0x048, 560},        {0x04C, 315},      {0x050, 800},
      {0x054, 450},        {0x068, 100},      {0x074, 100},        {0x32C, 20},       {0x330, 25},
      {0x380, 1},          {0x384, 50},       {0x388, 100},        {0x38C, 25},       {0x390, 20},
      {0x394, 20},         {0x398, 100},      {0x3A4, 0xFFFFFFFF}, {0x118, 10008},    {0x130, 10008},
      {0x134, 30001},      {0x138, 30001},    {0x13C, 30005},      {0x140, 0},        {0x338, 0xFFFFFF},
      {0x33C, 0xAAFFAA},   {0x340, 0x80FFFF}, {0x344, 0xBEBEBE},   {0x348, 0x9696FF}, {0x34C, 0xFF8000},
      {0x350, 0xFFFF80},   {0x354, 0x804000}, {0x358, 0x408000},   {0x35C, 0x80FF80}, {0x360, 0x80FFFF},
      {0x364, 0x004080},   {0x368, 0x800000}, {0x36C, 0xFFFF80},   {0x370, 0x000040}, {0x374, 0x8080FF},
      {0x378, 0x000000},   {0x37C, 0xFF8000},
  };
  for (const Field& f : fields) EXPECT_EQ(s.u32(f.offset), f.value) << std::hex << "offset 0x" << f.offset;
  EXPECT_EQ(s.text(UserSettings::kSoundName, 32), "Water");
  EXPECT_EQ(s.text(UserSettings::kLayoutName, 64), "Layout01");
  EXPECT_EQ(s.text(UserSettings::kTankName, 64), "Tank01_Anemone01");

  // Blank out everything checked above: what is left must be zero.
  UserSettings rest = s;
  for (const Field& f : fields) rest.set_u32(f.offset, 0);
  for (std::size_t slot = 0; slot < 7; ++slot) {
    EXPECT_EQ(s.i32(0x118 + 4 * slot), 10008) << "fish slot " << slot;
    rest.set_u32(0x118 + 4 * slot, 0);
  }
  rest.set_text(UserSettings::kSoundName, 32, "");
  rest.set_text(UserSettings::kLayoutName, 64, "");
  rest.set_text(UserSettings::kTankName, 64, "");
  for (std::size_t i = 0; i < UserSettings::kSize; ++i) EXPECT_EQ(rest.bytes()[i], 0) << "byte " << i;
}

TEST(SettingsWindow, ValidationKeepsTheWindowOnTheScreen) {
  struct Case {
    const char* what;
    int32_t left, top, width, height;
    int32_t expected_left, expected_top, expected_width, expected_height;
  };
  const Case cases[] = {
      {"fits", 100, 50, 1024, 576, 100, 50, 1024, 576},
      {"whole screen", 0, 0, 1920, 1080, 0, 0, 1920, 1080},
      {"smallest size", 10, 10, 320, 200, 10, 10, 320, 200},
      {"too big for the screen", 100, 50, 4000, 3000, 100, 50, 800, 450},
      {"too narrow", 100, 50, 319, 450, 100, 50, 800, 450},
      {"too low", 100, 50, 800, 199, 100, 50, 800, 450},
      {"left of the screen", -50, 40, 800, 450, 0, 40, 800, 450},
      {"above the screen", 40, -7, 800, 450, 40, 0, 800, 450},
      {"corner past the right edge is centred", 1920, 100, 800, 450, 560, 315, 800, 450},
      {"corner below the screen is centred", 100, 5000, 800, 450, 560, 315, 800, 450},
      {"off screen and too big", 3000, 100, 4000, 3000, 560, 315, 800, 450},
  };
  for (const Case& c : cases) {
    UserSettings s;
    s.set_i32(UserSettings::kWindowLeft, c.left);
    s.set_i32(UserSettings::kWindowTop, c.top);
    s.set_i32(UserSettings::kWindowWidth, c.width);
    s.set_i32(UserSettings::kWindowHeight, c.height);
    host::validate_window_rect(s, kScreenW, kScreenH);
    EXPECT_EQ(s.i32(UserSettings::kWindowLeft), c.expected_left) << c.what;
    EXPECT_EQ(s.i32(UserSettings::kWindowTop), c.expected_top) << c.what;
    EXPECT_EQ(s.i32(UserSettings::kWindowWidth), c.expected_width) << c.what;
    EXPECT_EQ(s.i32(UserSettings::kWindowHeight), c.expected_height) << c.what;
  }

  UserSettings tiny;
  tiny.set_i32(UserSettings::kWindowLeft, 900);
  host::validate_window_rect(tiny, 640, 400);
  EXPECT_EQ(tiny.i32(UserSettings::kWindowLeft), 0) << "a screen smaller than the window: corner at 0";
  EXPECT_EQ(tiny.i32(UserSettings::kWindowTop), 0);
}

TEST(SettingsRepair, BringsFieldsIntoRangeAndLeavesValidOnesAlone) {
  struct Case {
    const char* what;
    std::size_t offset;
    int64_t stored, expected;
    bool wide = false;  // a 64-bit field
  };
  const Case cases[] = {
      {"random pool count", UserSettings::kRandomPoolCount, 65, 64},
      {"random pool count, full", UserSettings::kRandomPoolCount, 64, 64},
      {"random pool count, huge", UserSettings::kRandomPoolCount, 0xFFFFFFFF, 64},
      {"music volume", UserSettings::kMusicVolume, 101, 100},
      {"music volume, silent", UserSettings::kMusicVolume, 0, 0},
      {"sound volume", UserSettings::kSoundVolume, 0x80000000, 100},
      {"bubble emitter", UserSettings::kBubbleEmitter, 150, 100},
      {"bubble emitter, valid", UserSettings::kBubbleEmitter, 37, 37},
      {"small bubbles", UserSettings::kSmallBubbleRate, 1000, 100},
      {"big bubbles", UserSettings::kBigBubbleRate, 101, 100},
      {"speck count", UserSettings::kSpeckCount, 200, 100},
      {"speck size", UserSettings::kSpeckSize, 300, 100},
      {"unused bubble word is not touched", UserSettings::kBubbleSpare, 5000, 5000},
      {"view aspect", UserSettings::kViewAspect, 3, 0},
      {"view aspect, negative", UserSettings::kViewAspect, -1, 0},
      {"view aspect 16:9", UserSettings::kViewAspect, 2, 2},
      {"zoom direction zero", UserSettings::kZoomDirection, 0, -1},
      {"zoom direction seven", UserSettings::kZoomDirection, 7, -1},
      {"zoom direction in", UserSettings::kZoomDirection, 1, 1},
      {"zoom direction out", UserSettings::kZoomDirection, -1, -1},
      {"music track", UserSettings::kMusicTrack, -3, 0},
      {"music track, valid", UserSettings::kMusicTrack, 12, 12},
      {"play position", UserSettings::kMusicPosition, -1, 0, true},
      {"play position, valid", UserSettings::kMusicPosition, 123456789012, 123456789012, true},
      {"feeding interval", UserSettings::kFeedingInterval, 232, 231},
      {"feeding interval, valid", UserSettings::kFeedingInterval, 42, 42},
      {"tank cycle interval", UserSettings::kTankCycleInterval, 0xFFFFFFFF, 231},
      {"re-roll interval", UserSettings::kRerollInterval, 500, 231},
      {"third fish interval", UserSettings::kThirdFishInterval, 231, 231},
  };
  for (const Case& c : cases) {
    UserSettings s;
    if (c.wide) {
      s.set_i64(c.offset, c.stored);
    } else {
      s.set_u32(c.offset, static_cast<uint32_t>(c.stored));
    }
    host::repair_settings_fields(s);
    const int64_t got = c.wide ? s.i64(c.offset) : static_cast<int64_t>(s.u32(c.offset));
    const int64_t expected = c.wide ? c.expected : static_cast<int64_t>(static_cast<uint32_t>(c.expected));
    EXPECT_EQ(got, expected) << c.what;
  }
}

TEST(SettingsRepair, NamesEndWithinTheirFields) {
  struct Name {
    std::size_t offset, capacity;
  };
  const Name names[] = {
      {UserSettings::kSoundName, 32}, {UserSettings::kLayoutName, 64}, {UserSettings::kTankName, 64}};
  UserSettings s;
  s.bytes().fill('x');
  host::repair_settings_fields(s);
  for (const Name& n : names) {
    EXPECT_EQ(s.bytes()[n.offset + n.capacity - 1], 0) << std::hex << n.offset;
    EXPECT_EQ(s.text(n.offset, n.capacity), std::string(n.capacity - 1, 'x'));
    EXPECT_EQ(s.bytes()[n.offset + n.capacity - 2], 'x') << "the name itself is kept";
  }

  UserSettings short_name;
  short_name.set_text(UserSettings::kTankName, 64, "Tank02");
  short_name.bytes()[UserSettings::kTankName + 40] = 'y';  // junk after the terminator
  const UserSettings before = short_name;
  host::repair_settings_fields(short_name);
  EXPECT_EQ(std::vector<uint8_t>(short_name.bytes().begin() + 0x0D8, short_name.bytes().begin() + 0x118),
            std::vector<uint8_t>(before.bytes().begin() + 0x0D8, before.bytes().begin() + 0x118))
      << "a terminated name is left byte for byte";
}

// A user data folder with its "UserSet" file.
struct SettingsFileTest : ::testing::Test {
  TempFolder folder;
  std::string user() const { return folder.path().string(); }
  std::filesystem::path file() const { return folder.path() / "UserSet"; }
};

TEST_F(SettingsFileTest, AMissingFileGivesTheDefaultsAndWritesThemUnlessInPreview) {
  for (bool may_write : {false, true}) {
    UserSettings s;
    EXPECT_EQ(host::load_settings(s, user(), kScreenW, kScreenH, may_write), host::SettingsLoad::Defaults);
    UserSettings defaults;
    host::reset_to_defaults(defaults, kScreenW, kScreenH);
    EXPECT_EQ(s.bytes(), defaults.bytes());
    if (!may_write) {
      EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the preview writes nothing";
    } else {
      EXPECT_EQ(read_bytes(file()), Bytes(defaults.bytes().begin(), defaults.bytes().end()));
    }
  }
}

TEST_F(SettingsFileTest, AShortFileFillsOnlyItsLength) {
  const Bytes ten = {0x4C, 0x02, 0x40, 0x11, 7, 0, 0, 0, 1, 2};
  write_bytes(file(), ten);

  // At start the record is all zero: apart from what validation mends (the
  // window and the zoom direction) it stays zero.
  UserSettings fresh;
  EXPECT_EQ(host::load_settings(fresh, user(), kScreenW, kScreenH, true), host::SettingsLoad::Loaded);
  EXPECT_TRUE(std::equal(ten.begin(), ten.end(), fresh.bytes().begin()));
  UserSettings mended = fresh;
  mended.set_i32(UserSettings::kWindowWidth, 0);
  mended.set_i32(UserSettings::kWindowHeight, 0);
  mended.set_i32(UserSettings::kZoomDirection, 0);
  for (std::size_t i = ten.size(); i < UserSettings::kSize; ++i)
    EXPECT_EQ(mended.bytes()[i], 0) << "byte " << i;
  EXPECT_EQ(fresh.i32(UserSettings::kWindowWidth), 800);
  EXPECT_EQ(fresh.i32(UserSettings::kWindowHeight), 450);

  // Over a record in memory (an import) the tail keeps its values.
  UserSettings in_memory;
  host::reset_to_defaults(in_memory, kScreenW, kScreenH);
  in_memory.set_text(UserSettings::kTankName, 64, "Tank07");
  UserSettings expected = in_memory;
  std::copy(ten.begin(), ten.end(), expected.bytes().begin());
  host::load_settings(in_memory, user(), kScreenW, kScreenH, true);
  EXPECT_EQ(in_memory.bytes(), expected.bytes());
  EXPECT_EQ(read_bytes(file()), ten) << "loading never rewrites a file it could read";
}

TEST_F(SettingsFileTest, ALongerFileIsCutAt1024Bytes) {
  UserSettings stored;
  host::reset_to_defaults(stored, kScreenW, kScreenH);
  stored.set_text(UserSettings::kTankName, 64, "Tank03_Reef");
  Bytes bytes(stored.bytes().begin(), stored.bytes().end());
  bytes.resize(1500, 0xEE);
  write_bytes(file(), bytes);

  UserSettings s;
  EXPECT_EQ(host::load_settings(s, user(), kScreenW, kScreenH, true), host::SettingsLoad::Loaded);
  EXPECT_EQ(s.bytes(), stored.bytes());
  EXPECT_EQ(read_bytes(file()).size(), 1500u);
}

TEST_F(SettingsFileTest, ATooBigWindowAndANegativeCornerAreMendedOnLoad) {
  UserSettings stored;
  host::reset_to_defaults(stored, kScreenW, kScreenH);
  stored.set_i32(UserSettings::kWindowLeft, -50);
  stored.set_i32(UserSettings::kWindowTop, 70);
  stored.set_i32(UserSettings::kWindowWidth, 4000);
  stored.set_i32(UserSettings::kWindowHeight, 3000);
  write_bytes(file(), Bytes(stored.bytes().begin(), stored.bytes().end()));

  UserSettings s;
  host::load_settings(s, user(), kScreenW, kScreenH, true);
  EXPECT_EQ(s.i32(UserSettings::kWindowLeft), 0);
  EXPECT_EQ(s.i32(UserSettings::kWindowTop), 70);
  EXPECT_EQ(s.i32(UserSettings::kWindowWidth), 800);
  EXPECT_EQ(s.i32(UserSettings::kWindowHeight), 450);
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsLeftAlone) {
  // A folder where the file should be: there, but not readable as a file
  // (file permissions would not stop a test that runs as root).
  std::filesystem::create_directory(file());
  write_bytes(file() / "inside", render_test::bytes_of("keep"));

  UserSettings s;
  EXPECT_EQ(host::load_settings(s, user(), kScreenW, kScreenH, true), host::SettingsLoad::Unreadable);
  UserSettings defaults;
  host::reset_to_defaults(defaults, kScreenW, kScreenH);
  EXPECT_EQ(s.bytes(), defaults.bytes()) << "the run goes on with the defaults";
  EXPECT_TRUE(std::filesystem::is_directory(file()));
  EXPECT_EQ(read_bytes(file() / "inside"), render_test::bytes_of("keep"));
}

TEST_F(SettingsFileTest, SavingReplacesTheWholeFile) {
  write_bytes(file(), Bytes(3000, 0x55));
  UserSettings s;
  host::reset_to_defaults(s, kScreenW, kScreenH);
  ASSERT_TRUE(host::save_settings(s, user()));
  EXPECT_EQ(read_bytes(file()), Bytes(s.bytes().begin(), s.bytes().end()));
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";

  EXPECT_FALSE(host::save_settings(s, (folder.path() / "missing" / "folder").string()));
}

}  // namespace

#include "scene/tank_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "base/file_io.h"
#include "render/package_builder.h"
#include "render/packed_dib.h"
#include "support/temp_folder.h"

namespace {

using Settings = base::UserSettings;
using scene::TankList;

void write_file(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string read_text(const std::string& path) {
  const std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

void write_bitmap(const std::string& path, std::int32_t width) {
  render::PackedDib dib;
  ASSERT_TRUE(dib.create(width, 2, 24));
  const std::vector<std::uint8_t> bmp = dib.encode_bmp();
  write_file(path, std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
}

// A tank package of two entries: the sea set's name and the layout.
void write_package(const std::string& path) {
  render::PackageBuilder builder;
  ASSERT_GE(builder.add(std::vector<std::uint8_t>{1, 2, 3}, "SeaSet01", false), 0);
  ASSERT_GE(builder.add(std::vector<std::uint8_t>{4, 5, 6, 7}, "Layout01", true), 0);
  ASSERT_TRUE(builder.write(path.c_str(), true, false));
}

enum class Package { None, Valid, Garbage };

// A scene folder in a temporary folder, filled tank by tank.
class SceneFolder {
 public:
  SceneFolder() { std::filesystem::create_directories(scene()); }

  std::string scene() const { return folder_.file("Scene") + "/"; }
  std::string user_file(std::string_view name) const { return folder_.file(name); }

  void add_tank(const std::string& name, Package package = Package::Valid,
                std::optional<std::string> title = std::nullopt) const {
    write_bitmap(scene() + name + ".bmp", 4);
    if (package == Package::Valid) write_package(scene() + name + ".vmf");
    if (package == Package::Garbage) write_file(scene() + name + ".vmf", "not a package");
    if (title) write_file(scene() + name + ".txt", *title);
  }

 private:
  test_support::TempFolder folder_;
};

std::vector<std::string> tank_names(const TankList& list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list.size(); ++i) names.push_back(list.entry(i)->name);
  return names;
}

std::vector<std::string> cycle_names(const TankList& list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list.cycle_size(); ++i) names.push_back(list.cycle_entry(static_cast<int>(i))->name);
  return names;
}

TEST(TankListScan, SortsTheTanksByNameWithoutRegardToCase) {
  SceneFolder folder;
  folder.add_tank("Tank03_B");
  folder.add_tank("tank01_anemone01");
  folder.add_tank("Tank02_A");
  folder.add_tank("TANK04_C", Package::Valid);
  std::filesystem::rename(folder.scene() + "TANK04_C.bmp", folder.scene() + "TANK04_C.BMP");
  write_file(folder.scene() + "Other.bmp", "x");
  write_file(folder.scene() + "Tank05_D.txt", "x");
  std::filesystem::create_directories(folder.scene() + "Tank06_E.bmp");

  TankList list;
  list.scan(folder.scene());
  EXPECT_EQ(tank_names(list), (std::vector<std::string>{"tank01_anemone01", "Tank02_A", "Tank03_B", "TANK04_C"}));
  std::vector<bool> usable;
  for (std::size_t i = 0; i < list.size(); ++i) usable.push_back(list.entry(i)->usable);
  EXPECT_EQ(usable, (std::vector<bool>{true, false, false, false}));

  EXPECT_EQ(list.index_of("TANK02_a"), 1);
  ASSERT_NE(list.find("tank03_b"), nullptr);
  EXPECT_EQ(list.find("tank03_b")->name, "Tank03_B");
  EXPECT_EQ(list.index_of("Tank02"), -1);
  EXPECT_EQ(list.find("Tank07_F"), nullptr);
  EXPECT_EQ(list.entry(4), nullptr);

  list.scan(folder.user_file("missing"));
  EXPECT_EQ(list.size(), 0u);
}

TEST(TankListScan, OnlyTheDefaultTankWithAPackageThatOpensIsUsable) {
  struct Case {
    const char* name;
    Package package;
    bool usable;
  };
  const Case cases[] = {
      {"Tank01_Anemone01", Package::Valid, true},    {"TANK01_anemone01", Package::Valid, true},
      {"Tank01_Anemone01", Package::None, false},    {"Tank01_Anemone01", Package::Garbage, false},
      {"Tank02_A", Package::Valid, false},           {"Tank01_Anemone01b", Package::Valid, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " package " + std::to_string(static_cast<int>(c.package)));
    SceneFolder folder;
    folder.add_tank(c.name, c.package);
    TankList list;
    list.scan(folder.scene());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.entry(0)->usable, c.usable);
  }
}

TEST(TankListScan, TheTitleIsTheCaptionOfTheTextFileCutTo63Characters) {
  struct Case {
    const char* what;
    const char* name;
    std::optional<std::string> text;
    std::string title;
  };
  const Case cases[] = {
      {"a short caption", "Tank01_A", "Coral garden", "Coral garden"},
      {"a long caption is cut", "Tank01_A", std::string(300, 't'), std::string(63, 't')},
      {"the caption ends at a NUL", "Tank01_A", std::string("Reef\0junk", 9), "Reef"},
      {"a dot in the name is no extension", "Tank01.v2", "Second reef", "Second reef"},
      {"no text file", "Tank01_A", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SceneFolder folder;
    folder.add_tank(c.name, Package::None, c.text);
    TankList list;
    list.scan(folder.scene());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.entry(0)->name, c.name);
    EXPECT_EQ(list.entry(0)->title, c.title);
  }
}

TEST(TankListScan, TheThumbnailIsLoadedWhenFirstAskedFor) {
  SceneFolder folder;
  folder.add_tank("Tank01_A");
  write_bitmap(folder.scene() + "Tank01_A.bmp", 7);
  write_file(folder.scene() + "Tank02_B.bmp", "not a bitmap");
  TankList list({"Tank01_A"});
  list.scan(folder.scene());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_TRUE(list.entry(0)->thumbnail.empty()) << "nothing loaded by the scan";

  const render::PackedDib* thumbnail = list.thumbnail(0);
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(thumbnail->width(), 7);
  EXPECT_EQ(list.thumbnail(1), nullptr) << "listed, but without a picture";
  EXPECT_EQ(list.thumbnail(2), nullptr);

  ASSERT_EQ(list.insert_after(-1, 0), 0);
  EXPECT_EQ(list.cycle_thumbnail(0), thumbnail) << "the cycle shares the tank's entry";
  EXPECT_EQ(list.cycle_thumbnail(1), nullptr);
}

// Three usable tanks A, B, C, one that is not usable (D), and a cycle file
// beside the scene folder.
class TankCycleTest : public ::testing::Test {
 protected:
  TankCycleTest() : list_({"Tank01_A", "Tank02_B", "Tank03_C"}) {
    for (const char* name : {"Tank01_A", "Tank02_B", "Tank03_C", "Tank04_D"}) folder_.add_tank(name);
    list_.scan(folder_.scene());
  }

  std::string cycle_file() const { return folder_.user_file("CycleTanks.txt"); }

  // Reads a cycle file of that text.
  bool read_cycle(std::string_view text) {
    write_file(cycle_file(), text);
    return list_.read_cycle_list(cycle_file(), settings_, state_);
  }

  void set_current(const std::string& name) {
    settings_.set_text(Settings::kTankName, Settings::kTankNameSize, name);
  }

  SceneFolder folder_;
  TankList list_;
  Settings settings_;
  base::RuntimeState state_;
};

TEST_F(TankCycleTest, ReadingKeepsUsableNamesInReverseOrder) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> cycle;
  };
  const Case cases[] = {
      {"each name goes to the head", "Tank01_A\nTank02_B\nTank03_C\n", {"Tank03_C", "Tank02_B", "Tank01_A"}},
      {"CR LF line ends", "Tank01_A\r\nTank02_B\r\n", {"Tank02_B", "Tank01_A"}},
      {"no line feed after the last name", "Tank01_A\nTank02_B", {"Tank02_B", "Tank01_A"}},
      {"a name in another case takes the tank's", "tank02_B\n", {"Tank02_B"}},
      {"unknown and unusable names are dropped", "Tank01_A\nTank09_Z\nTank04_D\n\n", {"Tank01_A"}},
      {"a line too long for a name is skipped whole", std::string(259, 'x') + "Tank01_A\nTank02_B\n",
       {"Tank02_B"}},
      {"a name twice", "Tank01_A\nTank01_A\n", {"Tank01_A", "Tank01_A"}},
      {"an empty file", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(read_cycle(c.text));
    EXPECT_EQ(cycle_names(list_), c.cycle);
    EXPECT_FALSE(list_.cycle_changed());
  }
}

TEST_F(TankCycleTest, ReadingAMissingFileEmptiesTheCycle) {
  ASSERT_TRUE(read_cycle("Tank01_A\n"));
  list_.insert_after(0, 1);
  EXPECT_FALSE(list_.read_cycle_list(folder_.user_file("missing.txt"), settings_, state_));
  EXPECT_EQ(list_.cycle_size(), 0u);
  EXPECT_FALSE(list_.cycle_changed());
}

TEST_F(TankCycleTest, SavingWritesTheFileOrderOnlyAfterAChange) {
  ASSERT_TRUE(read_cycle("Tank01_A\nTank02_B\nTank03_C\n"));
  std::filesystem::remove(cycle_file());
  EXPECT_TRUE(list_.save_cycle_list(cycle_file()));
  EXPECT_FALSE(std::filesystem::exists(cycle_file())) << "unchanged: not written";

  ASSERT_EQ(list_.insert_after(-1, 3), 0);
  ASSERT_TRUE(list_.remove(0));
  EXPECT_TRUE(list_.save_cycle_list(cycle_file()));
  EXPECT_FALSE(list_.cycle_changed());
  EXPECT_EQ(read_text(cycle_file()), "Tank01_A\nTank02_B\nTank03_C\n");

  list_.clear_cycle_list();
  EXPECT_TRUE(list_.save_cycle_list(cycle_file()));
  EXPECT_EQ(read_text(cycle_file()), "");
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(cycle_file()).parent_path())) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"CycleTanks.txt", "Scene"})) << "no temporary file is left";
}

TEST_F(TankCycleTest, AFailedSaveLeavesTheOldFileAndTheChange) {
  // The name fits the folder, but the temporary name beside it does not.
  const std::string target = folder_.user_file(std::string(240, 'c'));
  write_file(target, "Tank09_Z\n");
  ASSERT_EQ(list_.insert_after(-1, 0), 0);

  EXPECT_FALSE(list_.save_cycle_list(target));
  EXPECT_EQ(read_text(target), "Tank09_Z\n");
  EXPECT_TRUE(list_.cycle_changed());
  EXPECT_FALSE(list_.save_cycle_list(folder_.user_file("missing/CycleTanks.txt")));
  EXPECT_TRUE(list_.cycle_changed());

  EXPECT_TRUE(list_.save_cycle_list(cycle_file()));
  EXPECT_EQ(read_text(cycle_file()), "Tank01_A\n");
}

TEST_F(TankCycleTest, EditsChangeTheCycleAndMarkIt) {
  enum Op { Insert, Remove, Move, Swap, Clear };
  struct Step {
    Op op;
    int a;
    int b;
    int result;  // the new position of an insert; 1 or 0 for the others
    std::vector<std::string> cycle;
  };
  const Step steps[] = {
      {Insert, -1, 0, 0, {"Tank01_A"}},
      {Insert, 0, 2, 1, {"Tank01_A", "Tank03_C"}},
      {Insert, 0, 1, 1, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Insert, 3, 0, -1, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Insert, -2, 0, -1, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Insert, -1, 4, -1, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Move, 0, 2, 1, {"Tank02_B", "Tank03_C", "Tank01_A"}},
      {Move, 2, 0, 1, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Move, 1, 3, 0, {"Tank01_A", "Tank02_B", "Tank03_C"}},
      {Swap, 0, 2, 1, {"Tank03_C", "Tank02_B", "Tank01_A"}},
      {Swap, -1, 0, 0, {"Tank03_C", "Tank02_B", "Tank01_A"}},
      {Remove, 1, 0, 1, {"Tank03_C", "Tank01_A"}},
      {Remove, 2, 0, 0, {"Tank03_C", "Tank01_A"}},
      {Clear, 0, 0, 1, {}},
      {Remove, 0, 0, 0, {}},
  };
  const std::string saved = folder_.user_file("saved.txt");
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    ASSERT_TRUE(list_.save_cycle_list(saved));
    int result = 0;
    switch (s.op) {
      case Insert:
        result = list_.insert_after(s.a, static_cast<std::size_t>(s.b));
        break;
      case Remove:
        result = list_.remove(s.a);
        break;
      case Move:
        result = list_.move(s.a, s.b);
        break;
      case Swap:
        result = list_.swap(s.a, s.b);
        break;
      case Clear:
        list_.clear_cycle_list();
        result = 1;
        break;
    }
    EXPECT_EQ(result, s.result);
    EXPECT_EQ(cycle_names(list_), s.cycle);
    EXPECT_EQ(list_.cycle_changed(), s.result >= (s.op == Insert ? 0 : 1));
  }
  EXPECT_EQ(list_.cycle_entry(0), nullptr);
}

TEST_F(TankCycleTest, NextTankFollowsTheCycleOrTheWholeList) {
  constexpr std::uint32_t kInOrder = Settings::kCycleInOrder;
  constexpr std::uint32_t kRandom = Settings::kCycleRandom;
  struct Case {
    const char* what;
    std::uint32_t flags;
    bool cycle;  // the cycle C, B, A (read from a file A, B, C), else none
    const char* current;
    int step;
    const char* next;
  };
  const Case cases[] = {
      {"in order: +1 from C goes to B", kInOrder, true, "Tank03_C", 1, "Tank02_B"},
      {"in order: past the last to the first", kInOrder, true, "Tank01_A", 1, "Tank03_C"},
      {"in order: before the first to the last", kInOrder, true, "Tank03_C", -1, "Tank01_A"},
      {"in order: the current tank in another case", kInOrder, true, "tank02_b", 1, "Tank01_A"},
      {"in order: a current tank not in the cycle starts it", kInOrder, true, "Tank04_D", 1, "Tank03_C"},
      {"in order: the same going back", kInOrder, true, "Tank04_D", -1, "Tank03_C"},
      {"whole list: forward", 0, true, "Tank02_B", 1, "Tank03_C"},
      {"whole list: back", 0, true, "Tank02_B", -1, "Tank01_A"},
      {"whole list: past the end, unusable tanks included", 0, true, "Tank04_D", 1, "Tank01_A"},
      {"whole list: before the start", 0, true, "Tank01_A", -1, "Tank04_D"},
      {"whole list: an unknown current tank forward", 0, true, "Tank09_Z", 1, "Tank01_A"},
      {"whole list: an unknown current tank back", 0, true, "Tank09_Z", -1, "Tank04_D"},
      {"whole list: no current tank", 0, true, "", 1, "Tank01_A"},
      {"in order with an empty cycle: whole list", kInOrder, false, "Tank02_B", 1, "Tank03_C"},
      {"random with an empty cycle: whole list", kRandom, false, "Tank02_B", -1, "Tank01_A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(read_cycle(c.cycle ? "Tank01_A\nTank02_B\nTank03_C\n" : ""));
    settings_.set_u32(Settings::kFlags, c.flags);
    set_current(c.current);
    base::crt_rand().seed(1);
    EXPECT_TRUE(list_.next_tank(c.step, settings_));
    EXPECT_EQ(list_.pending(), c.next);
    EXPECT_EQ(base::crt_rand().next(), 41) << "no random draw";
  }
}

TEST_F(TankCycleTest, RandomCyclePicksFloorOfRTimesTheCycleLength) {
  struct Case {
    std::uint32_t seed;  // gives the first draw
    int draw;
    const char* next;  // of the cycle C, B, A
  };
  const Case cases[] = {
      {20057, 0, "Tank03_C"},     {3333, 10922, "Tank03_C"},  {23402, 10923, "Tank02_B"},
      {16712, 21844, "Tank02_B"}, {36781, 21845, "Tank01_A"}, {10022, 32766, "Tank01_A"},
      {30091, 32767, "Tank03_C"},  // r = 1 gives n, which wraps to the first
  };
  ASSERT_TRUE(read_cycle("Tank01_A\nTank02_B\nTank03_C\n"));
  // The in-order flag is set too: random wins. From the current tank C it
  // would give B.
  settings_.set_u32(Settings::kFlags, Settings::kCycleRandom | Settings::kCycleInOrder);
  set_current("Tank03_C");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.draw);
    base::CrtRandom expected(c.seed);
    ASSERT_EQ(expected.next(), c.draw);
    base::crt_rand().seed(c.seed);
    EXPECT_TRUE(list_.next_tank(1, settings_));
    EXPECT_EQ(list_.pending(), c.next);
    EXPECT_EQ(base::crt_rand().next(), expected.next()) << "exactly one draw";
  }
}

TEST_F(TankCycleTest, AnEmptyTankListChoosesNothing) {
  TankList empty;
  empty.scan(folder_.user_file("missing"));
  for (std::uint32_t flags : {0u, std::uint32_t{Settings::kCycleInOrder}, std::uint32_t{Settings::kCycleRandom}}) {
    SCOPED_TRACE(flags);
    settings_.set_u32(Settings::kFlags, flags);
    set_current("Tank01_A");
    EXPECT_FALSE(empty.next_tank(1, settings_));
    EXPECT_EQ(empty.pending(), "");
    EXPECT_FALSE(empty.advance_cycle_timer(settings_));
  }
}

TEST_F(TankCycleTest, TheTimerChoosesTheNextTankOnceTheIntervalHasPassed) {
  struct Case {
    const char* what;
    std::uint32_t position;
    float base;
    std::int64_t interval;
  };
  const Case cases[] = {
      {"the default base", 0, 30.0f, 30},
      {"a slider position", 65, 0.0f, 110},
      {"no interval at all", 0, 0.0f, 0},
  };
  settings_.set_u32(Settings::kFlags, Settings::kCycleInOrder);
  set_current("Tank03_C");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_.set_u32(Settings::kTankCycleInterval, c.position);
    state_.durations[4] = c.base;
    ASSERT_TRUE(read_cycle("Tank01_A\nTank02_B\nTank03_C\n"));
    EXPECT_EQ(list_.cycle_interval(), c.interval);

    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(round);
      for (std::int64_t second = 0; second < c.interval; ++second) {
        ASSERT_FALSE(list_.advance_cycle_timer(settings_)) << second;
      }
      EXPECT_EQ(list_.pending(), "");
      EXPECT_TRUE(list_.advance_cycle_timer(settings_));
      EXPECT_EQ(list_.pending(), "Tank02_B");
      EXPECT_EQ(list_.take_pending(), "Tank02_B");
      EXPECT_EQ(list_.pending(), "") << "taking it clears it";
    }

    if (c.interval > 0) {
      list_.advance_cycle_timer(settings_);
      list_.reset_cycle_timer();
      for (std::int64_t second = 0; second < c.interval; ++second) {
        ASSERT_FALSE(list_.advance_cycle_timer(settings_)) << "the reset restarts the count";
      }
      EXPECT_TRUE(list_.advance_cycle_timer(settings_));
      list_.take_pending();
    }
  }
}

}  // namespace

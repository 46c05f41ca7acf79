#include "fish/fish_catalogue.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "render/package_builder.h"
#include "render/packed_dib.h"
#include "support/temp_folder.h"

namespace {

using Settings = base::UserSettings;
using fish::FishCatalogue;
using fish::RandomPool;

void write_file(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

// A fish folder in a temporary folder, filled kind by kind.
class FishFolder {
 public:
  std::string path() const { return folder_.file("Fish") + "/"; }

  FishFolder() { std::filesystem::create_directories(path()); }

  // A fish package under file_name; store_name stores the file's name in the
  // package, which then opens only under that name.
  void add_package(const std::string& file_name, std::uint8_t class_byte = 0, bool store_name = true) const {
    render::PackageBuilder builder;
    builder.set_class_byte(class_byte);
    ASSERT_GE(builder.add(std::vector<std::uint8_t>{1, 2, 3}, "fish.m8", true), 0);
    ASSERT_TRUE(builder.write((path() + file_name).c_str(), store_name, false));
  }
  void add_file(const std::string& file_name, std::string_view bytes) const {
    write_file(path() + file_name, bytes);
  }

 private:
  test_support::TempFolder folder_;
};

std::vector<int> kinds_of(const FishCatalogue& catalogue) {
  std::vector<int> kinds;
  for (std::size_t i = 0; i < catalogue.size(); ++i) kinds.push_back(catalogue.item(i)->kind);
  return kinds;
}

std::vector<int> selected_kinds(const FishCatalogue& catalogue) {
  std::vector<int> kinds;
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    if (catalogue.item(i)->selected) kinds.push_back(catalogue.item(i)->kind);
  }
  return kinds;
}

std::vector<int> stored_selection(const Settings& settings) {
  std::vector<int> kinds;
  for (std::uint32_t i = 0; i < settings.u32(Settings::kRandomPoolCount); ++i)
    kinds.push_back(settings.i32(Settings::kRandomPool + 4 * i));
  return kinds;
}

// The five kinds most tests use: two allowed, three listed only.
void fill_standard(const FishFolder& folder) {
  folder.add_package("30001.vmf");
  folder.add_package("20000.vmf");
  folder.add_package("10008.vmf", 1);
  folder.add_package("00500.VMF");
  folder.add_package("12345abc.vmf", 0, false);
}

TEST(FishKinds, OnlyTheShippedKindsAndTheRandomKindAreAllowed) {
  const std::pair<int, bool> cases[] = {
      {9999, true},   {10008, true},  {30001, true},  {0, false},       {-1, false},      {30005, false},
      {12345, false}, {10009, false}, {30000, false}, {INT_MAX, false}, {INT_MIN, false},
  };
  for (const auto& [kind, allowed] : cases) EXPECT_EQ(fish::is_allowed_kind(kind), allowed) << kind;
}

TEST(FishKinds, TheKindIsTheLeadingNumberOfTheFileName) {
  const std::pair<const char*, int> cases[] = {
      {"10008.vmf", 10008},
      {"10008abc.vmf", 10008},
      {"007.vmf", 7},
      {"abc.vmf", 0},
      {"", 0},
      {" 42.vmf", 42},
      {"+3x.vmf", 3},
      {"-5.vmf", -5},
      {"99999999999.vmf", INT_MAX},
      {"-99999999999.vmf", INT_MIN},
      {"2147483647.vmf", INT_MAX},
  };
  for (const auto& [name, kind] : cases) EXPECT_EQ(fish::kind_of_file_name(name), kind) << name;
}

TEST(FishCatalogueScan, ListsAllowedKindsFirstThenTheOthersInFileOrder) {
  FishFolder folder;
  fill_standard(folder);
  folder.add_file("15000.vmf", "not a package");
  folder.add_package("abc.vmf");
  folder.add_package("40000.vmf", 1);
  std::filesystem::rename(folder.path() + "40000.vmf", folder.path() + "40001.vmf");  // stored name differs
  folder.add_file("30002.txt", "no package");
  std::filesystem::create_directories(folder.path() + "30003.vmf");

  FishCatalogue catalogue;
  catalogue.scan(folder.path());
  EXPECT_EQ(kinds_of(catalogue), (std::vector<int>{10008, 30001, 500, 12345, 20000}));
  std::vector<bool> allowed;
  for (std::size_t i = 0; i < catalogue.size(); ++i) allowed.push_back(catalogue.item(i)->allowed);
  EXPECT_EQ(allowed, (std::vector<bool>{true, true, false, false, false}));
  EXPECT_EQ(catalogue.dweller_kinds(), std::vector<int>{10008});
  EXPECT_TRUE(catalogue.is_dweller(10008));
  EXPECT_FALSE(catalogue.is_dweller(30001));
  EXPECT_EQ(catalogue.index_of(12345), 3);
  EXPECT_EQ(catalogue.index_of(15000), -1);
  EXPECT_EQ(catalogue.item(5), nullptr);
  EXPECT_EQ(catalogue.package_path(30001), folder.path() + "30001.vmf");

  catalogue.scan(folder.path() + "missing");
  EXPECT_EQ(catalogue.size(), 0u);
  EXPECT_TRUE(catalogue.dweller_kinds().empty());
}

TEST(FishCatalogueScan, TheFirstFileOfAKindWithoutRegardToCaseIsTheOneListed) {
  FishFolder folder;
  folder.add_package("10008B.vmf", 0, false);
  folder.add_package("10008a.vmf", 1, false);
  FishCatalogue catalogue;
  catalogue.scan(folder.path());
  EXPECT_EQ(kinds_of(catalogue), std::vector<int>{10008});
  EXPECT_EQ(catalogue.dweller_kinds(), std::vector<int>{10008}) << "10008a sorts before 10008B";
}

TEST(FishCatalogueScan, TitlesAndThumbnailsComeFromTheKindsOwnFiles) {
  FishFolder folder;
  fill_standard(folder);
  folder.add_file("10008.txt", std::string(70, 'c'));
  folder.add_file("12345.txt", "Listed fish");
  render::PackedDib dib;
  ASSERT_TRUE(dib.create(3, 2, 24));
  const std::vector<std::uint8_t> bmp = dib.encode_bmp();
  folder.add_file("30001.bmp", std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
  folder.add_file("20000.bmp", "not a bitmap");

  FishCatalogue catalogue;
  catalogue.scan(folder.path());
  EXPECT_EQ(catalogue.item(0)->title, std::string(63, 'c'));
  EXPECT_EQ(catalogue.item(3)->title, "Listed fish");
  EXPECT_EQ(catalogue.item(1)->title, "");

  EXPECT_TRUE(catalogue.item(1)->thumbnail.empty()) << "loaded on request only";
  const render::PackedDib* thumbnail = catalogue.thumbnail(1);
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(thumbnail->width(), 3);
  EXPECT_EQ(catalogue.thumbnail(1), thumbnail);
  EXPECT_EQ(catalogue.thumbnail(0), nullptr) << "no bitmap";
  EXPECT_EQ(catalogue.thumbnail(4), nullptr) << "unreadable bitmap";
  EXPECT_EQ(catalogue.thumbnail(5), nullptr);
}

class FishSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    fill_standard(folder_);
    catalogue_.scan(folder_.path());
  }
  void store_selection(const std::vector<int>& kinds, std::uint32_t count) {
    for (std::size_t i = 0; i < kinds.size(); ++i) settings_.set_i32(Settings::kRandomPool + 4 * i, kinds[i]);
    settings_.set_u32(Settings::kRandomPoolCount, count);
  }

  FishFolder folder_;
  FishCatalogue catalogue_;
  Settings settings_;
};

TEST_F(FishSelection, SelectedFlagsComeFromTheSettings) {
  struct Case {
    const char* what;
    bool all;
    std::vector<int> list;
    std::uint32_t count;
    std::vector<int> selected;
  };
  const Case cases[] = {
      {"all kinds", true, {}, 0, {10008, 30001, 500, 12345, 20000}},
      {"listed kinds", false, {20000, 30001, 777}, 3, {30001, 20000}},
      {"only the first count", false, {20000, 30001}, 1, {20000}},
      {"none", false, {20000, 30001}, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_ = Settings();
    settings_.set_flag(Settings::kAllKindsInPool, c.all);
    store_selection(c.list, c.count);
    catalogue_.mark_selected(settings_);
    EXPECT_EQ(selected_kinds(catalogue_), c.selected);
  }
}

TEST_F(FishSelection, AHugeSelectedCountReadsNoFurtherThanTheList) {
  std::vector<int> list(Settings::kRandomPoolCapacity, 0);
  list.back() = 500;
  store_selection(list, 0xFFFFFFFFu);
  // The word after the list belongs to the colour block.
  settings_.set_i32(Settings::kRandomPool + 4 * Settings::kRandomPoolCapacity, 30001);
  catalogue_.mark_selected(settings_);
  EXPECT_EQ(selected_kinds(catalogue_), std::vector<int>{500});
}

TEST_F(FishSelection, SavingWritesTheSelectedKindsInCatalogueOrder) {
  catalogue_.set_selected(4, true);  // 20000
  catalogue_.set_selected(0, true);  // 10008
  EXPECT_FALSE(catalogue_.set_selected(5, true));
  settings_.set_flag(Settings::kAllKindsInPool, true);
  catalogue_.save_selection(settings_);
  EXPECT_EQ(stored_selection(settings_), (std::vector<int>{10008, 20000}));
  EXPECT_FALSE(settings_.flag(Settings::kAllKindsInPool));

  catalogue_.select_all(true);
  catalogue_.save_selection(settings_);
  EXPECT_EQ(stored_selection(settings_), (std::vector<int>{10008, 30001, 500, 12345, 20000}));
  EXPECT_TRUE(settings_.flag(Settings::kAllKindsInPool));

  // What was saved reads back as the same selection.
  catalogue_.select_all(false);
  catalogue_.set_selected(2, true);
  catalogue_.save_selection(settings_);
  settings_.set_flag(Settings::kAllKindsInPool, false);
  catalogue_.select_all(true);
  catalogue_.mark_selected(settings_);
  EXPECT_EQ(selected_kinds(catalogue_), std::vector<int>{500});
}

TEST(FishSelectionSave, MoreKindsThanTheListHoldsStayInsideTheList) {
  FishFolder folder;
  const std::size_t kinds = Settings::kRandomPoolCapacity + 3;
  for (std::size_t i = 0; i < kinds; ++i) folder.add_package(std::to_string(40000 + i) + ".vmf");
  FishCatalogue catalogue;
  catalogue.scan(folder.path());
  ASSERT_EQ(catalogue.size(), kinds);

  Settings settings;
  const std::size_t after_list = Settings::kRandomPool + 4 * Settings::kRandomPoolCapacity;
  settings.set_u32(after_list, 0xC0FFEE);
  catalogue.select_all(true);
  catalogue.save_selection(settings);
  EXPECT_EQ(settings.u32(Settings::kRandomPoolCount), Settings::kRandomPoolCapacity);
  EXPECT_EQ(settings.i32(after_list - 4), 40063);
  EXPECT_EQ(settings.u32(after_list), 0xC0FFEEu);
  EXPECT_TRUE(settings.flag(Settings::kAllKindsInPool));
}

TEST_F(FishSelection, ThePoolHoldsTheSelectedAllowedKinds) {
  settings_.set_flag(Settings::kAllKindsInPool, true);
  catalogue_.mark_selected(settings_);
  RandomPool pool;
  pool.rebuild(catalogue_);
  EXPECT_EQ(pool.kinds(), (std::vector<int>{10008, 30001}));

  catalogue_.set_selected(0, false);
  pool.rebuild(catalogue_);
  EXPECT_EQ(pool.kinds(), std::vector<int>{30001});

  for (int kind : {30001, 20000, 0, fish::kRandomKind, -10008}) pool.give_back(kind);
  EXPECT_EQ(pool.kinds(), std::vector<int>{30001}) << "present, not allowed or not a kind";
  pool.give_back(10008);
  EXPECT_EQ(pool.kinds(), (std::vector<int>{30001, 10008}));
}

// Seeds whose first draw is the given value.
struct Draw {
  std::uint32_t seed;
  int value;
};
constexpr Draw kDraws[] = {{4082038149u, 0}, {33158533u, 16383}, {860812677u, 16384}, {1106900357u, 32767}};

TEST_F(FishSelection, APickTakesIndexFloorOfRTimesNLimitedToTheLast) {
  settings_.set_flag(Settings::kAllKindsInPool, true);
  catalogue_.mark_selected(settings_);
  const int expected[] = {10008, 10008, 30001, 30001};
  for (std::size_t i = 0; i < std::size(kDraws); ++i) {
    base::CrtRandom check(kDraws[i].seed);
    ASSERT_EQ(check.next(), kDraws[i].value);
    SCOPED_TRACE(kDraws[i].value);
    RandomPool pool;
    pool.rebuild(catalogue_);
    base::CrtRandom random(kDraws[i].seed);
    EXPECT_EQ(pool.pick(false, random), expected[i]);
    EXPECT_EQ(pool.size(), 2u) << "kinds may repeat";
  }
}

TEST_F(FishSelection, UniquePicksUseEveryKindOnceThenNone) {
  settings_.set_flag(Settings::kAllKindsInPool, true);
  catalogue_.mark_selected(settings_);
  RandomPool pool;
  pool.rebuild(catalogue_);
  base::CrtRandom random(kDraws[0].seed);
  EXPECT_EQ(pool.pick(true, random), 10008);
  EXPECT_EQ(pool.kinds(), std::vector<int>{30001}) << "the last kind takes the picked one's place";
  EXPECT_EQ(pool.pick(true, random), 30001);
  EXPECT_TRUE(pool.empty());
  base::CrtRandom untouched = random;
  EXPECT_EQ(pool.pick(true, random), std::nullopt);
  EXPECT_EQ(random.next(), untouched.next()) << "an empty pool draws nothing";
}

}  // namespace

// Group-box lists and sea-set records as stored in tank files.
#include "scene/group_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/byte_writer.h"
#include "scene/sea_set_record.h"

namespace {

using scene::GroupBox;
using scene::GroupBoxList;

TEST(GroupBoxTest, BoundsComeFromTheTranslationAndTheAxisLengths) {
  GroupBox box;
  // The half extents are half the axis rows' lengths, whatever the turn.
  box.transform = base::scaling(10, 4, 2) * base::rotation_y(1.5707964f) * base::translation(1, 2, 3);
  const scene::AlignedBox bounds = box.bounds();
  EXPECT_NEAR(bounds.min.x, -4, 1e-4);
  EXPECT_NEAR(bounds.max.x, 6, 1e-4);
  EXPECT_NEAR(bounds.min.y, 0, 1e-4);
  EXPECT_NEAR(bounds.max.z, 4, 1e-4);

  box.transform.m[1][1] = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(box.bounds(), scene::AlignedBox{}) << "no NaN leaks into a swim box";
}

TEST(GroupBoxTest, ListsRoundTripAndLookUpIgnoringCase) {
  GroupBoxList list;
  GroupBox ocean;
  ocean.name = "ocean";
  ocean.a = 1;
  ocean.b = 0x1234;
  ocean.items = {{"Alpha", 5}, {"LongName", -2}};
  list.boxes() = {ocean, GroupBox{}};
  const std::vector<std::uint8_t> bytes = list.encode();
  EXPECT_EQ(bytes.size(), 4 + 2 * scene::kGroupBoxFixedBytes + 2 * scene::kGroupBoxItemBytes);

  const std::optional<GroupBoxList> read = GroupBoxList::parse(bytes);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->boxes().size(), 2u);
  const GroupBox* found = read->find("OCEAN");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->b, 0x1234);
  EXPECT_EQ(found->items[1].name, "LongNam") << "item names keep seven characters";
  EXPECT_EQ(found->items[1].value, -2);
  EXPECT_EQ(read->find("bubble"), nullptr);
}

TEST(GroupBoxTest, DamagedListsAreRefused) {
  GroupBoxList list;
  list.boxes() = {GroupBox{"zone", 0, 0, 0, 0, base::identity(), {{"a", 1}}}};
  const std::vector<std::uint8_t> good = list.encode();
  auto with_count_at = [&](std::size_t offset, std::uint32_t count) {
    std::vector<std::uint8_t> bytes = good;
    for (int b = 0; b < 4; ++b) bytes[offset + b] = static_cast<std::uint8_t>(count >> (8 * b));
    return bytes;
  };
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"empty", {}},
      {"cut in the transform", std::vector<std::uint8_t>(good.begin(), good.begin() + 80)},
      {"cut in the items", std::vector<std::uint8_t>(good.begin(), good.end() - 3)},
      {"box count beyond the bytes", with_count_at(0, 0xFFFFFFFF)},
      {"item count beyond the bytes", with_count_at(4 + 59 + 5 + 64, 0x10000000)},
  };
  for (const Case& c : cases) EXPECT_FALSE(GroupBoxList::parse(c.bytes)) << c.what;
}

TEST(SeaSetRecordTest, AShortRecordChangesOnlyItsFirstWords) {
  scene::SeaSetRecord record;
  for (std::size_t i = 0; i < scene::SeaSetRecord::kWords; ++i) record.set_word(i, 100.0f + static_cast<float>(i));
  base::ByteWriter forty;
  for (int i = 0; i < 10; ++i) forty.f32(static_cast<float>(i));
  record.assign(forty.data());
  for (std::size_t i = 0; i < scene::SeaSetRecord::kWords; ++i) {
    EXPECT_EQ(record.word(i), static_cast<float>(i) + (i < 10 ? 0.0f : 100.0f)) << i;
  }
  scene::SeaSetRecord copy;
  std::vector<std::uint8_t> long_record = record.encode();
  long_record.resize(200, 0xFF);
  copy.assign(long_record);
  EXPECT_EQ(copy.words(), record.words()) << "bytes past the record are ignored";
}

}  // namespace

#include "host/accelerators.h"

#include <gtest/gtest.h>

#include "platform/window_messages.h"

namespace {

using platform::WM_KEYDOWN;

TEST(Accelerators, TableHasTwentyFourEntriesAndEndsWithTheLastBit) {
  auto table = host::accelerator_table();
  ASSERT_EQ(table.size(), 24u);
  for (size_t i = 0; i + 1 < table.size(); ++i) EXPECT_EQ(table[i].flags, 0x03) << i;
  EXPECT_EQ(table.back().flags, 0x83);
}

TEST(Accelerators, KeysTranslateToTheirCommands) {
  struct Case {
    uint32_t key;
    uint16_t command;
  };
  const Case cases[] = {
      {platform::VK_ESCAPE, 40001},
      {'S', 40002},
      {'W', 40003},
      {platform::VK_F1, 40004},
      {'Z', 40005},
      {'F', 40007},
      {'L', 40008},
      {'B', 40009},
      {platform::VK_LEFT, 40011},
      {platform::VK_RIGHT, 40012},
      {platform::VK_UP, 40013},
      {platform::VK_DOWN, 40014},
      {'C', 40015},
      {platform::VK_F1 + 2, 40016},
      {platform::VK_F1 + 1, 40017},
      {'R', 40022},
      {platform::VK_NEXT, 40023},
      {platform::VK_PRIOR, 40024},
      {platform::VK_SPACE, 40026},
      {platform::VK_RETURN, 40027},
      {platform::VK_F1 + 7, 40028},
      {platform::VK_F1 + 8, 40029},
      {'T', 40031},
      {'M', 40033},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host::translate_accelerator(WM_KEYDOWN, c.key, false, false, false), c.command) << c.key;
  }
}

TEST(Accelerators, OtherKeysModifiersAndReleasesGiveNothing) {
  EXPECT_FALSE(host::translate_accelerator(WM_KEYDOWN, 'Q', false, false, false));
  EXPECT_FALSE(host::translate_accelerator(WM_KEYDOWN, 'S', true, false, false));
  EXPECT_FALSE(host::translate_accelerator(WM_KEYDOWN, 'S', false, true, false));
  EXPECT_FALSE(host::translate_accelerator(platform::WM_SYSKEYDOWN, 'S', false, false, true));
  EXPECT_FALSE(host::translate_accelerator(platform::WM_KEYUP, 'S', false, false, false));
}

}  // namespace

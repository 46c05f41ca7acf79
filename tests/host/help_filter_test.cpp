#include "host/help_filter.h"

#include <gtest/gtest.h>

namespace {

using host::SaverMode;

TEST(HelpFilter, HidesTheEntriesWhoseKeysDoNothingInTheMode) {
  struct Case {
    SaverMode mode;
    std::vector<uint32_t> hidden;
  };
  const Case cases[] = {
      {SaverMode::FullScreenSaver, {8001, 8002, 8007, 8011, 8017}},
      {SaverMode::Standalone, {8002, 8003, 8017}},
      {SaverMode::ActiveDesktop, {8001, 8003, 8007, 8011}},
      {SaverMode::Preview, {}},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> hidden;
    for (uint32_t entry = 8001; entry <= 8017; ++entry) {
      if (host::is_help_entry_hidden_in_mode(entry, c.mode)) hidden.push_back(entry);
    }
    EXPECT_EQ(hidden, c.hidden) << static_cast<int>(c.mode);
  }
}

TEST(HelpFilter, OnlyTheMusicEntryIsLockedAndOnlyWhileTheMusicIs) {
  for (uint32_t entry = 8001; entry <= 8017; ++entry) {
    EXPECT_FALSE(host::is_help_entry_locked(entry, false)) << entry;
    EXPECT_EQ(host::is_help_entry_locked(entry, true), entry == 8009) << entry;
  }
}

}  // namespace

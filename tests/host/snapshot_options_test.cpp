#include "host/snapshot_options.h"

#include <gtest/gtest.h>

namespace {

using host::take_snapshot_options;

TEST(SnapshotOptions, AreTakenOutBeforeTheSwitchesAreRead) {
  auto split = take_snapshot_options(
      {"Brinewick.scr", "/r", "--snapshot", "out.png", "--frames", "12", "--size", "640x360"});
  ASSERT_TRUE(split.error.empty()) << split.error;
  EXPECT_EQ(split.arguments, (std::vector<std::string>{"Brinewick.scr", "/r"}));
  ASSERT_TRUE(split.snapshot);
  EXPECT_EQ(split.snapshot->path, "out.png");
  EXPECT_EQ(split.snapshot->frames, 12);
  EXPECT_EQ(split.snapshot->width, 640);
  EXPECT_EQ(split.snapshot->height, 360);
}

TEST(SnapshotOptions, AbsentMeansANormalRun) {
  auto split = take_snapshot_options({"Brinewick.scr", "/s"});
  EXPECT_FALSE(split.snapshot);
  EXPECT_EQ(split.arguments.size(), 2u);
  // The program's own name is never read as an option.
  EXPECT_FALSE(take_snapshot_options({"--snapshot"}).snapshot);
}

TEST(SnapshotOptions, MalformedValuesAreRefused) {
  const std::vector<std::vector<std::string>> cases = {
      {"p", "--snapshot"},
      {"p", "--snapshot", ""},
      {"p", "--snapshot", "a.png", "--frames", "0"},
      {"p", "--snapshot", "a.png", "--frames", "12x"},
      {"p", "--snapshot", "a.png", "--frames", "99999999999"},
      {"p", "--snapshot", "a.png", "--size", "640"},
      {"p", "--snapshot", "a.png", "--size", "0x10"},
      {"p", "--snapshot", "a.png", "--size", "100000x10"},
  };
  for (const auto& arguments : cases) {
    EXPECT_FALSE(take_snapshot_options(arguments).error.empty()) << arguments.back();
  }
}

}  // namespace

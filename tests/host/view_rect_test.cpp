#include "host/view_rect.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewRectangle, KeepsTheAspectWithCentredBars) {
  struct Case {
    int aspect, width, height;
    base::Rect expected;
  };
  const Case cases[] = {
      {0, 1280, 1024, {0, 0, 1280, 1024}},
      {2, 1280, 1024, {0, 152, 1280, 872}},
      {1, 1920, 1080, {96, 0, 1824, 1080}},
      {0, 1920, 1080, {0, 0, 1920, 1080}},    // exactly 16:9
      {0, 2560, 1080, {320, 0, 2240, 1080}},  // wider than 16:9
      {2, 1920, 1080, {0, 0, 1920, 1080}},
      {1, 1280, 800, {0, 0, 1280, 800}},
      {7, 800, 600, {0, 0, 800, 600}},  // an unknown aspect acts as 0
      {2, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host::compute_view_rectangle(c.aspect, c.width, c.height), c.expected)
        << c.aspect << " " << c.width << "x" << c.height;
  }
}

TEST(UserResize, NeverWiderThanTheRatio) {
  constexpr float kRatio = 0.5625f;
  const host::ClientSize minimum{320, 200};
  struct Case {
    const char* what;
    host::ClientSize requested, old_client, expected;
  };
  const Case cases[] = {
      {"right edge dragged out: height follows", {1000, 450}, {800, 450}, {1000, 563}},
      {"bottom edge dragged up: width shrinks", {800, 400}, {800, 450}, {711, 400}},
      {"taller is allowed", {800, 700}, {800, 450}, {800, 700}},
      {"below the minimum", {100, 100}, {800, 450}, {320, 200}},
  };
  for (const Case& c : cases) {
    auto size = host::constrain_user_resize(c.requested, c.old_client, minimum, kRatio);
    EXPECT_EQ(size.width, c.expected.width) << c.what;
    EXPECT_EQ(size.height, c.expected.height) << c.what;
  }
}

}  // namespace

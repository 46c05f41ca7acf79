// The default tank drawn by the application on a real OpenGL device: the
// picture has the structure of a lit tank, and the light pattern moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app_harness.h"
#include "support/gl_window.h"

namespace {

using host_test::AppHarness;

int brightness(std::uint32_t c) {
  return static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF));
}

// The mean brightness of a band of rows.
double band_brightness(const gfx::Image& image, int top, int bottom) {
  double sum = 0.0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width; ++x) sum += brightness(image.pixel(x, y));
  }
  return sum / ((bottom - top) * image.width);
}

class RenderedTankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_.services.create_device = [this](platform::Window& window, const gfx::PresentParams& params,
                                             std::string* why) -> std::unique_ptr<gfx::Device> {
      const base::Rect client = window.client_rect();
      const int width = params.width > 0 ? params.width : client.width();
      const int height = params.height > 0 ? params.height : client.height();
      if (!gl_.open(width, height, why, "rendered tank")) return nullptr;
      return std::move(gl_.device);
    };
    ASSERT_TRUE(app_.create_application());
    harness_.drain();
    ASSERT_NE(app_.device(), nullptr);
    ASSERT_TRUE(app_.aquarium().scene().loaded());
    // The colours hold still, so only the light pattern changes the picture.
    if ((base::user_settings().u32(base::UserSettings::kColourBlock) & 1u) == 0) app_.aquarium().toggle_colour_hold();
  }

  gfx::Image frame_after(double seconds) {
    for (double t = 0.0; t < seconds - 1e-6; t += 0.05) {
      harness_.now += 0.05;
      app_.render_frame();
    }
    return app_.device()->read_back();
  }

  test_support::GlWindow gl_;
  AppHarness harness_{"Brinewick.scr /r"};
  host::AquariumApplication& app_ = harness_.make();
};

TEST_F(RenderedTankTest, TheTankIsLitFromAboveAndItsLightPatternMoves) {
  const gfx::Image first = frame_after(0.5);
  const int w = first.width;
  const int h = first.height;
  ASSERT_GT(w, 100);

  // Far from a uniform picture: many colours.
  std::set<std::uint32_t> colours;
  for (int y = 0; y < h; y += 4) {
    for (int x = 0; x < w; x += 4) colours.insert(first.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 500u);

  // The water darkens from the top towards the far floor; the sand in the
  // lower part is brighter than the water, and the lit floor is far from
  // even.
  const double top = band_brightness(first, 0, h / 10);
  const double deeper = band_brightness(first, h * 3 / 10, h * 4 / 10);
  EXPECT_GT(top, deeper + 20) << "top " << top << ", deeper " << deeper;
  const double floor = band_brightness(first, h * 8 / 10, h);
  EXPECT_GT(floor, top) << "floor " << floor << ", top " << top;
  std::vector<int> floor_pixels;
  for (int y = h * 8 / 10; y < h; y += 2) {
    for (int x = 0; x < w; x += 2) floor_pixels.push_back(brightness(first.pixel(x, y)));
  }
  std::sort(floor_pixels.begin(), floor_pixels.end());
  const int median = floor_pixels[floor_pixels.size() / 2];
  const int bright = floor_pixels[floor_pixels.size() * 95 / 100];
  EXPECT_GT(bright, median + 40) << "caustics make bright patches on the sand";

  // A second later the pattern has moved over the floor.
  const gfx::Image later = frame_after(1.0);
  int changed = 0;
  int counted = 0;
  for (int y = h * 8 / 10; y < h; y += 2) {
    for (int x = 0; x < w; x += 2) {
      ++counted;
      if (std::abs(brightness(first.pixel(x, y)) - brightness(later.pixel(x, y))) > 24) ++changed;
    }
  }
  EXPECT_GT(changed, counted / 20) << changed << " of " << counted;
}

}  // namespace

#include "scene/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "base/maths_expect.h"

namespace {

using base_test::near;
using scene::Camera;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kFov = kPi / 3.0f;  // cot(fov / 2) = sqrt(3)
const float kSqrt3 = std::sqrt(3.0f);
const scene::AlignedBox kSwimBox{{-10, -5, 0}, {10, 5, 20}};
const base::Vec3 kHome{0, 2, -10};

bool finite(const base::Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The tank's camera: 60 degrees, clip 1 to 100, at (0, 2, -10) looking
// along +z, in an 800 x 600 view.
class CameraTest : public testing::Test {
 protected:
  void SetUp() override {
    camera.resize({0, 0, 800, 600}, false);
    apply(kHome, {});
  }

  void apply(const base::Vec3& position, const base::Vec3& angles) {
    record.set_camera(kFov, 1.0f, 100.0f, position, angles);
    camera.apply_tank(kSwimBox, record);
  }

  scene::SeaSetRecord record;
  Camera camera;
};

TEST_F(CameraTest, CentreRayIsTheViewDirectionAndCornerRaysMeetTheCrossSection) {
  struct Case {
    base::Vec3 angles;  // pitch, yaw, roll
    base::Vec3 forward;
  };
  const Case cases[] = {
      {{0, 0, 0}, {0, 0, 1}},
      {{0, kPi / 2, 0}, {1, 0, 0}},
      {{kPi / 6, 0, 0}, {0, -0.5f, kSqrt3 / 2}},  // positive pitch looks down
      {{-0.2f, 2.0f, 0.1f},
       {std::sin(2.0f) * std::cos(0.2f), std::sin(0.2f), std::cos(2.0f) * std::cos(0.2f)}},
  };
  for (const Case& c : cases) {
    apply({1, 2, -10}, c.angles);
    EXPECT_TRUE(near(camera.forward(), c.forward)) << c.angles.x << " " << c.angles.y;
    const Camera::Ray centre = camera.screen_ray(400, 300);
    EXPECT_TRUE(near(centre.origin, {1, 2, -10}));
    EXPECT_TRUE(near(centre.direction, c.forward)) << c.angles.x << " " << c.angles.y;

    const float screen[4][2] = {{0, 0}, {800, 0}, {0, 600}, {800, 600}};
    for (float distance : {5.0f, 30.0f}) {
      const auto corners = camera.cross_section(distance);
      for (int i = 0; i < 4; ++i) {
        const Camera::Ray ray = camera.screen_ray(screen[i][0], screen[i][1]);
        EXPECT_TRUE(near(ray.origin + ray.direction * distance, corners[i], 1e-4f))
            << "corner " << i << " at " << distance;
      }
    }
  }
}

TEST_F(CameraTest, CrossSectionCornersAtADistance) {
  const float m = 10.0f / kSqrt3;  // half-height at distance 10
  const float r = m * 4.0f / 3.0f;
  struct Case {
    base::Vec3 angles;
    std::array<base::Vec3, 4> corners;  // left-top, right-top, left-bottom, right-bottom
  };
  const Case cases[] = {
      {{0, 0, 0}, {{{-r, 2 + m, 0}, {r, 2 + m, 0}, {-r, 2 - m, 0}, {r, 2 - m, 0}}}},
      // Looking along +x the camera's right is -z.
      {{0, kPi / 2, 0},
       {{{10, 2 + m, -10 + r}, {10, 2 + m, -10 - r}, {10, 2 - m, -10 + r}, {10, 2 - m, -10 - r}}}},
  };
  for (const Case& c : cases) {
    apply(kHome, c.angles);
    const auto corners = camera.cross_section(10.0f);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(corners[i], c.corners[i], 1e-4f)) << "corner " << i;
  }
}

TEST_F(CameraTest, ZoomFlipGlidesOverOneSecondAndReversesFromTheCurrentBlend) {
  camera.set_layout_centre(0, 2);
  ASSERT_TRUE(near(camera.zoomed_position(), {0, 2, -7.5f}));
  struct Step {
    int glide;  // direction given before the update, 0 for none
    float dt;
    float blend;
    bool moved;
  };
  const Step steps[] = {
      {1, 0.25f, 0.25f, true}, {0, 0.25f, 0.5f, true},   {0, 0.25f, 0.75f, true}, {0, 0.25f, 1.0f, true},
      {0, 0.25f, 1.0f, false}, {-1, 0.25f, 0.75f, true}, {0, 0.25f, 0.5f, true},  {1, 0.25f, 0.75f, true},
      {-1, 0.6f, 0.15f, true}, {0, 0.6f, 0.0f, true},    {0, 0.6f, 0.0f, false},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    const Step& s = steps[i];
    if (s.glide != 0) camera.glide_zoom(s.glide);
    camera.clear_changed();
    camera.update(s.dt);
    EXPECT_NEAR(camera.zoom_blend(), s.blend, 1e-5f) << "step " << i;
    EXPECT_EQ(camera.changed(), s.moved) << "step " << i;
    EXPECT_TRUE(near(camera.eye(), {0, 2, -10 + 2.5f * s.blend}, 1e-4f)) << "step " << i;
  }

  // At start the zoom is taken at once.
  camera.set_zoom(1);
  EXPECT_FLOAT_EQ(camera.zoom_blend(), 1.0f);
  EXPECT_TRUE(near(camera.eye(), {0, 2, -7.5f}));
  camera.set_zoom(-1);
  EXPECT_FLOAT_EQ(camera.zoom_blend(), 0.0f);
  EXPECT_TRUE(near(camera.eye(), kHome));
}

TEST_F(CameraTest, LayoutCentreFarToOneSideIsClampedToTheHomeView) {
  // The closer preset sits at z -7.5; at the back of the swim box (z 20) the
  // home view is 30 deep and the closer one 27.5.
  const float f = 2.5f / kSqrt3;
  const float e = f * 4.0f / 3.0f;
  struct Case {
    float x, y;
    base::Vec3 zoomed;
  };
  const Case cases[] = {
      {0, 2, {0, 2, -7.5f}},           {1, 2.5f, {1, 2.5f, -7.5f}}, {100, 2, {e, 2, -7.5f}},
      {-100, -50, {-e, 2 - f, -7.5f}}, {3, 40, {e, 2 + f, -7.5f}},
  };
  camera.set_zoom(-1);
  const auto home_back = camera.cross_section(30.0f);
  for (const Case& c : cases) {
    camera.set_zoom(-1);
    camera.set_layout_centre(c.x, c.y);
    EXPECT_TRUE(near(camera.zoomed_position(), c.zoomed, 1e-5f)) << c.x << ", " << c.y;
    camera.set_zoom(1);
    EXPECT_TRUE(near(camera.eye(), c.zoomed, 1e-5f));
    const auto zoomed_back = camera.cross_section(27.5f);
    EXPECT_GE(zoomed_back[0].x, home_back[0].x - 1e-4f) << c.x;
    EXPECT_LE(zoomed_back[1].x, home_back[1].x + 1e-4f) << c.x;
    EXPECT_LE(zoomed_back[0].y, home_back[0].y + 1e-4f) << c.y;
    EXPECT_GE(zoomed_back[2].y, home_back[2].y - 1e-4f) << c.y;
    EXPECT_NEAR(zoomed_back[0].z, 20.0f, 1e-4f);
  }
}

TEST_F(CameraTest, BoxVisibilityByCornerOutcodes) {
  std::array<base::Vec3, 8> unit_cube;
  for (int i = 0; i < 8; ++i) {
    unit_cube[i] = {i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f};
  }
  struct Case {
    const char* name;
    float yaw;
    base::Vec3 centre;
    base::Vec3 size;
    bool visible;
  };
  // From (0, 2, -10) the view at z 10 is about +-15.4 wide and +-11.5 high.
  const Case cases[] = {
      {"inside", 0, {0, 2, 10}, {1, 1, 1}, true},
      {"left of the view", 0, {-40, 2, 10}, {1, 1, 1}, false},
      {"right of the view", 0, {40, 2, 10}, {1, 1, 1}, false},
      {"above", 0, {0, 30, 10}, {1, 1, 1}, false},
      {"below", 0, {0, -30, 10}, {1, 1, 1}, false},
      {"behind the eye", 0, {0, 2, -20}, {1, 1, 1}, false},
      {"beyond the far plane", 0, {0, 2, 200}, {1, 1, 1}, false},
      {"straddling the left edge", 0, {-15.4f, 2, 10}, {2, 2, 2}, true},
      {"straddling the near plane", 0, {0, 2, -9.5f}, {2, 2, 2}, true},
      {"spanning the view with every corner outside", 0, {0, 2, 10}, {100, 1, 1}, true},
      {"turned towards it", kPi / 2, {20, 2, -10}, {1, 1, 1}, true},
      {"turned away from it", kPi / 2, {0, 2, 10}, {1, 1, 1}, false},
  };
  for (const Case& c : cases) {
    apply(kHome, {0, c.yaw, 0});
    const base::Matrix world = base::scaling(c.size) * base::translation(c.centre);
    EXPECT_EQ(camera.box_visible(world, unit_cube), c.visible) << c.name;
  }
}

TEST_F(CameraTest, ViewTopFollowsTheHomePoseOfTheTank) {
  camera.set_layout_centre(5, 5);
  for (int zoom : {-1, 1}) {
    camera.set_zoom(zoom);
    for (float z : {-10.0f, 0.0f, 20.0f}) {
      EXPECT_NEAR(camera.view_top_at(z), 2 + (z + 10) / kSqrt3, 1e-4f) << "zoom " << zoom << " z " << z;
    }
  }
  camera.set_zoom(-1);
  EXPECT_NEAR(camera.view_top_at(10), camera.cross_section(20)[0].y, 1e-4f) << "the top edge of the view";

  apply({0, -1, -20}, {});
  EXPECT_NEAR(camera.view_top_at(0), -1 + 20 / kSqrt3, 1e-4f) << "a new tank takes a new snapshot";
}

TEST_F(CameraTest, ViewportGlidesAtSixtyFourPixelsPerSecondPerEdge) {
  struct Case {
    base::Rect target;
    float dt;
    int frames;
  };
  const Case cases[] = {
      {{0, 0, 672, 600}, 0.25f, 8},
      {{128, 0, 800, 600}, 0.5f, 4},
      {{0, 0, 800, 472}, 1.0f / 64.0f, 128},
      {{0, 0, 800, 728}, 1.0f, 2},
  };
  for (const Case& c : cases) {
    camera.resize({0, 0, 800, 600}, false);
    ASSERT_FALSE(camera.viewport_animating());
    camera.resize(c.target, true);
    EXPECT_EQ(camera.viewport().width, 800) << "nothing moves before the first frame";
    for (int i = 1; i < c.frames; ++i) camera.update(c.dt);
    EXPECT_TRUE(camera.viewport_animating()) << c.dt;
    EXPECT_NE(camera.viewport(),
              (gfx::Viewport{c.target.left, c.target.top, c.target.width(), c.target.height()}))
        << c.dt;
    camera.update(c.dt);
    EXPECT_FALSE(camera.viewport_animating()) << c.dt;
    const gfx::Viewport expected{c.target.left,     c.target.top, c.target.width(),
                                 c.target.height(), 0.0f,         1.0f};
    EXPECT_EQ(camera.viewport(), expected) << c.dt;
    const float aspect = static_cast<float>(c.target.width()) / static_cast<float>(c.target.height());
    EXPECT_FLOAT_EQ(camera.aspect(), aspect);
    EXPECT_FLOAT_EQ(camera.projection().m[0][0], kSqrt3 / aspect);
  }
}

TEST_F(CameraTest, EmptyViewportKeepsThePreviousAspect) {
  const base::Rect empty_rects[] = {{0, 0, 800, 0}, {0, 0, 0, 600}, {100, 100, 50, 50}};
  for (const base::Rect& rect : empty_rects) {
    camera.resize({0, 0, 800, 600}, false);
    camera.resize(rect, false);
    EXPECT_FLOAT_EQ(camera.aspect(), 4.0f / 3.0f) << rect.right << "x" << rect.bottom;
    for (const auto& row : camera.projection().m) {
      for (float value : row) EXPECT_TRUE(std::isfinite(value));
    }
    const Camera::Ray ray = camera.screen_ray(10, 10);
    EXPECT_TRUE(finite(ray.direction)) << rect.right << "x" << rect.bottom;
    for (const base::Vec3& corner : camera.cross_section(10)) EXPECT_TRUE(finite(corner));
  }
  // Gliding down to nothing keeps the shape of the last frame that had one.
  camera.resize({0, 0, 800, 600}, false);
  camera.resize({0, 0, 800, 0}, true);
  float last_aspect = camera.aspect();
  for (int frame = 0; frame < 100 && camera.viewport_animating(); ++frame) {
    if (camera.viewport().height > 0) last_aspect = camera.aspect();
    camera.update(1.0f);
  }
  EXPECT_EQ(camera.viewport().height, 0);
  EXPECT_FLOAT_EQ(camera.aspect(), last_aspect);
  EXPECT_FLOAT_EQ(last_aspect, 800.0f / 24.0f);
}

TEST(CameraInstance, TheLatestCameraIsCurrentUntilDestroyed) {
  {
    Camera camera;
    EXPECT_EQ(Camera::current(), &camera);
  }
  EXPECT_EQ(Camera::current(), nullptr);
}

}  // namespace

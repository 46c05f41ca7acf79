// Fish drawn through the skinning effect on a real driver, with the content
// the forge wrote into the build's program folder: kind 10008's model and
// attributes, the shared effect and "BWFish".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "base/matrix.h"
#include "base/png.h"
#include "fish/body_motion.h"
#include "fish/fish_kind.h"
#include "fish/fish_model.h"
#include "fish/fish_renderer.h"
#include "model/mesh_library.h"
#include "render/package_reader.h"
#include "render/shared_constants.h"
#include "support/gl_window.h"

namespace {

using base::Matrix;
using base::Vec3;

constexpr int kWidth = 240;
constexpr int kHeight = 160;
constexpr std::uint32_t kBackground = 0xFF000000;
constexpr float kFrame = 1.0f / 60.0f;
constexpr int kFishKind = 10008;
constexpr const char* kFishPackage = "Fish/10008.vmf";

// The build's program folder, beside the test programs.
std::string program_folder() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
}

// Where pictures are left for a person to look at: the build folder.
std::filesystem::path picture_folder() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
}

fish::BodyParameters body_parameters(const fish::FishKindAttributes& a) {
  fish::BodyParameters p;
  p.normal_speed = a.normal_speed();
  p.normal_wave_size = a.normal_wave_size();
  p.normal_freq = a.normal_freq();
  p.elasticity = a.elasticity();
  if (a.origin_fraction() != 0.0f) p.origin_fraction = a.origin_fraction();
  if (a.follow_factor() != 0.0f) p.follow_factor = a.follow_factor();
  if (a.pitch_limit() != 0.0f) p.pitch_limit = a.pitch_limit();
  if (a.spine_segments() != 0) p.spine_segments = a.spine_segments();
  return p;
}

// The pixels a picture covers: those that differ from the background.
struct Coverage {
  std::vector<bool> covered;
  int count = 0;
  int left = kWidth;
  int right = -1;
  int top = kHeight;
  int bottom = -1;
};

Coverage coverage_of(const gfx::Image& picture) {
  Coverage c;
  c.covered.assign(static_cast<std::size_t>(kWidth * kHeight), false);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if ((picture.pixel(x, y) & 0xFFFFFF) == (kBackground & 0xFFFFFF)) continue;
      c.covered[static_cast<std::size_t>(y * kWidth + x)] = true;
      ++c.count;
      c.left = std::min(c.left, x);
      c.right = std::max(c.right, x);
      c.top = std::min(c.top, y);
      c.bottom = std::max(c.bottom, y);
    }
  }
  return c;
}

int differing_pixels(const gfx::Image& a, const gfx::Image& b) {
  int count = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  }
  return count;
}

void save(const gfx::Image& picture, const char* name) {
  base::write_png_file(picture_folder() / name, static_cast<std::uint32_t>(picture.width),
                       static_cast<std::uint32_t>(picture.height), 4, picture.rgba,
                       static_cast<std::size_t>(picture.width) * 4);
}

class FishRenderGl : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl_.open(kWidth, kHeight, &error, "fish render test")) << error;
    devices_.devices = {gl_.device.get()};
    ASSERT_TRUE(render::load_shared_effect(shared_, pools_, devices_, folder_)) << shared_.error();
    ASSERT_TRUE(renderer_.load(folder_, 3, false));

    render::PackageReader package;
    ASSERT_TRUE(package.open_file((folder_ + kFishPackage).c_str(), false));
    fish_ = fish::load_fish_model(kFishKind, package, model::mesh_library());
    ASSERT_TRUE(fish_);
    fish::FishKindAttributes attributes;
    attributes.load(package);
    body_.build_body(fish_->box.min, fish_->box.max, body_parameters(attributes));
    length_ = fish_->box.max.z - fish_->box.min.z;
    ASSERT_GT(length_, 0.0f);
    body_.reset_pose(base::identity());

    // The head sits at the origin looking along +z, so the body lies on
    // z = -length..0. The camera looks at it from its left side, a little
    // from above.
    centre_ = {0.0f, (fish_->box.min.y + fish_->box.max.y) * 0.5f, -length_ * 0.5f};
    const Vec3 eye = centre_ + Vec3{-1.4f * length_, 0.25f * length_, 0.0f};
    const Matrix view = base::look_at_lh(eye, centre_, {0, 1, 0});
    projection_ = base::perspective_fov_lh(std::numbers::pi_v<float> / 4, float{kWidth} / kHeight,
                                           0.05f * length_, 20.0f * length_);
    view_projection_ = view * projection_;
    constants_.set_camera(view, base::inverse(view).value(), projection_);
    render::Light light;
    light.direction = base::normalize(Vec3{0.45f, -1.0f, 0.3f});
    light.diffuse = {1.0f, 0.98f, 0.94f, 1.0f};
    light.ambient = {0.38f, 0.38f, 0.4f, 1.0f};
    constants_.set_light(light);
  }

  void TearDown() override {
    if (fish_ && gl_.device) fish_->release_device(*gl_.device);
    fish_.reset();
  }

  gfx::Image draw(std::span<const Matrix> palette) { return draw_with(renderer_, palette); }

  gfx::Image draw_with(fish::FishRenderer& renderer, std::span<const Matrix> palette) {
    gl_.device->clear(gfx::kClearTarget | gfx::kClearZBuffer, kBackground, 1.0f, 0);
    renderer.draw(constants_, *fish_, palette);
    return gl_.device->read_back();
  }

  // The screen column of a world point.
  int column_of(const Vec3& point) const {
    const base::Vec4 clip = base::transform(point, view_projection_);
    return static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * kWidth);
  }

  // A rigid placement of the whole model: its head at the origin, as the
  // body at rest puts it.
  Matrix rigid() const { return base::translation(0.0f, 0.0f, -fish_->box.max.z); }

  const std::string folder_ = program_folder();
  test_support::GlWindow gl_;
  render::RenderDevices devices_;
  render::EffectPools pools_;
  render::EffectSet shared_{devices_, pools_};
  render::SharedConstants constants_{shared_, devices_};
  fish::FishRenderer renderer_{devices_, pools_};
  std::shared_ptr<model::MeshNode> fish_;
  fish::BodyMotion body_;
  float length_ = 0.0f;
  Vec3 centre_;
  Matrix projection_;
  Matrix view_projection_;
};

TEST_F(FishRenderGl, StraightAndBentBodiesDrawAFishWhoseTailSwings) {
  const gfx::Image straight = draw(body_.skin_palette());
  save(straight, "fish_render_straight.png");

  // A sharp turn to the right: the springs pull the middle of the body
  // sideways and the tail swings after it. The turn's strength has a random
  // part; a fixed seed gives the same bend every run.
  base::crt_rand().seed(1);
  ASSERT_TRUE(body_.start_turn(1.2f, 0.5f, false));
  fish::MotionState still;
  for (int frame = 0; frame < 6; ++frame) body_.update_body(still, kFrame, kFrame);
  const gfx::Image bent = draw(body_.skin_palette());
  save(bent, "fish_render_bent.png");

  const Coverage side = coverage_of(straight);
  const int pixels = kWidth * kHeight;
  EXPECT_GT(side.count, pixels / 40) << "the fish is too small or missing";
  EXPECT_LT(side.count, pixels / 2) << "the fish fills the view";
  // Seen from the side a fish is long and low, and it reaches from the tip
  // of its nose to the end of its tail fin (the fins draw in the
  // transparent pass).
  EXPECT_GT(side.right - side.left, 2 * (side.bottom - side.top));
  const int head_column = column_of({0, centre_.y, 0});
  const int tail_column = column_of({0, centre_.y, -length_});
  EXPECT_NEAR(side.left, std::min(head_column, tail_column), 4);
  EXPECT_NEAR(side.right, std::max(head_column, tail_column), 4);

  // The silhouettes differ, and mostly on the tail's side of the body.
  const Coverage turned = coverage_of(bent);
  const int middle = (head_column + tail_column) / 2;
  int head_side = 0;
  int tail_side = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t at = static_cast<std::size_t>(y * kWidth + x);
      if (side.covered[at] == turned.covered[at]) continue;
      const bool towards_tail = (x > middle) == (tail_column > middle);
      (towards_tail ? tail_side : head_side) += 1;
    }
  }
  EXPECT_GT(head_side + tail_side, side.count / 20) << "bending hardly changed the silhouette";
  EXPECT_GT(tail_side, head_side) << "the head moved more than the tail";
}

TEST_F(FishRenderGl, APaletteShorterThanTheModelsBonesKeepsEveryVertexOnTheFish) {
  const std::vector<Matrix> whole(body_.skin_palette().size(), rigid());
  const gfx::Image expected = draw(whole);

  // A fish drawn before leaves its palette well above this one; a vertex
  // that took one of those matrices would be flung across the view.
  const std::vector<Matrix> elsewhere(20, base::translation(0.0f, length_ * 0.6f, 0.0f) * rigid());
  draw(elsewhere);
  const Matrix one[] = {rigid()};
  EXPECT_EQ(differing_pixels(draw(one), expected), 0);
}

TEST_F(FishRenderGl, NothingDrawsWithoutAPaletteOrWithoutTheEffect) {
  draw(body_.skin_palette());
  const gfx::Image empty_palette = draw({});
  EXPECT_EQ(coverage_of(empty_palette).count, 0) << "drew with the palette of the fish before";

  fish::FishRenderer unloaded(devices_, pools_);
  EXPECT_FALSE(unloaded.load(folder_ + "no such folder", 3, true));
  EXPECT_FALSE(unloaded.ready());
  EXPECT_EQ(coverage_of(draw_with(unloaded, body_.skin_palette())).count, 0);
}

TEST_F(FishRenderGl, TheBumpVariantShadesTheSkinWithItsNormalMapWhereAllowed) {
  // The skin's "-b" companion rides along with the mesh texture: the bump
  // effect shades the same silhouette differently; without it the picture
  // is exactly the plain one.
  const gfx::Image plain = draw(body_.skin_palette());
  const Coverage plain_cover = coverage_of(plain);
  struct Case {
    int level;
    bool bump_allowed;
    bool bump_loaded;
  };
  const Case cases[] = {
      {1, true, false},
      {2, true, true},
      {3, true, true},
      {3, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level << ", bump allowed " << c.bump_allowed);
    fish::FishRenderer renderer(devices_, pools_);
    ASSERT_TRUE(renderer.load(folder_, c.level, c.bump_allowed));
    EXPECT_EQ(renderer.bump_loaded(), c.bump_loaded);
    const gfx::Image picture = draw_with(renderer, body_.skin_palette());
    if (c.bump_loaded) {
      EXPECT_GT(differing_pixels(picture, plain), plain_cover.count / 10);
      EXPECT_NEAR(coverage_of(picture).count, plain_cover.count, plain_cover.count / 50);
    } else {
      EXPECT_EQ(differing_pixels(picture, plain), 0);
    }
  }
}

}  // namespace

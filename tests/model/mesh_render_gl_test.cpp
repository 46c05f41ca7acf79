#include <gtest/gtest.h>

#include <numbers>

#include "base/matrix.h"
#include "model/lit_program.h"
#include "model/mesh_builder.h"
#include "model/mesh_library.h"
#include "model/mesh_texture.h"
#include "model/mesh_writer.h"
#include "platform/gfx_device.h"
#include "platform/message_queue.h"
#include "platform/window_system.h"
#include "support/gl_window.h"

namespace {

constexpr std::uint32_t kBackground = 0xFF102030;
constexpr int kWidth = 160;
constexpr int kHeight = 120;

int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
int brightness(std::uint32_t c) { return red(c) + green(c) + blue(c); }

// The checker the forge puts on its test meshes: 8 x 8 squares of sea green
// and sand on 64 x 64 pixels.
std::shared_ptr<model::MeshTexture> checker() {
  std::vector<std::uint8_t> rgba(64 * 64 * 4);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
      std::uint8_t* p = rgba.data() + (y * 64 + x) * 4;
      p[0] = dark ? 0x2E : 0xE8;
      p[1] = dark ? 0x8B : 0xD8;
      p[2] = dark ? 0x7A : 0xA8;
      p[3] = 0xFF;
    }
  }
  return std::make_shared<model::MeshTexture>("Checker.png", 64, 64, std::move(rgba));
}

class MeshRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl_.open(kWidth, kHeight, &error, "mesh render test")) << error;
    program_ = std::make_unique<model::LitProgram>(*device_);
    ASSERT_TRUE(program_->ok()) << program_->error();
    program_->use();
    look_at({0, 0, 0});
    // A white light travelling away from the camera.
    program_->set_light({0, 0, 1}, {1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1});
  }

  void TearDown() override {
    for (const auto& mesh : meshes_) mesh->release_device(*device_);
    meshes_.clear();
    program_.reset();
  }

  // The camera stands at z = -5 and looks at `target`.
  void look_at(const base::Vec3& target, const base::Matrix& world = base::identity()) {
    const base::Matrix view = base::look_at_lh({0, 0, -5}, target, {0, 1, 0});
    const base::Matrix projection =
        base::perspective_fov_lh(std::numbers::pi_v<float> / 4, float{kWidth} / kHeight, 0.1f, 100.0f);
    program_->set_transforms(world, view, projection);
  }

  gfx::Image render(const model::MeshNode& mesh) {
    device_->clear(gfx::kClearTarget | gfx::kClearZBuffer, kBackground, 1.0f, 0);
    model::DrawContext context{*device_, program_.get()};
    mesh.draw_all(context, true);
    return device_->read_back();
  }

  model::MeshNode& keep(std::shared_ptr<model::MeshNode> mesh) {
    meshes_.push_back(std::move(mesh));
    return *meshes_.back();
  }

  test_support::GlWindow gl_;
  std::unique_ptr<gfx::Device>& device_ = gl_.device;
  std::unique_ptr<model::LitProgram> program_;
  std::vector<std::shared_ptr<model::MeshNode>> meshes_;
};

TEST_F(MeshRenderTest, TheTexturedTestBoxShowsWhereTheCameraLooks) {
  // The forge's test box, written to a mesh package and read back.
  model::Material material = model::plain_material({1, 1, 1, 1});
  material.ambient = {0.3f, 0.3f, 0.3f, 1};
  material.texture_name = "Checker.png";
  material.texture = checker();
  std::unique_ptr<model::MeshNode> built = model::make_box({1, 1, 1}, material, "Box");
  built->index_tree();
  const std::optional<std::vector<std::uint8_t>> package = model::encode_mesh_package(*built, "Box");
  ASSERT_TRUE(package);
  base::CrtRandom random;
  model::TextureCache textures;
  model::MeshLibrary library(&random, &textures);
  model::MeshNode& box = keep(library.load_memory("Box.vmf", *package));
  ASSERT_TRUE(box.materials[0].texture && box.materials[0].texture->has_picture());

  gfx::Image image = render(box);
  for (auto [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}})
    EXPECT_EQ(image.pixel(x, y), kBackground) << x << "," << y;
  // The front face fills the middle with the two checker colours, fully lit
  // (x 1.06: the diffuse light and a little ambient). Row 46 runs through
  // the middle of a row of squares, away from the filtered edges.
  bool seen_dark = false;
  bool seen_sand = false;
  for (int x = 60; x <= 100; x += 2) {
    const std::uint32_t c = image.pixel(x, 46);
    EXPECT_NE(c, kBackground);
    if (std::abs(red(c) - 0x31) < 4 && std::abs(green(c) - 0x93) < 4 && std::abs(blue(c) - 0x81) < 4)
      seen_dark = true;
    if (std::abs(red(c) - 0xF6) < 4 && std::abs(green(c) - 0xE5) < 4 && std::abs(blue(c) - 0xB2) < 4)
      seen_sand = true;
  }
  EXPECT_TRUE(seen_dark && seen_sand) << "both checker colours across the face";

  // Looking elsewhere leaves the middle empty; looking from the left puts
  // the box on the right.
  look_at({10, 0, 0});
  EXPECT_EQ(render(box).pixel(80, 60), kBackground);
  look_at({-1.5f, 0, 0});
  image = render(box);
  EXPECT_EQ(image.pixel(30, 60), kBackground);
  EXPECT_NE(image.pixel(120, 60), kBackground);
}

TEST_F(MeshRenderTest, ALitFaceIsBrighterThanOneTurnedFromTheLight) {
  model::MeshNode& box = keep(model::make_box({1, 1, 1}, model::plain_material({1, 1, 1, 1}), "White"));
  // Turned by 45 degrees: the -z side shows on the left, the +x side on
  // the right. The light travels towards +x, so it falls on the left one.
  look_at({0, 0, 0}, base::rotation_y(std::numbers::pi_v<float> / 4));
  program_->set_light({1, 0, 0}, {1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1});
  const gfx::Image image = render(box);
  const std::uint32_t left = image.pixel(65, 60);
  const std::uint32_t right = image.pixel(95, 60);
  ASSERT_NE(left, kBackground);
  ASSERT_NE(right, kBackground);
  EXPECT_GT(brightness(left), brightness(right) + 200) << std::hex << left << " vs " << right;
  EXPECT_NEAR(red(right), 0x33, 3) << "the unlit side gets the ambient light only";
}

TEST_F(MeshRenderTest, BackFacesAreCulledAsTheMaterialSays) {
  struct Case {
    std::uint8_t cull;
    bool facing_camera;
    bool drawn;
  };
  const Case cases[] = {{3, true, true},  {3, false, false}, {2, true, false},
                        {2, false, true}, {1, false, true},  {0, true, false}};
  for (const Case& c : cases) {
    model::Material material = model::plain_material({1, 0, 0, 1});
    material.cull = c.cull;
    model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal);
    builder.begin_subset(material);
    const base::Vec3 n{0, 0, c.facing_camera ? -1.0f : 1.0f};
    const std::uint32_t tl = builder.add_vertex({-1, 1, 0}, n);
    const std::uint32_t tr = builder.add_vertex({1, 1, 0}, n);
    const std::uint32_t br = builder.add_vertex({1, -1, 0}, n);
    const std::uint32_t bl = builder.add_vertex({-1, -1, 0}, n);
    if (c.facing_camera) {
      builder.add_triangle(tl, tr, br);
      builder.add_triangle(tl, br, bl);
    } else {
      builder.add_triangle(tl, br, tr);
      builder.add_triangle(tl, bl, br);
    }
    model::MeshNode& quad = keep(builder.build("Quad"));
    program_->set_light({0, 0, 1}, {1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1});
    const std::uint32_t centre = render(quad).pixel(80, 60);
    EXPECT_EQ(centre != kBackground, c.drawn)
        << "cull " << int{c.cull} << (c.facing_camera ? " facing" : " away");
  }
}

TEST_F(MeshRenderTest, TransparentSubsetsBlendOverWhatIsBehind) {
  model::GeometryBuilder builder(gfx::fvf::kXyz);
  // Opaque blue behind (z = 1), half-transparent red in front (z = 0); the
  // transparent subset comes first in the file but draws last.
  model::Material glass = model::plain_material({1, 0, 0, 0.5f});
  glass.ambient = {0, 0, 0, 1};
  glass.cull = 1;
  glass.blend = 1;
  glass.src_blend = gfx::kBlendSrcAlpha;
  glass.dest_blend = gfx::kBlendInvSrcAlpha;
  model::Material wall = model::plain_material({0, 0, 1, 1});
  wall.ambient = {0, 0, 0, 1};
  for (const auto& [material, z] : {std::pair{glass, 0.0f}, std::pair{wall, 1.0f}}) {
    builder.begin_subset(material);
    const std::uint32_t tl = builder.add_vertex({-1, 1, z});
    const std::uint32_t tr = builder.add_vertex({1, 1, z});
    const std::uint32_t br = builder.add_vertex({1, -1, z});
    const std::uint32_t bl = builder.add_vertex({-1, -1, z});
    builder.add_triangle(tl, tr, br);
    builder.add_triangle(tl, br, bl);
  }
  model::MeshNode& layers = keep(builder.build("Layers"));
  EXPECT_EQ(layers.draw_order, (std::vector<std::uint32_t>{1, 0}));
  const std::uint32_t centre = render(layers).pixel(80, 60);
  EXPECT_NEAR(red(centre), 128, 3) << std::hex << centre;
  EXPECT_NEAR(blue(centre), 127, 3) << std::hex << centre;
  EXPECT_EQ(device_->render_state(gfx::RenderState::AlphaBlendEnable), 0u);
}

}  // namespace

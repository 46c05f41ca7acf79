#include <gtest/gtest.h>

#include <cstring>

#include "model/debug_lines.h"
#include "model/hand_mesh.h"
#include "model/lit_program.h"
#include "model/mesh_builder.h"
#include "model/mesh_reader.h"
#include "model/mesh_texture.h"
#include "platform/recording_device.h"

namespace {

using namespace model_test;
using model::MeshNode;

// A quad of four subsets (one triangle each): opaque, transparent, hidden
// (cull 0), transparent, with materials in that order.
std::unique_ptr<MeshNode> four_subsets() {
  model::GeometryBuilder builder(kQuadFormat);
  auto material = [](std::uint8_t cull, std::uint8_t blend, std::uint8_t src, std::uint8_t dest) {
    model::Material m = model::plain_material(base::Vec4{1, 1, 1, 1});
    m.cull = cull;
    m.blend = blend;
    m.src_blend = src;
    m.dest_blend = dest;
    return m;
  };
  const model::Material materials[] = {material(3, 0, 0, 0), material(1, 1, 5, 6), material(0, 0, 0, 0),
                                       material(2, 1, 2, 2)};
  for (const model::Material& m : materials) {
    builder.begin_subset(m);
    const std::uint32_t a = builder.add_vertex({0, 0, 0});
    const std::uint32_t b = builder.add_vertex({0, 1, 0});
    const std::uint32_t c = builder.add_vertex({1, 1, 0});
    builder.add_triangle(a, b, c);
  }
  return builder.build("Four");
}

TEST(MeshDraw, OpaqueSubsetsFirstThenTheTransparentOnesWithTheirBlendFactors) {
  gfx::RecordingDevice device;
  std::unique_ptr<MeshNode> node = four_subsets();
  ASSERT_TRUE(node);
  EXPECT_EQ(node->draw_order, (std::vector<std::uint32_t>{0, 2, 1, 3}));
  EXPECT_EQ(node->transparent_count, 2u);
  model::DrawContext context{device};
  node->draw_all(context, true);
  const std::vector<std::string> expected = {
      "create_vertex_buffer 1 384", "update_vertex_buffer 1 0 384", "create_index_buffer 2 24",
      "update_index_buffer 2 0 24", "vertex_format 112", "vertex_buffer 1", "index_buffer 2",
      // opaque pass: subset 0; subset 2 is hidden
      "render_state 27 0", "render_state 22 3", "set_texture 0 0", "draw_indexed 4 0 0 1",
      // transparent pass: subsets 1 and 3 with their factors
      "render_state 27 1", "render_state 19 5", "render_state 20 6", "render_state 22 1", "set_texture 0 0",
      "draw_indexed 4 0 3 1", "render_state 19 2", "render_state 20 2", "render_state 22 2", "set_texture 0 0",
      "draw_indexed 4 0 9 1", "render_state 27 0"};
  EXPECT_EQ(device.calls, expected);
  node->release_device(device);
}

TEST(MeshDraw, OnlyTransparentSubsetsSkipTheOpaquePass) {
  gfx::RecordingDevice device;
  model::GeometryBuilder builder(kQuadFormat);
  model::Material glass = model::plain_material(base::Vec4{1, 1, 1, 0.5f});
  glass.blend = 1;
  glass.src_blend = 5;
  glass.dest_blend = 6;
  builder.begin_subset(glass);
  const std::uint32_t a = builder.add_vertex({0, 0, 0});
  const std::uint32_t b = builder.add_vertex({0, 1, 0});
  const std::uint32_t c = builder.add_vertex({1, 1, 0});
  builder.add_triangle(a, b, c);
  std::unique_ptr<MeshNode> node = builder.build("Glass");
  model::DrawContext context{device};
  node->draw_all(context, true);
  EXPECT_EQ(device.count_calls("render_state 27 0"), 1) << "only the transparent pass's closing reset";
  EXPECT_EQ(device.count_calls("render_state 27 1"), 1);
  EXPECT_EQ(device.count_calls("draw_indexed"), 1);
  node->release_device(device);
}

TEST(MeshDraw, OneSubsetAndRawDrawing) {
  gfx::RecordingDevice device;
  std::unique_ptr<MeshNode> node = four_subsets();
  model::DrawContext context{device};
  ASSERT_TRUE(node->bind_geometry(device));
  device.clear_calls();
  node->draw_subset(context, 2);  // draw order position 2 = subset 1, transparent
  EXPECT_EQ(device.calls, (std::vector<std::string>{"render_state 27 1", "render_state 19 5", "render_state 20 6",
                                                    "render_state 22 1", "set_texture 0 0", "draw_indexed 4 0 3 1",
                                                    "render_state 27 0"}));
  device.clear_calls();
  node->draw_subset(context, 1);  // subset 2 is hidden
  EXPECT_TRUE(device.calls.empty());
  node->draw_raw(device, false);
  EXPECT_EQ(device.calls, (std::vector<std::string>{"draw_indexed 4 0 0 1", "draw_indexed 4 0 3 1",
                                                    "draw_indexed 4 0 6 1", "draw_indexed 4 0 9 1"}));
  node->release_device(device);
}

TEST(MeshDraw, BuffersUploadOnceAndThenOnlyWhatChanged) {
  gfx::RecordingDevice device;
  std::unique_ptr<MeshNode> node = four_subsets();
  ASSERT_TRUE(node->bind_geometry(device));
  ASSERT_TRUE(node->bind_geometry(device));
  EXPECT_EQ(device.count_calls("update_vertex_buffer"), 1);
  EXPECT_EQ(device.vertex_buffers.at(1), node->vertices.bytes());

  // A deformer moves vertex 5: only its 32 bytes go up.
  float moved = 7.5f;
  std::memcpy(node->vertices.data() + 5 * 32 + 4, &moved, 4);
  node->vertices.changed(5 * 32, 32);
  device.clear_calls();
  ASSERT_TRUE(node->bind_geometry(device));
  EXPECT_EQ(device.calls.front(), "update_vertex_buffer 1 160 32");
  EXPECT_EQ(device.vertex_buffers.at(1), node->vertices.bytes());

  // A copy on a second device starts with everything.
  gfx::RecordingDevice second;
  ASSERT_TRUE(node->bind_geometry(second));
  EXPECT_EQ(second.vertex_buffers.begin()->second, node->vertices.bytes());

  node->release_device(device);
  EXPECT_TRUE(device.vertex_buffers.empty());
  EXPECT_TRUE(device.index_buffers.empty());
  node->release_device(second);
}

TEST(MeshDraw, ADeviceThatCannotMakeBuffersDrawsNothing) {
  gfx::RecordingDevice device;
  device.fail_creation = true;
  std::unique_ptr<MeshNode> node = four_subsets();
  model::DrawContext context{device};
  node->draw_all(context, true);
  EXPECT_EQ(device.count_calls("draw"), 0);
  device.fail_creation = false;
  node->draw_all(context, true);
  EXPECT_EQ(device.count_calls("draw_indexed"), 3);
  node->release_device(device);
}

TEST(MeshDraw, TheLitProgramGetsTheMaterialAndItsTexture) {
  gfx::RecordingDevice device;
  model::Material material = model::plain_material(base::Vec4{0.25f, 0.5f, 0.75f, 1});
  material.texture = std::make_shared<model::MeshTexture>("Red.png", 1, 1, std::vector<std::uint8_t>{255, 0, 0, 255});
  std::unique_ptr<MeshNode> box = model::make_box({1, 1, 1}, material, "Box");
  {
    model::LitProgram program(device);
    ASSERT_TRUE(program.ok());
    program.use();
    model::DrawContext context{device, &program};
    box->draw_all(context, true);
    EXPECT_EQ(device.uniforms.at("u_material")[0], 0.25f);
    EXPECT_EQ(device.uniforms.at("u_textured"), (std::vector<float>{1}));
    EXPECT_EQ(device.count_calls("create_texture"), 1);
    EXPECT_EQ(device.textures.begin()->second.levels, 0) << "a full mip chain";
    EXPECT_EQ(device.count_calls("set_texture 0 0"), 0);

    // Debug lines draw in vertex colours and switch back.
    model::draw_box_lines(*box, program, 0xFFFFFF00);
    EXPECT_EQ(device.calls.back(), "uniform u_vertex_colour");
    EXPECT_EQ(device.uniforms.at("u_vertex_colour"), (std::vector<float>{0}));
    EXPECT_EQ(device.count_calls("draw_indexed 2 0 0 12"), 1);
    model::draw_normal_lines(*box, 0.0f, 0xFFFFFFFF, program);
    EXPECT_EQ(device.calls[device.calls.size() - 2], "draw 2 0 24");
  }
  box->release_device(device);
  EXPECT_TRUE(device.textures.empty());
  EXPECT_TRUE(device.vertex_buffers.empty());
}

// Records the lines a debug drawing asks for.
struct LineRecorder : model::LineSink {
  void draw_lines(std::span<const model::LineVertex> v, std::span<const std::uint16_t> i) override {
    vertices.assign(v.begin(), v.end());
    indices.assign(i.begin(), i.end());
  }
  std::vector<model::LineVertex> vertices;
  std::vector<std::uint16_t> indices;
};

TEST(MeshDraw, DebugAxesRunFromTheBoxCentre) {
  std::unique_ptr<MeshNode> box = model::make_box({2, 1, 0.5f}, model::plain_material({1, 1, 1, 1}), "Box");
  LineRecorder lines;
  model::draw_axis_lines(*box, 0.0f, lines);
  ASSERT_EQ(lines.vertices.size(), 6u);
  EXPECT_EQ(lines.vertices[0].position, (base::Vec3{0, 0, 0}));
  EXPECT_EQ(lines.vertices[1].position, (base::Vec3{0.55f * 4, 0, 0}));
  EXPECT_EQ(lines.vertices[3].position, (base::Vec3{0, 0.55f * 2, 0}));
  EXPECT_EQ(lines.vertices[5].colour, model::kAxisZColour);
  model::draw_axis_lines(*box, 3.0f, lines);
  EXPECT_EQ(lines.vertices[5].position, (base::Vec3{0, 0, 3}));

  model::draw_subset_box_lines(*box, base::translation(10, 0, 0), lines, 0xFF123456);
  ASSERT_EQ(lines.indices.size(), 24u);
  EXPECT_EQ(lines.vertices[7].position, (base::Vec3{12, 1, 0.5f}));
}

}  // namespace

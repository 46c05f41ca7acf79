#include "model/vertex_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model/mesh_builder.h"
#include "model/mesh_node.h"
#include "model/pick.h"
#include "platform/vertex_format.h"

namespace {

using model::MeshNode;
namespace fvf = gfx::fvf;

std::vector<float> vertex_floats(const MeshNode& node, std::uint32_t vertex) {
  std::vector<float> floats(node.vertex_size / 4);
  std::memcpy(floats.data(), node.vertices.bytes().data() + vertex * node.vertex_size, node.vertex_size);
  return floats;
}

base::Vec3 vec3_at(const MeshNode& node, std::uint32_t vertex, int offset) {
  base::Vec3 v;
  std::memcpy(&v, node.vertices.bytes().data() + vertex * node.vertex_size + offset, 12);
  return v;
}

// One triangle in a format with a normal and two texture sets; every float
// of vertex v is 100 v + its index in the vertex, positions excepted.
std::unique_ptr<MeshNode> two_set_triangle() {
  const std::uint32_t format = fvf::kXyz | fvf::kNormal | fvf::tex_count(2);
  model::GeometryBuilder builder(format);
  builder.begin_subset(model::plain_material({1, 1, 1, 1}));
  const std::uint32_t a = builder.add_vertex({0, 0, 0});
  const std::uint32_t b = builder.add_vertex({0, 1, 0});
  const std::uint32_t c = builder.add_vertex({1, 1, 0});
  builder.add_triangle(a, b, c);
  std::unique_ptr<MeshNode> node = builder.build("T");
  for (std::uint32_t v = 0; v < 3; ++v) {
    for (int i = 3; i < 10; ++i) {
      const float value = static_cast<float>(100 * v + static_cast<std::uint32_t>(i));
      std::memcpy(node->vertices.data() + v * 40 + i * 4, &value, 4);
    }
  }
  return node;
}

TEST(VertexEdit, ChangeFormatKeepsTheFieldsBothFormatsHave) {
  std::unique_ptr<MeshNode> node = two_set_triangle();
  ASSERT_TRUE(model::change_fvf(*node, fvf::kXyz | fvf::tex_count(1)));
  EXPECT_EQ(node->vertex_size, 20u);
  EXPECT_EQ(vertex_floats(*node, 2), (std::vector<float>{1, 1, 0, 206, 207})) << "the first texture set stays";

  node = two_set_triangle();
  ASSERT_TRUE(model::change_fvf(*node, fvf::kXyz | fvf::kNormal | fvf::kDiffuse | fvf::tex_count(2)));
  EXPECT_EQ(vertex_floats(*node, 1), (std::vector<float>{0, 1, 0, 103, 104, 105, 0, 106, 107, 108, 109}))
      << "a new diffuse colour is zero";

  node = two_set_triangle();
  const std::vector<std::uint8_t> before = node->vertices.bytes();
  EXPECT_FALSE(model::change_fvf(*node, fvf::kNormal)) << "no position";
  EXPECT_FALSE(model::change_fvf(*node, 0x0001)) << "not a format";
  EXPECT_EQ(node->vertices.bytes(), before);
  EXPECT_EQ(node->fvf, fvf::kXyz | fvf::kNormal | fvf::tex_count(2));
}

TEST(VertexEdit, TangentsFollowTheFirstTextureCoordinate) {
  model::GeometryBuilder builder(fvf::kXyz | fvf::kNormal | fvf::tex_count(1));
  builder.begin_subset(model::plain_material({1, 1, 1, 1}));
  // A quad facing -z with u growing along +x and v along -y.
  const std::uint32_t a = builder.add_vertex({-1, 1, 0}, {0, 0, -1}, {0, 0});
  const std::uint32_t b = builder.add_vertex({1, 1, 0}, {0, 0, -1}, {1, 0});
  const std::uint32_t c = builder.add_vertex({1, -1, 0}, {0, 0, -1}, {1, 1});
  const std::uint32_t d = builder.add_vertex({-1, -1, 0}, {0, 0, -1}, {0, 1});
  builder.add_triangle(a, b, c);
  builder.add_triangle(a, c, d);
  std::unique_ptr<MeshNode> node = builder.build("Q");

  const std::uint32_t too_small = fvf::kXyz | fvf::kNormal | fvf::tex_count(2);
  EXPECT_FALSE(model::make_tangent_space(*node, too_small)) << "set 1 has two floats only";
  const std::uint32_t with_tangent = too_small | fvf::tex_size3(1);
  ASSERT_TRUE(model::make_tangent_space(*node, with_tangent));
  EXPECT_EQ(node->fvf, with_tangent);
  EXPECT_EQ(node->vertex_size, 44u);
  for (std::uint32_t v = 0; v < 4; ++v) {
    const base::Vec3 tangent = vec3_at(*node, v, 32);
    EXPECT_NEAR(tangent.x, 1, 1e-5f) << v;
    EXPECT_NEAR(tangent.y, 0, 1e-5f) << v;
    EXPECT_NEAR(tangent.z, 0, 1e-5f) << v;
  }
}

// Four vertices: two at the origin, one 0.001 beside them, one far away.
std::unique_ptr<MeshNode> seam() {
  model::GeometryBuilder builder(fvf::kXyz | fvf::kNormal);
  builder.begin_subset(model::plain_material({1, 1, 1, 1}));
  const std::uint32_t a = builder.add_vertex({0, 0, 0}, {1, 0, 0});
  const std::uint32_t b = builder.add_vertex({0, 0, 0}, {0, 1, 0});
  const std::uint32_t c = builder.add_vertex({0.001f, 0, 0}, {0, 0, 1});
  const std::uint32_t d = builder.add_vertex({5, 5, 5}, {0, 0, -1});
  builder.add_triangle(a, b, c);
  builder.add_triangle(b, c, d);
  return builder.build("Seam");
}

TEST(VertexEdit, SmoothingAveragesNormalsOfVerticesThatMeet) {
  std::unique_ptr<MeshNode> node = seam();
  std::vector<base::Vec3> positions;
  std::vector<base::Vec3> normals;
  ASSERT_TRUE(model::smooth_normals(*node, 0.0f, &positions, &normals));
  EXPECT_EQ(vec3_at(*node, 0, 12), (base::Vec3{0.5f, 0.5f, 0})) << "the plain mean, not renormalised";
  EXPECT_EQ(vec3_at(*node, 1, 12), (base::Vec3{0.5f, 0.5f, 0}));
  EXPECT_EQ(vec3_at(*node, 2, 12), (base::Vec3{0, 0, 1})) << "0.001 away is not identical";
  EXPECT_EQ(positions.size(), 3u);
  EXPECT_EQ(normals[0], (base::Vec3{0.5f, 0.5f, 0}));

  node = seam();
  ASSERT_TRUE(model::smooth_normals(*node, 0.01f));
  const base::Vec3 third = vec3_at(*node, 2, 12);
  EXPECT_NEAR(third.x, 1.0f / 3, 1e-6f);
  EXPECT_NEAR(third.z, 1.0f / 3, 1e-6f);
  EXPECT_EQ(vec3_at(*node, 3, 12), (base::Vec3{0, 0, -1}));

  model::GeometryBuilder flat(fvf::kXyz);
  flat.begin_subset(model::plain_material({1, 1, 1, 1}));
  flat.add_triangle(flat.add_vertex({0, 0, 0}), flat.add_vertex({0, 1, 0}), flat.add_vertex({1, 0, 0}));
  std::unique_ptr<MeshNode> no_normals = flat.build("Flat");
  EXPECT_FALSE(model::smooth_normals(*no_normals, 0.1f));
}

// The built shapes face outwards: their front faces are hit from outside.
TEST(MeshBuilder, BoxAndSphereFaceOutwards) {
  const model::Material material = model::plain_material({1, 1, 1, 1});
  std::unique_ptr<MeshNode> shapes[] = {model::make_box({1, 1, 1}, material, "Box"),
                                        model::make_sphere(1, 12, 24, material, "Sphere")};
  const base::Vec3 directions[] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1},
                                   {0, 0, -1}, {0.6f, 0.8f, 0}, {0, -0.6f, 0.8f}};
  for (const auto& shape : shapes) {
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->face_attributes->size(), shape->triangle_count());
    for (const base::Vec3& d : directions) {
      model::PickResult result;
      ASSERT_TRUE(model::pick(*shape, model::Ray{d * 5.0f, -d}, nullptr, false, &result)) << shape->name;
      EXPECT_GT(base::dot(result.normal, d), 0.5f) << shape->name;
      const bool on_an_axis = std::fabs(d.x) == 1 || std::fabs(d.y) == 1 || std::fabs(d.z) == 1;
      if (on_an_axis) {
        EXPECT_NEAR(result.distance, 4.0f, 0.05f) << shape->name;
      }
    }
  }
  EXPECT_EQ(shapes[0]->box, (model::Box{{-1, -1, -1}, {1, 1, 1}}));
  EXPECT_NEAR(shapes[1]->radius, 1.0f, 1e-5f);
}

}  // namespace

#include "model/pick.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/mesh_builder.h"
#include "model/mesh_node.h"

namespace {

using model::MeshNode;
using model::PickResult;
using model::Ray;

constexpr float kTolerance = 1e-4f;

void expect_near(const base::Vec3& a, const base::Vec3& b, const char* what) {
  EXPECT_NEAR(a.x, b.x, kTolerance) << what;
  EXPECT_NEAR(a.y, b.y, kTolerance) << what;
  EXPECT_NEAR(a.z, b.z, kTolerance) << what;
}

std::unique_ptr<MeshNode> box(const char* name, float half, const base::Matrix& local, std::uint8_t cull = 3) {
  model::Material material = model::plain_material(base::Vec4{1, 1, 1, 1});
  material.cull = cull;
  std::unique_ptr<MeshNode> node = model::make_box({half, half, half}, material, name);
  node->local_matrix = local;
  return node;
}

// Root "A" (a unit box at the origin, its node box widened to hold the whole
// tree), its child "B" (a unit box at z = 5), B's sibling "D" (a half box at
// z = 3) and D's sibling "C" (a half box at x = 3 whose material hides it).
struct PickTree : ::testing::Test {
  PickTree() {
    root = box("A", 1, base::identity());
    root->is_root = true;
    root->box = model::Box{{-1, -1, -1}, {4, 1, 6}};
    root->first_child = box("B", 1, base::translation(0, 0, 5));
    root->first_child->next_sibling = box("D", 0.5f, base::translation(0, 0, 3));
    root->first_child->next_sibling->next_sibling = box("C", 0.5f, base::translation(3, 0, 0), 0);
    root->index_tree();
  }
  MeshNode* node(const char* name) { return root->find(name); }

  std::unique_ptr<MeshNode> root;
};

TEST_F(PickTree, TheNearestTriangleHitWinsAcrossTheTree) {
  struct Case {
    const char* what;
    Ray ray;
    const char* node;  // nullptr: no hit
    float distance;
    base::Vec3 normal;
  };
  const Case cases[] = {
      {"the root's front face", {{0, 0, -10}, {0, 0, 1}}, "A", 9, {0, 0, -1}},
      {"the same ray at twice the speed", {{0, 0, -10}, {0, 0, 2}}, "A", 4.5f, {0, 0, -1}},
      {"a child seen past the root", {{0, 0.9f, 3.6f}, {0, 0, 1}}, "B", 0.4f, {0, 0, -1}},
      {"a sibling in front of the child", {{0, 0, 1.5f}, {0, 0, 1}}, "D", 1, {0, 0, -1}},
      {"the child from above", {{0, 5, 5}, {0, -1, 0}}, "B", 4, {0, 1, 0}},
      {"from inside the root: its faces look away", {{0, 0, 0}, {0, 0, 1}}, "D", 2.5f, {0, 0, -1}},
      {"a hidden node is not picked", {{3, 0, -10}, {0, 0, 1}}, nullptr, 0, {}},
      {"pointing away", {{0, 0, -10}, {0, 0, -1}}, nullptr, 0, {}},
      {"passing beside", {{0, 3, -10}, {0, 0, 1}}, nullptr, 0, {}},
  };
  for (const Case& c : cases) {
    PickResult result;
    const bool hit = model::pick(*root, c.ray, nullptr, false, &result);
    EXPECT_EQ(hit, c.node != nullptr) << c.what;
    if (c.node == nullptr) {
      EXPECT_FALSE(result.hit()) << c.what;
      continue;
    }
    ASSERT_TRUE(result.hit()) << c.what;
    EXPECT_EQ(result.node, node(c.node)) << c.what << ": got " << result.node->name;
    EXPECT_EQ(result.root, root.get()) << c.what;
    EXPECT_NEAR(result.distance, c.distance, kTolerance) << c.what;
    expect_near(result.position, c.ray.origin + c.ray.direction * c.distance, c.what);
    expect_near(result.normal, c.normal, c.what);
    // Without a result record, the answer is the same yes or no.
    EXPECT_TRUE(model::pick(*root, c.ray, nullptr, false, nullptr)) << c.what;
  }
}

TEST_F(PickTree, BoxOnlyCountsTheCalledNodesBoxButNotItsChildrens) {
  // Through the root's box beside its triangles, towards the hidden box.
  const Ray beside{{3, 0, -10}, {0, 0, 1}};
  PickResult result;
  EXPECT_TRUE(model::pick(*root, beside, nullptr, true, &result));
  EXPECT_EQ(result.node, root.get());
  EXPECT_NEAR(result.distance, 9, kTolerance);
  EXPECT_EQ(result.face / 2, 4u) << "the -z side";
  expect_near(result.normal, {0, 0, -1}, "box normal");

  // Starting inside the root's box, the box's far side is hit.
  const Ray inside{{2, 0, 0}, {1, 0, 0}};
  result = PickResult{};
  EXPECT_TRUE(model::pick(*root, inside, nullptr, true, &result));
  EXPECT_NEAR(result.distance, 2, kTolerance);
  EXPECT_EQ(result.face / 2, 1u) << "the +x side";
  EXPECT_TRUE(model::pick(*root, inside, nullptr, true, nullptr));
  EXPECT_FALSE(model::pick(*root, inside, nullptr, false, nullptr)) << "no triangle there";

  // Called on B, box_only covers B alone: its sibling D still needs a
  // triangle hit, and here has a nearer one.
  MeshNode& b = *node("B");
  result = PickResult{};
  EXPECT_TRUE(model::pick(b, Ray{{0, 0, 1.5f}, {0, 0, 1}}, nullptr, true, &result));
  EXPECT_EQ(result.node, node("D")) << "D's triangle (t = 1) is nearer than B's box (t = 2.5)";
  result = PickResult{};
  EXPECT_TRUE(model::pick(b, Ray{{0, 0, 10}, {0, 0, -1}}, nullptr, true, &result));
  EXPECT_EQ(result.node, &b);
  EXPECT_NEAR(result.distance, 4, kTolerance);
}

TEST_F(PickTree, AStillRootWhoseBoxIsMissedEndsTheSearch) {
  // Shrink the root's box to its own triangles: the children outside it
  // are no longer found, unless the tree moves (has playback).
  root->box = model::Box{{-1, -1, -1}, {1, 1, 1}};
  const Ray towards_b{{0, 5, 5}, {0, -1, 0}};
  EXPECT_FALSE(model::pick(*root, towards_b, nullptr, false, nullptr));
  root->playback = std::make_shared<model::PlaybackParameters>();
  PickResult result;
  EXPECT_TRUE(model::pick(*root, towards_b, nullptr, false, &result));
  EXPECT_EQ(result.node, node("B"));
}

TEST(Pick, DistancesAreMeasuredAlongTheWorldRayThroughScaledNodes) {
  // A unit box scaled by 2, turned a quarter about y and moved to z = 10,
  // under a parent at x = 1.
  std::unique_ptr<MeshNode> node = box("Turned", 1, base::scaling(2, 2, 2) * base::rotation_y(0.5f * std::numbers::pi_v<float>) *
                                                        base::translation(0, 0, 10));
  const base::Matrix parent = base::translation(1, 0, 0);
  PickResult result;
  ASSERT_TRUE(model::pick(*node, Ray{{1, 0, 0}, {0, 0, 1}}, &parent, false, &result));
  EXPECT_NEAR(result.distance, 8, kTolerance);
  expect_near(result.position, {1, 0, 8}, "position");
  expect_near(result.normal, {0, 0, -1}, "normal");
}

TEST(Pick, RayTriangleReportsAPositiveDistanceAndHonoursFrontOnly) {
  // Clockwise as seen from -z: its front faces -z.
  const base::Vec3 p0{-1, -1, 5}, p1{0, 1, 5}, p2{1, -1, 5};
  const Ray forward{{0, 0, 0}, {0, 0, 1}};
  auto hit = model::ray_triangle(forward, p0, p1, p2, true);
  ASSERT_TRUE(hit);
  EXPECT_NEAR(hit->distance, 5, kTolerance);
  EXPECT_FALSE(model::ray_triangle(Ray{{0, 0, 0}, {0, 0, -1}}, p0, p1, p2, false)) << "behind the origin";
  const Ray from_behind{{0, 0, 10}, {0, 0, -1}};
  EXPECT_FALSE(model::ray_triangle(from_behind, p0, p1, p2, true));
  ASSERT_TRUE(model::ray_triangle(from_behind, p0, p1, p2, false));
  EXPECT_NEAR(model::ray_triangle(from_behind, p0, p1, p2, false)->distance, 5, kTolerance);
  EXPECT_FALSE(model::ray_triangle(Ray{{0.9f, 0.9f, 0}, {0, 0, 1}}, p0, p1, p2, false)) << "outside";
  EXPECT_FALSE(model::ray_triangle(Ray{{0, 0, 0}, {1, 0, 0}}, p0, p1, p2, false)) << "parallel";

  // A stored plane gives the same answer.
  const base::Vec3 normal = base::cross(p1 - p0, p2 - p0);
  const base::Vec4 plane{normal.x, normal.y, normal.z, base::dot(normal, p0)};
  EXPECT_NEAR(model::ray_triangle(forward, p0, p1, p2, true, &plane)->distance, 5, kTolerance);

  int triangle = -1;
  const std::array<base::Vec3, 4> quad = {base::Vec3{-1, 1, 2}, base::Vec3{1, 1, 2}, base::Vec3{-1, -1, 2},
                                          base::Vec3{1, -1, 2}};
  ASSERT_TRUE(model::ray_quad(Ray{{0.5f, -0.5f, 0}, {0, 0, 1}}, quad, false, &triangle));
  EXPECT_EQ(triangle, 1);
  ASSERT_TRUE(model::ray_quad(Ray{{-0.5f, 0.5f, 0}, {0, 0, 1}}, quad, false, &triangle));
  EXPECT_EQ(triangle, 0);
}

TEST(Pick, OrthogonalInverseUndoesRotationScaleAndTranslation) {
  const base::Matrix m = base::scaling(2, 3, 0.5f) * base::rotation_yaw_pitch_roll(0.3f, -0.7f, 1.1f) *
                         base::translation(4, -5, 6);
  // Non-uniform scale before a rotation keeps the axis rows orthogonal.
  const base::Matrix product = m * model::orthogonal_inverse(m);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(product.m[r][c], r == c ? 1.0f : 0.0f, kTolerance) << r << "," << c;
  EXPECT_EQ(model::orthogonal_inverse(base::scaling(1, 0, 1)), base::identity());
}

TEST(Pick, FacePlanesAreUsedWhenPresent) {
  std::unique_ptr<MeshNode> node = box("Cached", 1, base::identity());
  // Planes that put every triangle at z = -3 instead of on the box.
  node->face_planes.assign(node->triangle_count(), base::Vec4{0, 0, -1, 3});
  PickResult result;
  ASSERT_TRUE(model::pick(*node, Ray{{0, 0, -10}, {0, 0, 1}}, nullptr, false, &result));
  EXPECT_NEAR(result.distance, 7, kTolerance) << "the cached plane decided the distance";
}

}  // namespace

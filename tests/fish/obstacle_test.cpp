#include "fish/obstacle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "base/maths_expect.h"
#include "fish/gjk_distance.h"
#include "fish/obstacle_shapes.h"
#include "model/mesh_builder.h"

namespace {

using base::Matrix;
using base::Vec3;
using base_test::near;
using fish::Obstacle;
using fish::OrientedBox;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Corners = std::array<Vec3, 3>;

// A large horizontal triangle around the origin, and one with its right
// angle at the origin spanning x and z from 0 to 2.
const Corners kFloor{Vec3{-4, 0, -4}, Vec3{0, 0, 4}, Vec3{4, 0, -4}};
const Corners kCornerAtOrigin{Vec3{0, 0, 0}, Vec3{0, 0, 2}, Vec3{2, 0, 0}};

// Box orientations as rows (the box's axes).
const std::array<Vec3, 3> kUpright{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
const float kC = std::sqrt(0.5f);
const std::array<Vec3, 3> kTurnedAboutZ{Vec3{kC, kC, 0}, Vec3{-kC, kC, 0}, Vec3{0, 0, 1}};
const std::array<Vec3, 3> kTurnedAboutY{Vec3{kC, 0, kC}, Vec3{0, 1, 0}, Vec3{-kC, 0, kC}};
// Every axis leans 1/sqrt(3) up: a corner points straight down.
const float kA = 1.0f / std::sqrt(2.0f);
const float kB = 1.0f / std::sqrt(3.0f);
const float kD = 1.0f / std::sqrt(6.0f);
const std::array<Vec3, 3> kCornerDown{Vec3{kA, kB, kD}, Vec3{-kA, kB, kD}, Vec3{0, kB, -2 * kD}};

OrientedBox box_at(const Vec3& centre, const Vec3& half = {0.5f, 0.5f, 0.5f},
                   const std::array<Vec3, 3>& axes = kUpright) {
  OrientedBox box;
  box.centre = centre;
  box.axes = axes;
  box.half = half;
  return box;
}

// A node whose vertices are `stride` bytes apart, the position first and
// filler after it, with 16-bit indices.
std::unique_ptr<model::MeshNode> node_of(const std::vector<Vec3>& positions, const std::vector<std::uint16_t>& indices,
                                         std::uint32_t stride = 24) {
  auto node = std::make_unique<model::MeshNode>();
  node->has_geometry = true;
  node->vertex_size = stride;
  node->vertex_count = static_cast<std::uint32_t>(positions.size());
  node->index_count = static_cast<std::uint32_t>(indices.size());
  std::vector<std::uint8_t> vertex_bytes(positions.size() * stride, 0x7F);  // filler: a huge float
  for (std::size_t i = 0; i < positions.size(); ++i)
    std::memcpy(vertex_bytes.data() + i * stride, &positions[i], std::min<std::size_t>(12, stride));
  node->vertices.assign(std::move(vertex_bytes));
  std::vector<std::uint8_t> index_bytes(indices.size() * 2);
  if (!index_bytes.empty()) std::memcpy(index_bytes.data(), indices.data(), index_bytes.size());
  node->indices.assign(std::move(index_bytes));
  return node;
}

Obstacle obstacle_of(const Corners& corners, const Matrix& placement = base::identity()) {
  const auto node = node_of({corners[0], corners[1], corners[2]}, {0, 1, 2});
  return Obstacle::from_node(*node, placement);
}

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// --- the distance query on its own

TEST(GjkDistanceTest, FindsTheDistanceBetweenBoxAndTriangle) {
  struct Case {
    std::string name;
    OrientedBox box;
    Corners triangle;
    float distance;
  };
  const Case cases[] = {
      {"above the face", box_at({0, 2, 0}), kFloor, 1.5f},
      {"off the corner", box_at({-1.5f, 0, -1.5f}), kCornerAtOrigin, std::sqrt(2.0f)},
      {"above and beside an edge", box_at({-1, 1, 1}), kCornerAtOrigin, std::sqrt(0.5f)},
      {"corner pointing down", box_at({0, 2, 0}, {0.5f, 0.5f, 0.5f}, kCornerDown), kFloor, 2.0f - 0.5f * std::sqrt(3.0f)},
      {"long thin box through it", box_at({1.5f, 1, 0.3f}, {2.5f, 0.1f, 0.1f}, kTurnedAboutZ), kCornerAtOrigin, 0.0f},
      {"triangle shrunk to a point", box_at({0, 0, 0}), Corners{Vec3{0, 3, 0}, Vec3{0, 3, 0}, Vec3{0, 3, 0}}, 2.5f},
      {"triangle flattened to a line", box_at({0, 0, 0}), Corners{Vec3{-1, 2, 0}, Vec3{0, 2, 0}, Vec3{1, 2, 0}}, 1.5f},
      {"overlapping", box_at({0.5f, 0.2f, 0.5f}), kCornerAtOrigin, 0.0f},
      {"box centre on the face", box_at({0.3f, 0, 0.3f}), kCornerAtOrigin, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fish::BoxShape box(c.box);
    const fish::TriangleShape triangle(c.triangle);
    const fish::GjkResult result = fish::gjk_distance(box, triangle);
    EXPECT_NEAR(result.distance, c.distance, 0.001f * c.distance + 1e-4f);
    EXPECT_EQ(result.touching, c.distance <= 0.001f);
    EXPECT_LT(result.iterations, 1000);
    if (c.distance > 0.0f) {
      EXPECT_NEAR(base::length(result.on_a - result.on_b), result.distance, 1e-4f);
    }
  }
}

TEST(GjkDistanceTest, ThinBoxAtAnAngleIsMeasuredAtItsNearestPoint) {
  // Only the lower end of the long, leaning box comes near the face; its
  // centre is two units up, so a search that stopped early would be far off.
  const OrientedBox thin = box_at({-0.5f, 2.2f, -1}, {0.1f, 2.0f, 0.1f}, kTurnedAboutZ);
  const fish::BoxShape box(thin);
  const fish::TriangleShape triangle(kFloor);
  const fish::GjkResult result = fish::gjk_distance(box, triangle);
  const float lowest = 2.2f - 2.0f * kC - 0.1f * kC;
  EXPECT_NEAR(result.distance, lowest, 0.001f * lowest + 1e-5f);
  EXPECT_NEAR(result.on_b.y, 0.0f, 1e-5f);
}

TEST(GjkDistanceTest, NonFiniteShapesAreApart) {
  const OrientedBox boxes[] = {box_at({kNaN, 0, 0}), box_at({0, 0.2f, 0}, {kInf, 0.5f, 0.5f})};
  for (const OrientedBox& b : boxes) {
    const fish::BoxShape box(b);
    const fish::TriangleShape triangle(kFloor);
    const fish::GjkResult result = fish::gjk_distance(box, triangle);
    EXPECT_FALSE(result.touching);
    EXPECT_EQ(result.distance, kInf);
  }
}

// --- contacts with one triangle

struct ContactCase {
  std::string name;
  OrientedBox box;
  std::optional<Vec3> separation;  // nullopt: no contact
};

void expect_contacts(const Obstacle& obstacle, const std::vector<ContactCase>& cases, float tolerance = 1e-4f) {
  for (const ContactCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Vec3> n = obstacle.contact(c.box);
    ASSERT_EQ(n.has_value(), c.separation.has_value());
    if (n) {
      EXPECT_TRUE(near(*n, *c.separation, tolerance));
    }
  }
}

TEST(ObstacleContactTest, BoxAgainstAFlatTriangle) {
  const float turned_reach = 0.5f * std::sqrt(2.0f);
  const float corner_reach = 0.5f * std::sqrt(3.0f);
  expect_contacts(obstacle_of(kFloor), {
                                           {"clear above", box_at({0, 0.6f, 0}), std::nullopt},
                                           {"just beyond the tolerance", box_at({0, 0.502f, 0}), std::nullopt},
                                           {"within the tolerance", box_at({0, 0.5005f, 0}), Vec3{0, 0, 0}},
                                           {"resting on it", box_at({0, 0.5f, 0}), Vec3{0, 0, 0}},
                                           {"sunk 0.1", box_at({0, 0.4f, 0}), Vec3{0, 0.1f, 0}},
                                           {"sunk 0.3", box_at({1, 0.2f, -1}), Vec3{0, 0.3f, 0}},
                                           {"from below", box_at({0, -0.4f, 0}), Vec3{0, -0.1f, 0}},
                                           {"clear below", box_at({0, -0.6f, 0}), std::nullopt},
                                           {"turned, clear", box_at({0, 0.72f, 0}, {0.5f, 0.5f, 0.5f}, kTurnedAboutZ),
                                            std::nullopt},
                                           {"turned, sunk", box_at({0, 0.6f, 0}, {0.5f, 0.5f, 0.5f}, kTurnedAboutZ),
                                            Vec3{0, turned_reach - 0.6f, 0}},
                                           {"corner down, clear", box_at({0, 0.9f, 0}, {0.5f, 0.5f, 0.5f}, kCornerDown),
                                            std::nullopt},
                                           {"corner down, poking in",
                                            box_at({0, 0.8f, 0}, {0.5f, 0.5f, 0.5f}, kCornerDown),
                                            Vec3{0, corner_reach - 0.8f, 0}},
                                           {"flat plate", box_at({0, 0.05f, 0}, {1, 0.1f, 1}), Vec3{0, 0.05f, 0}},
                                       });
}

TEST(ObstacleContactTest, DeeperBoxesArePushedHarder) {
  const Obstacle floor = obstacle_of(kFloor);
  float previous = 0.0f;
  for (float y : {0.49f, 0.4f, 0.3f, 0.15f, 0.05f}) {
    SCOPED_TRACE(y);
    const std::optional<Vec3> n = floor.contact(box_at({0.5f, y, 0.5f}, {0.5f, 0.5f, 0.5f}, kTurnedAboutZ));
    ASSERT_TRUE(n.has_value());
    EXPECT_GT(n->y, previous);
    previous = n->y;
  }
}

TEST(ObstacleContactTest, BoxCatchingAnEdgeOrACornerIsPushedOffTheFaceALittle) {
  // Pushed along the face's normal on the side of the box's centre, no
  // further than the box reaches past the plane nor than the shortest move
  // that clears the triangle.
  const float corner_offset = 0.45f / std::sqrt(2.0f);
  expect_contacts(obstacle_of(kCornerAtOrigin),
                  {
                      {"beside the x = 0 edge", box_at({-0.45f, 0.1f, 1}), Vec3{0, 0.05f, 0}},
                      {"beside the z = 0 edge", box_at({1, 0.1f, -0.45f}), Vec3{0, 0.05f, 0}},
                      {"below the x = 0 edge", box_at({-0.45f, -0.1f, 1}), Vec3{0, -0.05f, 0}},
                      {"level with the edge: the front side", box_at({-0.45f, 0, 1}), Vec3{0, 0.05f, 0}},
                      {"high over the edge", box_at({-0.3f, 0.45f, 1}), Vec3{0, 0.05f, 0}},
                      {"across the long edge", box_at({1.3f, 0.1f, 1.3f}), Vec3{0, 0.2f * std::sqrt(2.0f), 0}},
                      {"at the corner", box_at({-0.45f, 0.1f, -0.45f}), Vec3{0, 0.05f, 0}},
                      {"at the corner, turned to face it",
                       box_at({-corner_offset, 0.1f, -corner_offset}, {0.5f, 0.5f, 0.5f}, kTurnedAboutY),
                       Vec3{0, 0.05f, 0}},
                      {"clear of the x = 0 edge", box_at({-0.502f, 0.1f, 1}), std::nullopt},
                      {"clear of the long edge", box_at({1.8f, 0, 1.8f}), std::nullopt},
                      {"clear of the corner, turned", box_at({-0.37f, 0.1f, -0.37f}, {0.5f, 0.5f, 0.5f}, kTurnedAboutY),
                       std::nullopt},
                  });
}

TEST(ObstacleContactTest, TrianglesWithoutAreaStillStopBoxes) {
  const Corners point{Vec3{0, 0, 0}, Vec3{0, 0, 0}, Vec3{0, 0, 0}};
  const Corners line{Vec3{-1, 0, 0}, Vec3{0, 0, 0}, Vec3{1, 0, 0}};
  for (const Corners& corners : {point, line}) {
    const Obstacle obstacle = obstacle_of(corners);
    ASSERT_EQ(obstacle.triangle_count(), 1u);
    expect_contacts(obstacle, {
                                  {"sunk over it", box_at({0, 0.4f, 0}), Vec3{0, 0.1f, 0}},
                                  {"under it", box_at({0, -0.3f, 0}), Vec3{0, -0.2f, 0}},
                                  {"above it", box_at({0, 0.7f, 0}), std::nullopt},
                                  {"beside it", box_at({0, 0, 1.2f}), std::nullopt},
                              });
    const std::optional<Vec3> centred = obstacle.contact(box_at({0, 0, 0}, {0.5f, 0.5f, 0.5f}, kCornerDown));
    ASSERT_TRUE(centred.has_value());
    EXPECT_TRUE(finite(*centred));
  }
}

TEST(ObstacleContactTest, NonFiniteBoxesHaveNoContact) {
  const Obstacle floor = obstacle_of(kFloor);
  const OrientedBox boxes[] = {
      box_at({kNaN, 0.4f, 0}),
      box_at({0, 0.4f, 0}, {kNaN, 0.5f, 0.5f}),
      box_at({0, 0.4f, 0}, {0.5f, kInf, 0.5f}),
      box_at({0, 0.4f, 0}, {0.5f, 0.5f, 0.5f}, {Vec3{kNaN, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}),
  };
  for (const OrientedBox& box : boxes) EXPECT_FALSE(floor.contact(box).has_value());
}

TEST(ObstacleContactTest, HugeButFiniteBoxesGiveFiniteResults) {
  const Obstacle floor = obstacle_of(kFloor);
  const std::optional<Vec3> n = floor.contact(box_at({0, 0, 0}, {3e38f, 3e38f, 3e38f}));
  if (n) {
    EXPECT_TRUE(finite(*n));
  }
}

// --- building an obstacle from a node

TEST(ObstacleFromNodeTest, KeepsOnlyTrianglesItCanRead) {
  const std::vector<Vec3> square{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}};
  struct Case {
    std::string name;
    std::vector<std::uint16_t> indices;
    std::uint32_t stride;
    std::optional<std::uint32_t> vertex_count;  // override of the node's count
    std::optional<std::uint32_t> index_count;
    std::size_t triangles;
  };
  const Case cases[] = {
      {"two triangles", {0, 1, 2, 0, 2, 3}, 24, {}, {}, 2},
      {"positions only", {0, 1, 2, 0, 2, 3}, 12, {}, {}, 2},
      {"an index out of range", {0, 1, 2, 0, 2, 7}, 24, {}, {}, 1},
      {"an index past the vertex bytes", {0, 1, 2, 0, 2, 5}, 24, 9, {}, 1},
      {"a vertex count short of an index", {0, 1, 2, 0, 2, 3}, 24, 3, {}, 1},
      {"a trailing partial triangle", {0, 1, 2, 0, 2}, 24, {}, {}, 1},
      {"an index count past the bytes", {0, 1, 2, 0, 2, 3}, 24, {}, 12, 2},
      {"a stride too short for a position", {0, 1, 2}, 8, {}, {}, 0},
      {"no indices", {}, 24, {}, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto node = node_of(square, c.indices, c.stride);
    if (c.vertex_count) node->vertex_count = *c.vertex_count;
    if (c.index_count) node->index_count = *c.index_count;
    const Obstacle obstacle = Obstacle::from_node(*node, base::identity());
    EXPECT_EQ(obstacle.triangle_count(), c.triangles);
    const std::optional<Vec3> n = obstacle.contact(box_at({0.5f, 0.4f, 0.5f}));
    EXPECT_EQ(n.has_value(), c.triangles > 0);
    if (c.triangles > 0) {
      EXPECT_TRUE(near(obstacle.bounds().min, {0, 0, 0}));
      EXPECT_TRUE(near(obstacle.bounds().max, {1, 0, 1}));
    }
  }
}

TEST(ObstacleFromNodeTest, SkipsTrianglesWithNonFiniteCorners) {
  const auto node = node_of({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {kNaN, 0, 0}}, {0, 1, 2, 0, 1, 3, 3, 3, 3});
  const Obstacle obstacle = Obstacle::from_node(*node, base::identity());
  EXPECT_EQ(obstacle.triangle_count(), 1u);
  EXPECT_TRUE(near(obstacle.bounds().max, {1, 0, 1}));
}

TEST(ObstacleFromNodeTest, PlacesTrianglesByThePlacement) {
  struct Case {
    std::string name;
    Matrix placement;
    Vec3 bounds_min;
    Vec3 bounds_max;
    std::vector<ContactCase> contacts;
  };
  const Case cases[] = {
      {"scaled and moved",
       base::scaling(2, 2, 2) * base::translation(10, 1, 0),
       {2, 1, -8},
       {18, 1, 8},
       {{"on the placed floor", box_at({10, 1.4f, 0}), Vec3{0, 0.1f, 0}},
        {"where the node's own floor was", box_at({0, 0.4f, 0}), std::nullopt}}},
      {"stood on its side",
       base::rotation_z(kPi / 2),
       {0, -4, -4},
       {0, 4, 4},
       {{"beside the wall", box_at({0.4f, 0, 0}), Vec3{0.1f, 0, 0}},
        {"on the old floor, away from the wall", box_at({3, 0.4f, 0}), std::nullopt}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Obstacle obstacle = obstacle_of(kFloor, c.placement);
    EXPECT_TRUE(near(obstacle.bounds().min, c.bounds_min, 1e-5f));
    EXPECT_TRUE(near(obstacle.bounds().max, c.bounds_max, 1e-5f));
    expect_contacts(obstacle, c.contacts);
  }
}

// --- many triangles: a closed sphere of radius 1

class SphereObstacleTest : public testing::Test {
 protected:
  SphereObstacleTest()
      : node_(model::make_sphere(1.0f, 16, 32, model::plain_material({1, 1, 1, 1}), "Rock")),
        sphere_(Obstacle::from_node(*node_, base::translation(5, 0, 0))) {}

  std::unique_ptr<model::MeshNode> node_;
  Obstacle sphere_;
  const Vec3 centre_{5, 0, 0};
};

TEST_F(SphereObstacleTest, KeepsEveryTriangleAndItsBounds) {
  EXPECT_EQ(sphere_.triangle_count(), 16u * 32u * 2u);
  EXPECT_TRUE(near(sphere_.bounds().min, {4, -1, -1}, 1e-5f));
  EXPECT_TRUE(near(sphere_.bounds().max, {6, 1, 1}, 1e-5f));
}

TEST_F(SphereObstacleTest, BoxesInsideOutsideAndGrazing) {
  const Vec3 diagonal = base::normalize(Vec3{1, 1, -1});
  struct Case {
    std::string name;
    OrientedBox box;
    bool contact;
  };
  const Case cases[] = {
      {"inside, clear of the shell", box_at(centre_, {0.3f, 0.3f, 0.3f}), false},
      {"far outside", box_at(centre_ + Vec3{0, 3, 0}), false},
      {"outside the bounds' corner", box_at(centre_ + diagonal * 1.6f, {0.2f, 0.2f, 0.2f}), false},
      {"just clear of the side", box_at(centre_ + Vec3{1.52f, 0, 0}), false},
      {"grazing the side", box_at(centre_ + Vec3{1.45f, 0, 0}), true},
      {"grazing the top", box_at(centre_ + Vec3{0.1f, 1.45f, 0.1f}), true},
      {"grazing the diagonal", box_at(centre_ + diagonal * 1.2f, {0.2f, 0.2f, 0.2f}, kTurnedAboutZ), true},
      {"grazing the bottom, corner down", box_at(centre_ + Vec3{0, -1.8f, 0}, {0.5f, 0.5f, 0.5f}, kCornerDown), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<Vec3> n = sphere_.contact(c.box);
    ASSERT_EQ(n.has_value(), c.contact);
    if (!n) continue;
    const Vec3 outward = base::normalize(c.box.centre - centre_);
    EXPECT_GT(base::length(*n), 0.0f);
    EXPECT_LT(base::length(*n), 0.15f);
    EXPECT_GT(base::dot(base::normalize(*n), outward), 0.5f);
  }
}

TEST_F(SphereObstacleTest, ABoxReachingTheShellFromInsideIsKeptInside) {
  const std::optional<Vec3> n = sphere_.contact(box_at(centre_ + Vec3{0.75f, 0, 0}, {0.3f, 0.3f, 0.3f}));
  ASSERT_TRUE(n.has_value());
  EXPECT_LT(n->x, 0.0f);
}

TEST_F(SphereObstacleTest, DeeperBoxesArePushedHarder) {
  float previous = 0.0f;
  for (float x : {1.49f, 1.46f, 1.42f, 1.38f}) {
    SCOPED_TRACE(x);
    const std::optional<Vec3> n = sphere_.contact(box_at(centre_ + Vec3{x, 0.05f, 0.05f}));
    ASSERT_TRUE(n.has_value());
    EXPECT_GT(base::length(*n), previous);
    previous = base::length(*n);
  }
}

TEST_F(SphereObstacleTest, ReportsTheDeepestTriangle) {
  // Sunk into the side, the box touches many triangles; the separation is
  // as long as the deepest overlap, about how far the box reaches into the
  // shell (faces lie at most 1 - cos(pi / 32) inside the radius).
  const float reach_in = 1.0f - (1.3f - 0.5f);
  const std::optional<Vec3> n = sphere_.contact(box_at(centre_ + Vec3{1.3f, 0, 0}));
  ASSERT_TRUE(n.has_value());
  EXPECT_GT(n->x, reach_in - 0.06f);
  EXPECT_LT(base::length(*n), reach_in + 0.01f);
}

}  // namespace

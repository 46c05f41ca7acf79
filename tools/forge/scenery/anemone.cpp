#include "forge/scenery/anemone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/scenery/noise.h"
#include "forge/scenery/random.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace forge::scenery {
namespace {

constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
constexpr std::uint32_t kFormat = gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1);
constexpr std::uint32_t kSeed = 0xAC71;

// The column's outline from the middle of its foot, up its side, over the
// lip and across the oral disc down into the mouth: radius and height.
struct ProfilePoint {
  float r, y;
};
constexpr ProfilePoint kProfile[] = {
    {0.00f, -0.15f}, {0.60f, -0.15f}, {1.02f, -0.12f}, {0.98f, 0.02f}, {0.88f, 0.20f}, {0.84f, 0.40f},
    {0.87f, 0.58f},  {0.95f, 0.72f},  {1.02f, 0.82f},  {1.00f, 0.88f}, {0.88f, 0.90f}, {0.65f, 0.88f},
    {0.42f, 0.85f},  {0.22f, 0.82f},  {0.10f, 0.78f},  {0.05f, 0.72f}, {0.00f, 0.70f}};
constexpr int kProfileCount = static_cast<int>(sizeof(kProfile) / sizeof(kProfile[0]));
// Where the lip ends and the oral disc begins (in profile points).
constexpr int kDiscStart = 9;

// Height of the oral disc at a distance from the middle.
float disc_height(float radius) {
  for (int i = kDiscStart; i + 1 < kProfileCount; ++i) {
    const ProfilePoint& a = kProfile[i];
    const ProfilePoint& b = kProfile[i + 1];
    if (radius <= a.r && radius >= b.r) {
      const float t = (a.r - radius) / std::max(a.r - b.r, 1e-4f);
      return a.y + (b.y - a.y) * t;
    }
  }
  return kProfile[kDiscStart].y;
}

// Vertical folds of the column, fading out on the disc.
float fold(float around, float height) {
  const float on_side = smoothstep(0.88f, 0.7f, height) * smoothstep(-0.15f, 0.0f, height);
  return 1.0f + on_side * (0.035f * std::sin(around * 14.0f) +
                           0.02f * gradient_noise({around * 3.0f, height * 4.0f, 0.5f}, kSeed));
}

std::unique_ptr<model::MeshNode> make_body() {
  constexpr int kSegments = 40;
  std::vector<float> along(kProfileCount, 0.0f);  // arc length, for texture v
  for (int i = 1; i < kProfileCount; ++i) {
    along[i] =
        along[i - 1] + std::hypot(kProfile[i].r - kProfile[i - 1].r, kProfile[i].y - kProfile[i - 1].y);
  }
  std::vector<base::Vec3> positions;
  std::vector<base::Vec2> uvs;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int s = 0; s <= kSegments; ++s) {
      const float around = kTurn * static_cast<float>(s) / kSegments;
      const float r = kProfile[p].r * fold(around, kProfile[p].y);
      positions.push_back({r * std::sin(around), kProfile[p].y, r * std::cos(around)});
      uvs.push_back({static_cast<float>(s) / kSegments, along[p] / along.back()});
    }
  }
  const auto at = [](int p, int s) { return static_cast<std::uint32_t>(p * (kSegments + 1) + s); };
  std::vector<std::uint32_t> triangles;
  for (int p = 0; p + 1 < kProfileCount; ++p) {
    for (int s = 0; s < kSegments; ++s) {
      // The profile runs from the foot upwards and then inwards over the
      // top; seen from outside, "around" grows to the left.
      const std::uint32_t a = at(p + 1, s + 1);
      const std::uint32_t b = at(p + 1, s);
      const std::uint32_t c = at(p, s);
      const std::uint32_t d = at(p, s + 1);
      if (kProfile[p + 1].r > 0.0f) triangles.insert(triangles.end(), {a, b, c});
      if (kProfile[p].r > 0.0f) triangles.insert(triangles.end(), {a, c, d});
    }
  }
  std::vector<base::Vec3> normals(positions.size());
  for (std::size_t t = 0; t < triangles.size(); t += 3) {
    const base::Vec3& a = positions[triangles[t]];
    const base::Vec3 face = base::cross(positions[triangles[t + 1]] - a, positions[triangles[t + 2]] - a);
    for (int k = 0; k < 3; ++k) normals[triangles[t + static_cast<std::size_t>(k)]] += face;
  }
  for (int p = 0; p < kProfileCount; ++p) {
    const base::Vec3 seam = normals[at(p, 0)] + normals[at(p, kSegments)];
    normals[at(p, 0)] = normals[at(p, kSegments)] = seam;
  }
  for (int p : {0, kProfileCount - 1}) {
    base::Vec3 sum;
    for (int s = 0; s <= kSegments; ++s) sum += normals[at(p, s)];
    for (int s = 0; s <= kSegments; ++s) normals[at(p, s)] = sum;
  }
  model::GeometryBuilder builder(kFormat);
  builder.begin_subset(textured_material("AnemoneBody.png", anemone_body_texture()));
  for (std::size_t i = 0; i < positions.size(); ++i)
    builder.add_vertex(positions[i], base::normalize(normals[i]), uvs[i]);
  for (std::size_t t = 0; t < triangles.size(); t += 3)
    builder.add_triangle(triangles[t], triangles[t + 1], triangles[t + 2]);
  return builder.build("body");
}

// Radius of the tentacle at height y (0..1): tapering, a slight bulb below
// the rounded tip.
float tentacle_radius(float y) {
  float r = 0.075f * (1.0f - 0.45f * y) + 0.016f * std::exp(-std::pow((y - 0.86f) / 0.07f, 2.0f));
  if (y > 0.92f) r *= std::sqrt(std::max(0.0f, 1.0f - std::pow((y - 0.92f) / 0.08f, 2.0f)));
  return r;
}

std::unique_ptr<model::MeshNode> make_hand() {
  constexpr int kSides = 8;
  constexpr float kHeights[] = {0.0f,  0.08f, 0.18f, 0.3f, 0.42f, 0.54f,
                                0.66f, 0.76f, 0.84f, 0.9f, 0.95f, 0.985f};
  constexpr int kRingCount = static_cast<int>(sizeof(kHeights) / sizeof(kHeights[0]));
  model::GeometryBuilder builder(kFormat);
  builder.begin_subset(textured_material("AnemoneHand.png", anemone_tentacle_texture()));
  for (int ring = 0; ring < kRingCount; ++ring) {
    const float y = kHeights[ring];
    const float r = tentacle_radius(y);
    const float slope =
        (tentacle_radius(std::min(y + 0.01f, 1.0f)) - tentacle_radius(std::max(y - 0.01f, 0.0f))) / 0.02f;
    for (int s = 0; s <= kSides; ++s) {
      const float around = kTurn * static_cast<float>(s) / kSides;
      const base::Vec3 out{std::sin(around), 0.0f, std::cos(around)};
      builder.add_vertex(out * r + base::Vec3{0, y, 0}, base::normalize(out + base::Vec3{0, -slope, 0}),
                         {static_cast<float>(s) / kSides, y});
    }
  }
  const std::uint32_t tip = builder.add_vertex({0, 1.0f, 0}, {0, 1, 0}, {0.5f, 1.0f});
  const auto at = [](int ring, int s) { return static_cast<std::uint32_t>(ring * (kSides + 1) + s); };
  for (int ring = 0; ring + 1 < kRingCount; ++ring) {
    for (int s = 0; s < kSides; ++s) {
      builder.add_triangle(at(ring + 1, s + 1), at(ring + 1, s), at(ring, s));
      builder.add_triangle(at(ring + 1, s + 1), at(ring, s), at(ring, s + 1));
    }
  }
  for (int s = 0; s < kSides; ++s)
    builder.add_triangle(tip, at(kRingCount - 1, s), at(kRingCount - 1, s + 1));
  return builder.build("hand");
}

}  // namespace

AnemoneData anemone_data() {
  AnemoneData data;
  struct Ring {
    float radius;
    int count;
    float lean;  // from upright, radians
  };
  constexpr Ring kRings[] = {{0.90f, 30, 1.15f}, {0.70f, 26, 0.8f}, {0.49f, 20, 0.48f}, {0.28f, 11, 0.2f}};
  Random random(kSeed);
  for (const Ring& ring : kRings) {
    const float offset = random.range(0.0f, kTurn);
    for (int i = 0; i < ring.count; ++i) {
      const float around = offset + kTurn * (static_cast<float>(i) + random.range(-0.25f, 0.25f)) /
                                        static_cast<float>(ring.count);
      const float radius = ring.radius + random.range(-0.04f, 0.04f);
      const float lean = std::max(0.0f, ring.lean + random.range(-0.12f, 0.12f));
      const float turn = around + random.range(-0.25f, 0.25f);
      const base::Vec3 position{radius * std::sin(around), disc_height(radius) - 0.02f,
                                radius * std::cos(around)};
      const base::Vec3 direction{std::sin(lean) * std::sin(turn), std::cos(lean),
                                 std::sin(lean) * std::cos(turn)};
      data.roots.push_back({position, base::normalize(direction)});
    }
  }
  return data;
}

std::unique_ptr<model::MeshNode> make_anemone(const std::string& name) {
  auto root = std::make_unique<model::MeshNode>();
  root->name = name;
  root->tag = model::NodeTag{model::tag_code("ACTI"), encode_anemone_data(anemone_data())};
  std::unique_ptr<model::MeshNode> body = make_body();
  std::unique_ptr<model::MeshNode> hand = make_hand();
  if (!body || !hand) return nullptr;
  root->box = body->box;
  root->center = body->center;
  root->radius = body->radius;
  body->next_sibling = std::move(hand);
  root->first_child = std::move(body);
  root->index_tree();
  return root;
}

std::vector<base::Matrix> resting_tentacles(const AnemoneData& data) {
  const float height = 0.5f * (data.height_scale[0] + data.height_scale[1]);
  const float width = 0.5f * (data.width_scale[0] + data.width_scale[1]);
  std::vector<base::Matrix> list;
  for (const TentacleRoot& root : data.roots) {
    // Rows: the template's x, y and z axes in anemone space; y along the
    // growth direction.
    const base::Vec3 y = base::normalize(root.direction);
    const base::Vec3 x =
        base::normalize(base::cross(y, std::abs(y.z) < 0.9f ? base::Vec3{0, 0, 1} : base::Vec3{1, 0, 0}));
    const base::Vec3 z = base::cross(x, y);
    base::Matrix turn = base::identity();
    for (int row = 0; row < 3; ++row) {
      const base::Vec3& axis = row == 0 ? x : (row == 1 ? y : z);
      turn.m[row][0] = axis.x;
      turn.m[row][1] = axis.y;
      turn.m[row][2] = axis.z;
    }
    list.push_back(base::scaling(width, height, width) * turn * base::translation(root.position));
  }
  return list;
}

Picture anemone_body_texture() {
  // u around the column; v along the outline: foot, side (to about 0.55),
  // lip, oral disc, mouth.
  constexpr std::uint32_t kSize = 256;
  Picture picture(kSize, kSize);
  const base::Vec4 column = rgb(0.62f, 0.16f, 0.30f);
  const base::Vec4 stripe = rgb(0.44f, 0.10f, 0.24f);
  const base::Vec4 disc = rgb(0.86f, 0.58f, 0.50f);
  const base::Vec4 mouth = rgb(0.92f, 0.48f, 0.26f);
  for (std::uint32_t y = 0; y < kSize; ++y) {
    const float v = (static_cast<float>(y) + 0.5f) / kSize;
    for (std::uint32_t x = 0; x < kSize; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kSize;
      const float stripes = 0.5f + 0.5f * std::sin(u * kTurn * 14.0f);
      base::Vec4 side = mix(column, stripe, stripes * 0.6f);
      const float wart = fractal_noise({u * 48.0f, v * 24.0f, 0.5f}, 2, kSeed + 1, {48, 0, 0});
      side = mix(side, rgb(0.85f, 0.45f, 0.55f), smoothstep(0.35f, 0.6f, wart) * 0.5f);
      // Radial lines on the disc lead into the mouth.
      const float radial = 0.5f + 0.5f * std::sin(u * kTurn * 24.0f);
      base::Vec4 top = mix(disc, shade(disc, 0.75f), radial * 0.5f);
      top = mix(top, mouth, smoothstep(0.85f, 0.97f, v));
      base::Vec4 colour = mix(side, top, smoothstep(0.6f, 0.68f, v));
      colour = shade(colour,
                     0.92f + 0.16f * fractal_noise({u * 20.0f, v * 20.0f, 3.0f}, 3, kSeed + 2, {20, 0, 0}));
      picture.at(x, y) = colour;
    }
  }
  return picture;
}

Picture anemone_tentacle_texture() {
  // u around the tentacle, v from the root (top row) to the tip.
  constexpr std::uint32_t kWidth = 32;
  constexpr std::uint32_t kHeight = 128;
  Picture picture(kWidth, kHeight);
  const base::Vec4 root = rgb(0.80f, 0.40f, 0.38f);
  const base::Vec4 middle = rgb(0.94f, 0.60f, 0.52f);
  const base::Vec4 tip = rgb(1.0f, 0.88f, 0.82f);
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    const float v = (static_cast<float>(y) + 0.5f) / kHeight;
    base::Vec4 colour = v < 0.6f ? mix(root, middle, v / 0.6f) : mix(middle, tip, smoothstep(0.6f, 0.95f, v));
    for (std::uint32_t x = 0; x < kWidth; ++x) {
      const float u = (static_cast<float>(x) + 0.5f) / kWidth;
      // Two faint stripes run up each tentacle.
      const float stripe = 0.5f + 0.5f * std::cos(u * kTurn * 2.0f);
      picture.at(x, y) = shade(colour, 1.0f - 0.12f * stripe * (1.0f - v));
    }
  }
  return picture;
}

}  // namespace forge::scenery

// Fish boxes against scenery: one box against a 3 000-triangle rock when
// it is far, near or touching, and a school of 15 fish against six rocks,
// as the school's pre-step runs it every frame.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "fish/obstacle.h"
#include "model/mesh_builder.h"
#include "platform/vertex_format.h"

namespace {

using base::Vec3;

// A lumpy ball of 30 x 50 quads: 3 000 triangles.
std::unique_ptr<model::MeshNode> rock_node() {
  constexpr int kRings = 30;
  constexpr int kSegments = 50;
  constexpr float kPi = std::numbers::pi_v<float>;
  model::GeometryBuilder builder(gfx::fvf::kXyz | gfx::fvf::kNormal | gfx::fvf::tex_count(1));
  builder.begin_subset(model::plain_material({0.5f, 0.5f, 0.45f, 1}));
  for (int ring = 0; ring <= kRings; ++ring) {
    const float polar = kPi * static_cast<float>(ring) / kRings;
    for (int segment = 0; segment <= kSegments; ++segment) {
      const float around = 2.0f * kPi * static_cast<float>(segment) / kSegments;
      const Vec3 direction{std::sin(polar) * std::sin(around), std::cos(polar), std::sin(polar) * std::cos(around)};
      const float radius = 1.0f + 0.12f * std::sin(3.0f * polar) * std::cos(2.0f * around) +
                           0.05f * std::sin(7.0f * around + polar);
      builder.add_vertex(direction * radius, direction);
    }
  }
  const auto at = [](int ring, int segment) { return static_cast<std::uint32_t>(ring * (kSegments + 1) + segment); };
  for (int ring = 0; ring < kRings; ++ring) {
    for (int segment = 0; segment < kSegments; ++segment) {
      builder.add_triangle(at(ring, segment + 1), at(ring, segment), at(ring + 1, segment));
      builder.add_triangle(at(ring, segment + 1), at(ring + 1, segment), at(ring + 1, segment + 1));
    }
  }
  return builder.build("Rock");
}

fish::OrientedBox fish_box(const Vec3& centre) {
  // A fish half a unit long, swimming along z turned a little to the side.
  const float c = std::cos(0.4f);
  const float s = std::sin(0.4f);
  fish::OrientedBox box;
  box.centre = centre;
  box.axes = {Vec3{c, 0, -s}, Vec3{0, 1, 0}, Vec3{s, 0, c}};
  box.half = {0.05f, 0.1f, 0.25f};
  return box;
}

const base::Matrix kRockPlacement = base::scaling(1.4f, 0.8f, 1.1f) * base::translation(0, 0.8f, 0);

// Boxes come in towards the rock's centre along a slant, so that near the
// surface they are well inside the rock's bounds.
const Vec3 kRockCentre{0, 0.8f, 0};
const Vec3 kApproach = base::normalize(Vec3{1.0f, 0.6f, 0.8f});

// How far out along the approach a box first touches the rock: a march
// inwards in small steps (a box wholly inside touches nothing), then halving
// the last step.
float touching_distance(const fish::Obstacle& rock) {
  const auto touches = [&](float t) { return rock.contact(fish_box(kRockCentre + kApproach * t)).has_value(); };
  float outside = 5.0f;
  while (outside > 0.0f && !touches(outside - 0.01f)) outside -= 0.01f;
  float inside = outside - 0.01f;
  for (int i = 0; i < 20; ++i) {
    const float middle = (outside + inside) * 0.5f;
    (touches(middle) ? inside : outside) = middle;
  }
  return outside;
}

void contact_at(benchmark::State& state, float offset_from_touch) {
  const auto node = rock_node();
  const fish::Obstacle rock = fish::Obstacle::from_node(*node, kRockPlacement);
  const fish::OrientedBox box = fish_box(kRockCentre + kApproach * (touching_distance(rock) + offset_from_touch));
  for (auto _ : state) {
    std::optional<Vec3> n = rock.contact(box);
    benchmark::DoNotOptimize(n);
  }
  state.counters["contact"] = rock.contact(box) ? 1 : 0;
  state.counters["triangles"] = static_cast<double>(rock.triangle_count());
}

void BM_ContactFarBox(benchmark::State& state) { contact_at(state, 3.0f); }
BENCHMARK(BM_ContactFarBox)->Unit(benchmark::kMicrosecond);

// Inside the rock's bounds, a few hundredths away from its surface.
void BM_ContactNearBox(benchmark::State& state) { contact_at(state, 0.05f); }
BENCHMARK(BM_ContactNearBox)->Unit(benchmark::kMicrosecond);

void BM_ContactTouchingBox(benchmark::State& state) { contact_at(state, -0.05f); }
BENCHMARK(BM_ContactTouchingBox)->Unit(benchmark::kMicrosecond);

// Six rocks spread over a tank floor and 15 fish among them, some brushing
// the rocks; each fish stops at the first rock it touches.
void BM_ContactSchoolAgainstSixRocks(benchmark::State& state) {
  const auto node = rock_node();
  std::vector<fish::Obstacle> rocks;
  const std::array<Vec3, 6> places{Vec3{-6, 0, -3}, Vec3{-2, 0, 2}, Vec3{1, 0, -2},
                                   Vec3{4, 0, 3},   Vec3{6, 0, -1}, Vec3{-5, 0, 4}};
  for (const Vec3& place : places)
    rocks.push_back(fish::Obstacle::from_node(*node, kRockPlacement * base::translation(place)));
  std::vector<fish::OrientedBox> school;
  for (int i = 0; i < 15; ++i) {
    const float f = static_cast<float>(i);
    school.push_back(fish_box({-7.0f + f * 0.95f, 0.3f + std::fmod(f * 0.37f, 2.0f), -3.5f + std::fmod(f * 1.3f, 7.0f)}));
  }
  int touching = 0;
  for (auto _ : state) {
    touching = 0;
    for (const fish::OrientedBox& box : school) {
      for (const fish::Obstacle& rock : rocks) {
        const std::optional<Vec3> n = rock.contact(box);
        benchmark::DoNotOptimize(n);
        if (n) {
          ++touching;
          break;
        }
      }
    }
  }
  state.counters["touching"] = touching;
}
BENCHMARK(BM_ContactSchoolAgainstSixRocks)->Unit(benchmark::kMicrosecond);

// What a tank change pays per rock.
void BM_ObstacleFromNode(benchmark::State& state) {
  const auto node = rock_node();
  for (auto _ : state) {
    fish::Obstacle rock = fish::Obstacle::from_node(*node, kRockPlacement);
    benchmark::DoNotOptimize(rock);
  }
}
BENCHMARK(BM_ObstacleFromNode)->Unit(benchmark::kMicrosecond);

}  // namespace

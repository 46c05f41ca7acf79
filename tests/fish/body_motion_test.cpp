#include "fish/body_motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "base/maths_expect.h"
#include "platform/vertex_format.h"

namespace {

using base::Matrix;
using base::Vec3;
using base_test::near;
using fish::BodyMotion;
using fish::BodyParameters;
using fish::BoneRest;
using fish::MotionState;

constexpr float kFrame = 1.0f / 60.0f;
// A model one unit long on z, head at z = 0.6.
const Vec3 kBoxMin{-0.1f, -0.2f, -0.4f};
const Vec3 kBoxMax{0.1f, 0.2f, 0.6f};

BodyParameters swimmer() {
  BodyParameters p;
  p.normal_speed = 0.3f;
  p.normal_wave_size = 0.2f;
  p.normal_freq = 1.5f;
  p.elasticity = 1.0f;
  return p;
}

Matrix pose(const Vec3& forward, const Vec3& position) {
  const Vec3 f = base::normalize(forward);
  Vec3 right = base::cross({0, 1, 0}, f);
  if (base::length_sq(right) < 1e-6f) right = {1, 0, 0};
  right = base::normalize(right);
  const Vec3 up = base::cross(f, right);
  Matrix m = base::identity();
  const Vec3 rows[4] = {right, up, f, position};
  for (int r = 0; r < 4; ++r) {
    m.m[r][0] = rows[r].x;
    m.m[r][1] = rows[r].y;
    m.m[r][2] = rows[r].z;
  }
  return m;
}

bool finite(const Matrix& m) {
  for (const auto& row : m.m)
    for (float v : row)
      if (!std::isfinite(v)) return false;
  return true;
}

testing::AssertionResult orthonormal(const Matrix& m) {
  const Vec3 r = base::row3(m, 0);
  const Vec3 u = base::row3(m, 1);
  const Vec3 f = base::row3(m, 2);
  const float checks[6] = {base::dot(r, r) - 1, base::dot(u, u) - 1, base::dot(f, f) - 1,
                           base::dot(r, u), base::dot(u, f), base::dot(f, r)};
  for (float c : checks)
    if (!(std::fabs(c) < 1e-3f)) return testing::AssertionFailure() << "rows are not orthonormal";
  return testing::AssertionSuccess();
}

// Every output of the body is finite and stays within a sane distance.
testing::AssertionResult sound(const BodyMotion& body, const MotionState& motion) {
  if (!finite(body.world()) || !finite(body.body_frame())) return testing::AssertionFailure() << "frame";
  if (!orthonormal(body.body_frame())) return testing::AssertionFailure() << "body frame not orthonormal";
  for (const Matrix& m : body.skin_palette())
    if (!finite(m)) return testing::AssertionFailure() << "palette";
  for (const fish::ChainNode& node : body.chain()) {
    if (!finite(node.frame)) return testing::AssertionFailure() << "chain frame";
    if (!(base::length(base::translation_of(node.frame)) < 1e4f)) return testing::AssertionFailure() << "ran away";
  }
  const fish::SwimWave& wave = body.wave();
  if (!std::isfinite(wave.phase) || !std::isfinite(wave.frequency) || !std::isfinite(wave.amplitude) ||
      !std::isfinite(body.pitch_strength()) || !std::isfinite(body.turn_strength()) ||
      !std::isfinite(body.drift_turn())) {
    return testing::AssertionFailure() << "wave or turn";
  }
  if (!std::isfinite(motion.speed) || !std::isfinite(motion.velocity.x) || !std::isfinite(motion.velocity.y) ||
      !std::isfinite(motion.velocity.z)) {
    return testing::AssertionFailure() << "motion";
  }
  return testing::AssertionSuccess();
}

// The sideways offset of a point from the head's line.
float lateral(const BodyMotion& body, const Vec3& point) {
  const Matrix& head = body.body_frame();
  return base::dot(point - base::translation_of(head), base::row3(head, 0));
}

class BodyMotionTest : public testing::Test {
 protected:
  void SetUp() override {
    base::crt_rand().seed(1);
    body.build_body(kBoxMin, kBoxMax, swimmer());
    body.reset_pose(pose({0, 0, 1}, {0, 0, 0}));
  }

  void swim(int frames, const Vec3& push, float dt = kFrame) {
    for (int i = 0; i < frames; ++i) {
      motion.push = push;
      body.update_body(motion, dt, dt);
    }
  }

  BodyMotion body;
  MotionState motion;
};

// --- bones

TEST(BoneLayoutTest, SegmentSettingGivesBoneCountWithinThePalette) {
  struct Case {
    std::uint32_t segments;
    int bones;
  };
  const Case cases[] = {{0, 8}, {1, 5}, {8, 8}, {19, 20}, {20, 20}, {21, 20}, {50, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.segments);
    const fish::BoneLayout layout = fish::layout_bones(-0.4f, 0.6f, c.segments);
    ASSERT_EQ(layout.count, c.bones);
    EXPECT_FLOAT_EQ(layout.bones[0].start_z, 0.6f);
    float total = 0.0f;
    for (int i = 0; i < layout.count; ++i) {
      if (i > 0) {
        EXPECT_NEAR(layout.bones[i].start_z, layout.bones[i - 1].start_z - layout.bones[i - 1].length, 1e-5f);
      }
      total += layout.bones[i].length;
    }
    EXPECT_NEAR(total, 1.0f, 1e-5f);
    // The tail section is one bone of length 0 at the tail end.
    EXPECT_EQ(layout.anchors[4], layout.count - 1);
    EXPECT_EQ(layout.bones[layout.count - 1].length, 0.0f);
    EXPECT_NEAR(layout.bones[layout.count - 1].start_z, -0.4f, 1e-5f);

    BodyParameters p = swimmer();
    p.spine_segments = c.segments;
    BodyMotion body;
    body.build_body(kBoxMin, kBoxMax, p);
    EXPECT_EQ(static_cast<int>(body.skin_palette().size()), c.bones);
  }
}

TEST(BoneLayoutTest, ChainNodesSitAtTheSectionStarts) {
  BodyMotion body;
  body.build_body(kBoxMin, kBoxMax, swimmer());
  body.reset_pose(pose({0, 0, 1}, {1, 2, 3}));
  const float expected_z[5] = {3.0f, 2.65f, 2.35f, 2.175f, 2.0f};
  for (int k = 0; k < 5; ++k) {
    EXPECT_TRUE(near(base::translation_of(body.chain()[k].frame), {1, 2, expected_z[k]}, 1e-5f)) << k;
  }
  // The transform origin lies half way down the body by default.
  EXPECT_TRUE(near(base::translation_of(body.world()), {1, 2, 2.5f}, 1e-5f));
}

TEST_F(BodyMotionTest, StraightBodyPaletteMapsTheModelOntoTheChain) {
  for (float scale : {1.0f, 0.8f}) {
    SCOPED_TRACE(scale);
    body.reset_pose(pose({1, 0, 0}, {5, 1, 0}));  // head at (5, 1, 0), swimming along +x
    motion = MotionState{};
    motion.scale = scale;
    body.update_body(motion, 1e-4f, kFrame);
    const auto bones = body.bones();
    for (std::size_t i = 0; i + 1 < bones.size(); ++i) {
      // A point inside bone i, off the axis: model z maps to world x.
      const BoneRest rest = bones[i].rest;
      const Vec3 model{0.05f, -0.1f, rest.start_z - rest.length * 0.5f};
      const Vec3 world = base::transform_coord(model, body.skin_palette()[i]);
      const Vec3 expected{5.0f + scale * (model.z - kBoxMax.z), 1.0f + scale * model.y, -scale * model.x};
      EXPECT_TRUE(near(world, expected, 2e-3f)) << "bone " << i;
    }
  }
}

// --- vertex weights

TEST(VertexBlendTest, WeightsBlendNeighboursSmoothlyAlongTheBody) {
  const fish::BoneLayout layout = fish::layout_bones(-0.4f, 0.6f, 8);
  const auto bones = layout.view();
  const int last_real = layout.count - 2;

  // Walking from head to tail, the blended bone position (own bone moved
  // towards the neighbour by its share) never goes back, and the weight on
  // the own bone stays in [0.5, 1].
  float previous = -1.0f;
  float lowest = 1.0f;
  for (int i = 0; i <= 1000; ++i) {
    const float z = 0.6f - static_cast<float>(i) * 0.001f;
    const fish::VertexBlend b = fish::vertex_blend(z, bones);
    ASSERT_GE(b.weight, 0.5f - 1e-6f) << z;
    ASSERT_LE(b.weight, 1.0f) << z;
    ASSERT_LE(std::abs(b.bone - b.neighbour), 1) << z;
    const float position = b.bone + (1.0f - b.weight) * static_cast<float>(b.neighbour - b.bone);
    ASSERT_GE(position, previous - 1e-4f) << z;
    previous = position;
    lowest = std::min(lowest, b.weight);
  }
  EXPECT_LT(lowest, 0.51f);  // the shares really blend, not all 1

  struct Case {
    const char* where;
    float z;
    int bone;
    int neighbour;  // -1: either (the weight is 1)
    float weight;
  };
  const float mid0 = bones[0].start_z - bones[0].length * 0.5f;
  const Case cases[] = {
      {"head tip", 0.6f, 0, 0, 1.0f},
      {"beyond the head", 0.9f, 0, 0, 1.0f},
      {"middle of bone 0", mid0, 0, -1, 1.0f},
      {"a quarter into bone 0's tail half", bones[0].start_z - bones[0].length * 0.75f, 0, 1, 0.84375f},
      {"tail tip", -0.4f, last_real, last_real + 1, 0.5f},
      {"beyond the tail", -1.0f, last_real, last_real + 1, 0.5f},
  };
  for (const Case& c : cases) {
    const fish::VertexBlend b = fish::vertex_blend(c.z, bones);
    EXPECT_EQ(b.bone, c.bone) << c.where;
    if (c.neighbour >= 0) {
      EXPECT_EQ(b.neighbour, c.neighbour) << c.where;
    }
    EXPECT_NEAR(b.weight, c.weight, 1e-4f) << c.where;
  }

  // Both bones of every joint agree: half and half.
  for (int i = 1; i <= last_real; ++i) {
    const fish::VertexBlend b = fish::vertex_blend(bones[i].start_z - 1e-6f, bones);
    EXPECT_NEAR(b.weight, 0.5f, 1e-3f) << i;
    EXPECT_EQ(b.bone + b.neighbour, 2 * i - 1) << i;
  }
}

TEST(VertexBlendTest, FlatModelPutsEverythingOnTheFirstBone) {
  const fish::BoneLayout layout = fish::layout_bones(0.3f, 0.3f, 0);
  for (float z : {0.3f, 0.0f, 1.0f}) {
    const fish::VertexBlend b = fish::vertex_blend(z, layout.view());
    EXPECT_EQ(b, (fish::VertexBlend{0, 0, 1.0f})) << z;
  }
}

TEST(VertexBlendTest, WritesWeightAndIndicesIntoTheVertexFields) {
  const fish::BoneLayout layout = fish::layout_bones(-0.4f, 0.6f, 8);
  const float zs[] = {0.6f, layout.bones[0].start_z - layout.bones[0].length * 0.75f, -0.4f};
  struct Format {
    std::uint32_t fvf;
    bool accepted;
  };
  const Format formats[] = {
      {gfx::fvf::kXyzB2 | gfx::fvf::kLastBetaUByte4 | gfx::fvf::kNormal, true},
      {gfx::fvf::kXyzB3 | gfx::fvf::kLastBetaUByte4, true},
      {gfx::fvf::kXyzB2 | gfx::fvf::kLastBetaColor, true},
      {gfx::fvf::kXyz | gfx::fvf::kNormal, false},
      {gfx::fvf::kXyzB1 | gfx::fvf::kLastBetaUByte4, false},  // indices only, no weight
  };
  for (const Format& format : formats) {
    SCOPED_TRACE(format.fvf);
    const gfx::VertexLayout vertex_layout = *gfx::decode_vertex_format(format.fvf);
    std::vector<std::uint8_t> bytes(vertex_layout.stride * 3, 0xEE);
    for (int v = 0; v < 3; ++v) {
      const float position[3] = {0.0f, 0.0f, zs[v]};
      std::memcpy(bytes.data() + v * vertex_layout.stride, position, sizeof position);
    }
    const std::vector<std::uint8_t> before = bytes;
    ASSERT_EQ(fish::write_vertex_blends(bytes, 3, vertex_layout, layout.view()), format.accepted);
    if (!format.accepted) {
      EXPECT_EQ(bytes, before);
      continue;
    }
    for (int v = 0; v < 3; ++v) {
      const fish::VertexBlend expected = fish::vertex_blend(zs[v], layout.view());
      const std::uint8_t* vertex = bytes.data() + v * vertex_layout.stride;
      float weight = 0.0f;
      std::memcpy(&weight, vertex + vertex_layout.blend_offset, sizeof weight);
      EXPECT_EQ(weight, expected.weight);
      const std::uint8_t* indices = vertex + vertex_layout.indices_offset;
      const int first = vertex_layout.indices_as_color ? 2 : 0;
      EXPECT_EQ(indices[first], expected.bone);
      EXPECT_EQ(indices[1], expected.neighbour);
      if (vertex_layout.blend_weights > 1) {
        float second = 1.0f;
        std::memcpy(&second, vertex + vertex_layout.blend_offset + 4, sizeof second);
        EXPECT_EQ(second, 0.0f);
        EXPECT_EQ(indices[2], expected.neighbour);
      }
      float z = 0.0f;
      std::memcpy(&z, vertex + 8, sizeof z);
      EXPECT_EQ(z, zs[v]);  // the position is left alone
    }
  }
  // A buffer too short for the vertex count is refused untouched.
  const gfx::VertexLayout vertex_layout = *gfx::decode_vertex_format(gfx::fvf::kXyzB2 | gfx::fvf::kLastBetaUByte4);
  std::vector<std::uint8_t> short_buffer(vertex_layout.stride * 2, 0);
  EXPECT_FALSE(fish::write_vertex_blends(short_buffer, 3, vertex_layout, layout.view()));
}

// --- turning and pitching

TEST_F(BodyMotionTest, OnlyATurnFasterThanTheThresholdStartsTheTurnClock) {
  struct Case {
    float angle;
    float time;
    bool randomise;
    bool starts;
  };
  const Case cases[] = {
      {0.3f, 1.0f, false, false},   // rate exactly 0.3
      {0.31f, 1.0f, false, true},
      {-0.31f, 1.0f, false, true},
      {0.03f, 0.01f, false, false},  // the time is at least 0.1 s: rate 0.3
      {0.04f, 0.01f, false, true},
      {0.01f, 1.0f, true, true},  // a randomised turn always starts
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.angle << " over " << c.time);
    SetUp();
    EXPECT_EQ(body.start_turn(c.angle, c.time, c.randomise), c.starts);
    EXPECT_EQ(body.turn_clock().running(), c.starts);
    if (c.starts) {
      EXPECT_GE(body.turn_clock().duration, 0.1);
      EXPECT_EQ(body.turn_strength() > 0.0f, c.angle > 0.0f);
      // While one runs, a plain request only drifts.
      EXPECT_FALSE(body.start_turn(2.0f, 1.0f, false));
      EXPECT_GT(body.drift_turn(), 0.0f);
    } else {
      EXPECT_GT(body.drift_turn(), 0.0f);
    }
  }
}

TEST_F(BodyMotionTest, PushesTurnAndPitchTheBody) {
  // A steady push to the right turns the fish to the right; a push up
  // raises its head.
  body.reset_pose(pose({0, 0, 1}, {0, 0, 0}));
  motion.speed = 0.5f;
  swim(120, {1.0f, 0.0f, 0.2f});
  EXPECT_GT(base::row3(body.body_frame(), 2).x, 0.3f);

  SetUp();
  motion.speed = 0.5f;
  swim(60, {0.0f, 0.6f, 0.6f});
  EXPECT_GT(base::row3(body.body_frame(), 2).y, 0.05f);
}

TEST_F(BodyMotionTest, PitchRequestsBeyondTheLimitAreIgnored) {
  struct Case {
    const char* what;
    Vec3 forward;
    float push_y;
    bool pitches;
  };
  const Case cases[] = {
      {"level, up", {0, 0, 1}, 0.5f, true},
      {"level, down", {0, 0, 1}, -0.5f, true},
      {"steep up, further up", {0, 0.8f, 0.6f}, 0.5f, false},
      {"steep up, down", {0, 0.8f, 0.6f}, -0.5f, true},
      {"steep down, further down", {0, -0.8f, 0.6f}, -0.5f, false},
      {"steep down, up", {0, -0.8f, 0.6f}, 0.5f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    body.build_body(kBoxMin, kBoxMax, swimmer());
    body.reset_pose(pose(c.forward, {0, 0, 0}));
    motion = MotionState{};
    motion.push = {0, c.push_y, 0};
    body.update_body(motion, kFrame, kFrame);
    EXPECT_EQ(body.pitch_clock().duration > 0.0, c.pitches);
  }
}

// --- the wave

TEST_F(BodyMotionTest, StraightSwimBendsTheBodyBackAndForth) {
  int sign_changes = 0;
  float last = 0.0f;
  float widest = 0.0f;
  for (int frame = 0; frame < 600; ++frame) {
    swim(1, base::row3(body.body_frame(), 2) * 1.2f);
    const float side = lateral(body, base::translation_of(body.chain()[2].frame));
    if (side * last < 0.0f) ++sign_changes;
    if (side != 0.0f) last = side;
    widest = std::max(widest, std::fabs(side));
  }
  EXPECT_GE(sign_changes, 4);
  EXPECT_GT(widest, 0.002f);
  EXPECT_LT(widest, 0.5f);
  EXPECT_GT(base::length(base::translation_of(body.body_frame())), 1.0f);  // it got somewhere
  EXPECT_TRUE(sound(body, motion));
}

TEST_F(BodyMotionTest, WaveFrequencyFollowsTheSwimmingSpeed) {
  // From rest the chain is still, so all of the speed is swimming effort.
  float previous_frequency = -1.0f;
  for (float speed : {0.05f, 0.15f, 0.3f, 0.6f, 1.2f}) {
    SetUp();
    motion.speed = speed;
    motion.velocity = {0, 0, speed};
    motion.max_speed = 2.0f;
    body.update_body(motion, kFrame, kFrame);
    EXPECT_GT(body.wave().frequency, previous_frequency) << speed;
    EXPECT_GT(body.wave().amplitude, 0.0f) << speed;
    previous_frequency = body.wave().frequency;
  }
  // Still water: no wave at all.
  SetUp();
  motion = MotionState{};
  body.update_body(motion, kFrame, kFrame);
  EXPECT_EQ(body.wave().frequency, 0.0f);
  EXPECT_EQ(body.wave().amplitude, 0.0f);
}

TEST_F(BodyMotionTest, HeadOutrunningTheSwimStopsTheWaveAndSlows) {
  swim(120, base::row3(body.body_frame(), 2) * 1.2f);
  const float head_speed = base::length(body.chain()[0].velocity);
  ASSERT_GT(head_speed, 0.0f);
  motion = MotionState{};  // the fish stops swimming
  body.update_body(motion, kFrame, 0.1);
  EXPECT_EQ(body.wave().amplitude, 0.0f);
  EXPECT_LT(base::length(body.chain()[0].velocity), head_speed * 0.9f + 1e-6f);
}

// --- behaviours' operations

TEST_F(BodyMotionTest, DisplacementMovesTheBodyOnlyDuringABurst) {
  struct Case {
    bool burst;
    float moved;
  };
  for (const Case& c : {Case{true, 0.25f}, Case{false, 0.0f}}) {
    SCOPED_TRACE(c.burst);
    SetUp();
    if (c.burst) body.restart_burst(1.0);
    body.displace(0.25f);
    body.update_body(motion, kFrame, kFrame);
    EXPECT_NEAR(base::translation_of(body.body_frame()).z, c.moved, 0.01f);
    EXPECT_NEAR(base::translation_of(body.chain()[4].frame).z, c.moved - 1.0f, 0.02f);
    // The displacement is used up: the next step leaves the body where it is.
    body.update_body(motion, kFrame, kFrame);
    EXPECT_NEAR(base::translation_of(body.body_frame()).z, c.moved, 0.01f);
  }
}

TEST_F(BodyMotionTest, MovedBodyFrameDragsTheTailForward) {
  const Vec3 tail_before = base::translation_of(body.chain()[4].frame);
  body.set_body_frame(pose({0, 0, 1}, {0, 0, 0.5f}), kFrame);
  EXPECT_TRUE(near(base::translation_of(body.body_frame()), {0, 0, 0.5f}));
  const float dragged = base::translation_of(body.chain()[4].frame).z - tail_before.z;
  EXPECT_NEAR(dragged, 0.1f * (1.0f - kFrame), 1e-4f);  // the follow factor's share
  // A frame moved backwards leaves the tail in place.
  body.set_body_frame(pose({0, 0, 1}, {0, 0, 0}), kFrame);
  EXPECT_NEAR(base::translation_of(body.chain()[4].frame).z - tail_before.z, dragged, 1e-6f);
}

// --- degenerate input

TEST(BodyMotionGuardTest, DegenerateInputKeepsEveryOutputFinite) {
  struct Case {
    const char* what;
    Vec3 box_min;
    Vec3 box_max;
    BodyParameters parameters;
    Vec3 forward;
    Vec3 push;
  };
  BodyParameters still = swimmer();
  still.normal_speed = 0.0f;
  BodyParameters backwards_wave = swimmer();
  backwards_wave.normal_freq = -2.0f;
  BodyParameters slack = swimmer();
  slack.elasticity = -1.0f;
  BodyParameters long_spine = swimmer();
  long_spine.spine_segments = 50;
  BodyParameters all_zero;
  all_zero.origin_fraction = 0.0f;
  all_zero.follow_factor = 0.0f;
  all_zero.pitch_limit = 0.0f;
  all_zero.spine_segments = 0;
  const Vec3 flat{0.1f, 0.2f, 0.3f};
  const Case cases[] = {
      {"zero model length", -flat, {0.1f, 0.2f, -0.3f}, swimmer(), {0, 0, 1}, {0.3f, 0.5f, 1.0f}},
      {"point model", {}, {}, swimmer(), {1, 0, 0}, {0, 0, 1}},
      {"no cruising speed", kBoxMin, kBoxMax, still, {0, 0, 1}, {0.5f, 0, 1}},
      {"negative frequency", kBoxMin, kBoxMax, backwards_wave, {0, 0, 1}, {0, 0, 1}},
      {"negative elasticity", kBoxMin, kBoxMax, slack, {0, 0, 1}, {1, 0, 0}},
      {"all words zero", kBoxMin, kBoxMax, all_zero, {0, 0, 1}, {1, 1, 1}},
      {"facing straight up", kBoxMin, kBoxMax, swimmer(), {0, 1, 0}, {0, 1, 0}},
      {"facing straight down", kBoxMin, kBoxMax, swimmer(), {0, -1, 0}, {0, -1, 0}},
      {"no push", kBoxMin, kBoxMax, swimmer(), {0, 0, 1}, {}},
      {"push straight back", kBoxMin, kBoxMax, swimmer(), {0, 0, 1}, {0, 0, -1}},
      {"full push up and back", kBoxMin, kBoxMax, long_spine, {0, 0, 1}, {0.0f, 1.7f, -1.7f}},
  };
  for (const Case& c : cases) {
    for (float dt : {1.0f, 1e-6f, kFrame}) {
      SCOPED_TRACE(testing::Message() << c.what << ", dt " << dt);
      base::crt_rand().seed(3);
      BodyMotion body;
      body.build_body(c.box_min, c.box_max, c.parameters);
      body.reset_pose(pose(c.forward, {0, 0, 0}));
      MotionState motion;
      motion.max_speed = 2.4f;
      ASSERT_TRUE(sound(body, motion));
      for (int frame = 0; frame < 400; ++frame) {
        motion.push = c.push;
        if (frame % 50 == 0) body.start_turn(1.5f, 0.5f, true);
        if (frame % 97 == 0) {
          body.restart_burst(0.3);
          body.displace(0.0f);
          body.displace(0.2f);
        }
        if (frame % 131 == 0) body.set_body_frame(body.body_frame(), dt);  // moved by nothing
        if (frame == 200) body.clear_chain();
        body.update_body(motion, dt, std::min(dt, 0.1f));
        ASSERT_TRUE(sound(body, motion)) << "frame " << frame;
      }
    }
  }
}

TEST(BodyMotionGuardTest, BodyWithoutLengthKeepsItsHeading) {
  // All chain points coincide, so the spine gives no direction: the head
  // keeps the one it was placed with.
  BodyMotion body;
  body.build_body({}, {}, swimmer());
  body.reset_pose(pose({1, 0, 0}, {2, 0, 0}));
  MotionState motion;
  for (int frame = 0; frame < 10; ++frame) body.update_body(motion, kFrame, kFrame);
  EXPECT_TRUE(near(base::row3(body.body_frame(), 2), {1, 0, 0}));
  EXPECT_TRUE(near(base::translation_of(body.world()), {2, 0, 0}));
}

// --- determinism

TEST(BodyMotionDeterminismTest, SameSeedSameSwim) {
  auto run = [](std::uint32_t seed) {
    base::crt_rand().seed(seed);
    BodyMotion body;
    body.build_body(kBoxMin, kBoxMax, swimmer());
    body.reset_pose(pose({0, 0, 1}, {0, 0, 0}));
    MotionState motion;
    for (int frame = 0; frame < 300; ++frame) {
      const float t = static_cast<float>(frame);
      motion.push = {std::sin(t * 0.05f), 0.2f * std::cos(t * 0.03f), 1.0f};
      if (frame % 40 == 0) body.start_turn(frame % 80 == 0 ? 1.0f : -1.0f, 0.6f, true);
      body.update_body(motion, kFrame, kFrame);
    }
    std::vector<Matrix> out(body.skin_palette().begin(), body.skin_palette().end());
    out.push_back(body.world());
    return out;
  };
  const std::vector<Matrix> first = run(7);
  EXPECT_EQ(run(7), first);
  EXPECT_NE(run(8), first);  // the random turns matter
}

}  // namespace

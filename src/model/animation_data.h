#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/crt_random.h"
#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/vector.h"

namespace model {

// Keyframe tracks of one node, as stored. Only their duration is used.
struct RotationKey {
  float time = 0.0f;
  base::Quaternion value;
  friend bool operator==(const RotationKey&, const RotationKey&) = default;
};
struct VectorKey {
  float time = 0.0f;
  base::Vec3 value;
  friend bool operator==(const VectorKey&, const VectorKey&) = default;
};
struct MatrixKey {
  float time = 0.0f;
  base::Matrix value;
  friend bool operator==(const MatrixKey&, const MatrixKey&) = default;
};

struct KeyframeTracks {
  std::vector<RotationKey> rotation;  // track 0
  std::vector<VectorKey> first;       // track 1
  std::vector<VectorKey> second;      // track 2
  std::vector<MatrixKey> matrices;    // track 3

  // The last matrix key's time (0 when negative) when there are matrix keys;
  // otherwise the largest last key time of the other tracks (track 0's only
  // when not negative).
  float duration() const;
  friend bool operator==(const KeyframeTracks&, const KeyframeTracks&) = default;
};

// How often and how fast a loaded copy of a mesh plays, and its randomised
// actual values.
struct PlaybackParameters {
  std::int32_t loops = -1;  // negative: endless
  std::uint8_t loops_variation = 0;  // percent
  std::uint32_t pause = 0;
  std::uint8_t pause_variation = 0;
  float rate = 20.0f;
  std::uint8_t rate_variation = 0;
  float duration = 0.0f;  // one cycle; 0 = the longest track of the tree

  int active = 0;
  int loops_actual = 0;
  int pause_actual = 0;
  float rate_actual = 0.0f;

  // Draws the actual values: each variation is scaled by
  // (first draw - second draw) / 32767; the loops are drawn only when they
  // are not endless, then the pause, then the rate.
  void randomise(base::CrtRandom& random);

  // The stored fields (not the actual values) are equal.
  bool same_stored(const PlaybackParameters& o) const {
    return loops == o.loops && loops_variation == o.loops_variation && pause == o.pause &&
           pause_variation == o.pause_variation && rate == o.rate && rate_variation == o.rate_variation &&
           duration == o.duration;
  }
};

// The keys of one animated node in an animation set; a slot without a name
// is empty.
struct NodeAnimation {
  std::string node_name;
  std::vector<RotationKey> rotation;
  std::vector<VectorKey> scale;
  std::vector<VectorKey> translation;
  friend bool operator==(const NodeAnimation&, const NodeAnimation&) = default;
};

enum class PlaybackType : std::uint32_t { Loop = 0, Once = 1, PingPong = 2 };

struct AnimationSet {
  std::string name;
  double ticks_per_second = 0.0;  // key times are in ticks
  PlaybackType playback = PlaybackType::Loop;
  std::vector<NodeAnimation> animations;
  friend bool operator==(const AnimationSet&, const AnimationSet&) = default;
};

// An animation controller's limits and its sets, as stored in a mesh tree.
struct AnimationData {
  std::uint32_t max_outputs = 0;
  std::uint32_t max_tracks = 0;
  std::uint32_t max_events = 0;
  std::uint32_t priority_blend = 0;  // used as this number converted to float
  std::vector<AnimationSet> sets;
  friend bool operator==(const AnimationData&, const AnimationData&) = default;
};

// A group of vertices moved between stored frames. Every point stands for a
// run of consecutive vertex indices that share its position.
struct MorphGroup {
  std::string name;  // lower-cased
  std::vector<std::uint16_t> vertex_indices;
  std::vector<std::uint8_t> point_sizes;       // indices per point
  std::vector<std::vector<base::Vec3>> frames;  // one position per point
  // The node whose record held the group (a node handle of the tree).
  std::uint32_t owner = 0;
  friend bool operator==(const MorphGroup&, const MorphGroup&) = default;
};

}  // namespace model

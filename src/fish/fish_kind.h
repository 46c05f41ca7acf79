#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>

namespace render {
class PackageReader;
}

namespace fish {

// The attributes one fish kind shares among all its fish: 34 little-endian
// 32-bit words. Words without an accessor are carried but not used.
class FishKindAttributes {
 public:
  static constexpr std::size_t kWordCount = 34;
  static constexpr std::size_t kSize = kWordCount * 4;

  // Words the rest of the program reads.
  enum Word : std::size_t {
    kSchoolPower = 0,
    kNormalSpeed = 1,
    kMaxSpeed = 2,
    kNormalWaveSize = 3,
    kNormalFreq = 4,
    kElasticity = 5,
    kOriginFraction = 15,
    kFollowFactor = 16,
    kSchoolWeightFactor = 18,
    kPitchLimit = 22,
    kSpineSegments = 33,
  };

  // The attribute file entries of a fish package, found by their extension.
  static constexpr const char* kAttExtension = "att";
  static constexpr const char* kAttPlusExtension = "att+";

  // All words 0 (word index kWordCount or above reads as 0, writes nothing).
  std::uint32_t word(std::size_t index) const;
  float real(std::size_t index) const;
  void set_word(std::size_t index, std::uint32_t value);
  void set_real(std::size_t index, float value);

  // 0 means the kind never schools; otherwise the weight of its schools.
  float school_power() const { return real(kSchoolPower); }
  float normal_speed() const { return real(kNormalSpeed); }
  float max_speed() const { return real(kMaxSpeed); }
  float normal_wave_size() const { return real(kNormalWaveSize); }
  float normal_freq() const { return real(kNormalFreq); }
  float elasticity() const { return real(kElasticity); }
  // Where the transform origin lies along the body (0 to 1).
  float origin_fraction() const { return real(kOriginFraction); }
  // How far the tail nodes follow a moved body frame.
  float follow_factor() const { return real(kFollowFactor); }
  float school_weight_factor() const { return real(kSchoolWeightFactor); }
  float pitch_limit() const { return real(kPitchLimit); }
  std::uint32_t spine_segments() const { return word(kSpineSegments); }

  const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }

  void clear() { bytes_.fill(0); }
  // The values a kind gets for words an attribute file left at 0: origin
  // fraction 0.5, follow factor 0.1 (also in place of 0.9, which makes the
  // tail overshoot), pitch limit 0.6, 8 spine segments.
  void apply_defaults();

  // Reads an attribute file in the X format, text or binary: the record
  // becomes zero, then each FishAtt2 object's first 128 bytes replace words
  // 0 to 31 and the defaults are applied. Other objects are passed over.
  // False, with the record untouched, when the file cannot be read.
  bool read_att(std::span<const std::uint8_t> file);
  // Replaces the start of the record with the first min(size, kSize) bytes.
  void apply_att_plus(std::span<const std::uint8_t> record);

  // Reads the package's "att" entry, then its "att+" entry; each is
  // optional, and an entry that cannot be read changes nothing.
  void load(render::PackageReader& package);

 private:
  std::array<std::uint8_t, kSize> bytes_{};
};

// The attributes of every kind met so far, read from its package on first
// use and shared by all fish of the kind from then on.
class KindAttributesCache {
 public:
  // The cached attributes of kind, or those read from its open package.
  std::shared_ptr<const FishKindAttributes> get(int kind, render::PackageReader& package);
  // nullptr when the kind was not read yet.
  std::shared_ptr<const FishKindAttributes> find(int kind) const;
  void clear() { kinds_.clear(); }
  std::size_t size() const { return kinds_.size(); }

 private:
  std::map<int, std::shared_ptr<const FishKindAttributes>> kinds_;
};

}  // namespace fish

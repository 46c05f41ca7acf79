#include "fish/fish_kind.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/x_file.h"
#include "model/x_templates.h"
#include "render/package_reader.h"

namespace fish {

namespace {

// A FishAtt2 object fills the words before the last two.
constexpr std::size_t kFishAtt2Bytes = 32 * 4;

constexpr float kDefaultOriginFraction = 0.5f;
constexpr float kDefaultFollowFactor = 0.1f;
constexpr float kOvershootingFollowFactor = 0.9f;
constexpr float kFollowFactorTolerance = 0.001f;
constexpr float kDefaultPitchLimit = 0.6f;
constexpr std::uint32_t kDefaultSpineSegments = 8;

// The block of the package's first entry with that extension, or nullptr.
const render::Block* read_entry(render::PackageReader& package, const char* extension) {
  const std::uint32_t index = package.find_by_extension(extension);
  return index == 0 ? nullptr : package.read(index);
}

}  // namespace

std::uint32_t FishKindAttributes::word(std::size_t index) const {
  if (index >= kWordCount) return 0;
  const std::uint8_t* p = bytes_.data() + index * 4;
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

float FishKindAttributes::real(std::size_t index) const { return std::bit_cast<float>(word(index)); }

void FishKindAttributes::set_word(std::size_t index, std::uint32_t value) {
  if (index >= kWordCount) return;
  std::uint8_t* p = bytes_.data() + index * 4;
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void FishKindAttributes::set_real(std::size_t index, float value) {
  set_word(index, std::bit_cast<std::uint32_t>(value));
}

void FishKindAttributes::apply_defaults() {
  if (origin_fraction() == 0.0f) set_real(kOriginFraction, kDefaultOriginFraction);
  const float follow = follow_factor();
  if (follow == 0.0f || std::fabs(follow - kOvershootingFollowFactor) < kFollowFactorTolerance) {
    set_real(kFollowFactor, kDefaultFollowFactor);
  }
  if (pitch_limit() == 0.0f) set_real(kPitchLimit, kDefaultPitchLimit);
  if (spine_segments() == 0) set_word(kSpineSegments, kDefaultSpineSegments);
}

bool FishKindAttributes::read_att(std::span<const std::uint8_t> file) {
  model::XFileReader reader;
  if (!reader.open_memory(file)) return false;
  clear();
  for (std::size_t i = 0; i < reader.count(); ++i) {
    const model::XObject* object = reader.object(i);
    if (object == nullptr || model::XFileReader::type(*object) != model::xguid::kFishAtt2) continue;
    model::XFileReader::copy_data(*object, std::span<std::uint8_t>(bytes_.data(), kFishAtt2Bytes));
    apply_defaults();
  }
  return true;
}

void FishKindAttributes::apply_att_plus(std::span<const std::uint8_t> record) {
  std::copy_n(record.begin(), std::min(record.size(), kSize), bytes_.begin());
}

void FishKindAttributes::load(render::PackageReader& package) {
  if (const render::Block* att = read_entry(package, kAttExtension)) read_att(att->bytes());
  if (const render::Block* att_plus = read_entry(package, kAttPlusExtension))
    apply_att_plus(att_plus->bytes());
}

std::shared_ptr<const FishKindAttributes> KindAttributesCache::get(int kind, render::PackageReader& package) {
  auto found = kinds_.find(kind);
  if (found != kinds_.end()) return found->second;
  auto attributes = std::make_shared<FishKindAttributes>();
  attributes->load(package);
  kinds_.emplace(kind, attributes);
  return attributes;
}

std::shared_ptr<const FishKindAttributes> KindAttributesCache::find(int kind) const {
  auto found = kinds_.find(kind);
  return found == kinds_.end() ? nullptr : found->second;
}

}  // namespace fish

#include "fish/school_zones.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace fish {

void HidingZone::add_occupant(float length) {
  ++occupants;
  occupied_length += length;
}

void HidingZone::remove_occupant(float length) {
  occupants = std::max(0, occupants - 1);
  occupied_length = occupants == 0 ? 0.0f : std::max(0.0f, occupied_length - length);
}

void HidingZones::clear() {
  zones_.clear();
  last_chosen_ = nullptr;
}

void HidingZones::rebuild(const scene::GroupBoxList* boxes) {
  clear();
  if (boxes == nullptr) return;
  zones_.reserve(boxes->boxes().size());
  for (const scene::GroupBox& box : boxes->boxes()) {
    // A flat or broken box has no inside to hide in and no frame to steer
    // by: it makes no zone.
    const std::optional<base::Matrix> inverse = base::inverse(box.transform);
    if (!inverse) continue;
    HidingZone zone;
    zone.transform = box.transform;
    zone.inverse = *inverse;
    base::Vec3 sum;
    base::Vec3 lowest{1e38f, 1e38f, 1e38f};
    for (int i = 0; i < 8; ++i) {
      const base::Vec3 corner{(i & 4) ? 0.5f : -0.5f, (i & 2) ? 0.5f : -0.5f, (i & 1) ? 0.5f : -0.5f};
      const base::Vec3 world = base::transform_coord(corner, box.transform);
      sum += world;
      lowest = base::minimize(lowest, world);
    }
    zone.centre = sum * 0.125f;
    zone.radius = base::length(zone.centre - lowest);
    if (!std::isfinite(zone.radius) || !std::isfinite(zone.centre.x + zone.centre.y + zone.centre.z)) continue;
    zone.reach = zone.radius > 0.0f ? 0.5f / zone.radius : 0.0f;
    zone.key = 1;
    zone.capacity = box.name.empty() ? 2 : 99;
    zones_.push_back(zone);
  }
}

HidingZone* HidingZones::choose(const base::Vec3& position, int key, base::CrtRandom& random) {
  if (cooldown_ > 0.0f) return nullptr;
  const float r1 = random.unit();
  const float r2 = random.unit();
  cooldown_ = (r1 - r2) * 0.5f + 1.0f;
  HidingZone* chosen = nullptr;
  if (random.chance(0.5f)) {
    for (HidingZone& zone : zones_) {
      if (zone.key == key && &zone != last_chosen_) {
        chosen = &zone;
        break;
      }
    }
  } else {
    float nearest = 1e38f;
    for (HidingZone& zone : zones_) {
      if (zone.key != key) continue;
      const float d = base::length_sq(zone.centre - position);
      if (d < nearest) {
        nearest = d;
        chosen = &zone;
      }
    }
  }
  if (chosen != nullptr) last_chosen_ = chosen;
  return chosen;
}

bool HidingZones::repel(const base::Vec3& position, int asking_key, base::Vec3& out) const {
  bool inside = false;
  out = {};
  for (const HidingZone& zone : zones_) {
    if (zone.key == asking_key) continue;
    const base::Vec3 local = zone.to_local(position);
    if (std::fabs(local.x) > 1.0f || std::fabs(local.y) > 1.0f || std::fabs(local.z) > 1.0f) continue;
    const float f = base::length(local);
    if (!(f > 0.0f)) continue;
    const float g = f < 1.0f ? 1.0f : (f > 2.0f ? 0.0f : 1.0f - (f - 1.0f));
    out += local * (g / f);
    inside = true;
  }
  return inside;
}

void HidingZones::forget(const Fish& fish) {
  for (HidingZone& zone : zones_) {
    if (zone.owner == &fish) zone.owner = nullptr;
    if (zone.nibbler == &fish) zone.nibbler = nullptr;
  }
}

}  // namespace fish

#include "fish/school_groups.h"

#include <algorithm>

#include "fish/fish.h"

namespace fish {

void School::pick_leader(base::CrtRandom& random) {
  base = 1.2f;
  total = 0.0f;
  const float r1 = random.unit();
  const float r2 = random.unit();
  timer = (r1 - r2) * 10.0f + 20.0f;
  if (members.empty()) {
    leader = nullptr;
    return;
  }
  const std::size_t n = members.size();
  Fish* candidate = members[std::min(static_cast<std::size_t>(random.unit() * static_cast<float>(n)), n - 1)];
  for (Fish* member : members) {
    member->school_weight = (random.unit() * 0.2f + 0.4f) * base;
    total += member->school_weight;
    if (candidate->contact_time > member->contact_time) candidate = member;
  }
  leader = candidate;
  leader->school_weight = total * 2.0f;
  total += leader->school_weight;
}

void School::update(float dt, base::CrtRandom& random) {
  timer -= dt;
  if (timer < 0.0f) pick_leader(random);
  if (leader == nullptr) return;
  leader_centre = leader->centre();
  base::Vec3 sum;
  for (const Fish* member : members) sum += member->forward() * member->school_weight;
  heading = total > 0.0f ? sum * (1.0f / total) : base::Vec3{};
  if (weight == 0.0f) return;
  const float l = base::length(heading);
  if (!(l > 0.0f)) return;
  heading *= 1.0f / l;
  strength = weight * l;
}

std::vector<std::unique_ptr<School>> build_schools(std::span<Fish* const> fish, base::CrtRandom& random) {
  std::vector<std::unique_ptr<School>> schools;
  for (Fish* f : fish) f->school = nullptr;
  for (std::size_t j = 0; j < fish.size(); ++j) {
    Fish& first = *fish[j];
    if (first.school != nullptr || first.attributes == nullptr) continue;
    const float power = first.attributes->school_power();
    if (power == 0.0f) continue;
    const auto same_kind = [&](const Fish* f) { return f->kind == first.kind; };
    if (std::count_if(fish.begin(), fish.end(), same_kind) < 2) continue;
    auto school = std::make_unique<School>();
    school->kind = first.kind;
    school->power = power;
    school->weight = power * first.attributes->school_weight_factor();
    for (std::size_t k = j; k < fish.size(); ++k) {
      if (same_kind(fish[k])) {
        school->members.push_back(fish[k]);
        fish[k]->school = school.get();
      }
    }
    school->pick_leader(random);
    schools.push_back(std::move(school));
  }
  return schools;
}

}  // namespace fish

#include "scene/group_box.h"

#include <cmath>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/ascii.h"

namespace scene {

AlignedBox GroupBox::bounds() const {
  for (const auto& row : transform.m) {
    for (float value : row) {
      if (!std::isfinite(value)) return {};
    }
  }
  const base::Vec3 centre{transform.m[3][0], transform.m[3][1], transform.m[3][2]};
  // Half the length of the transform's axis row.
  const auto half_extent = [&](int axis) {
    const base::Vec4 unit{axis == 0 ? 0.5f : 0.0f, axis == 1 ? 0.5f : 0.0f, axis == 2 ? 0.5f : 0.0f, 0.0f};
    const base::Vec4 moved = base::transform(unit, transform);
    return std::sqrt(moved.x * moved.x + moved.y * moved.y + moved.z * moved.z);
  };
  const base::Vec3 half{half_extent(0), half_extent(1), half_extent(2)};
  return AlignedBox{centre - half, centre + half};
}

std::optional<GroupBoxList> GroupBoxList::parse(std::span<const std::uint8_t> bytes) {
  base::ByteReader in(bytes);
  const std::uint32_t count = in.u32();
  if (!in.ok() || !in.fits(count, kGroupBoxFixedBytes)) return std::nullopt;
  GroupBoxList list;
  list.boxes_.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    GroupBox box;
    box.name = in.text(59);
    box.a = in.u8();
    box.b = in.u16();
    box.c = in.u8();
    box.d = in.u8();
    for (auto& row : box.transform.m) {
      for (float& value : row) value = in.f32();
    }
    const std::uint32_t items = in.u32();
    if (!in.ok() || !in.fits(items, kGroupBoxItemBytes)) return std::nullopt;
    box.items.reserve(items);
    for (std::uint32_t k = 0; k < items; ++k) {
      GroupBox::Item item;
      item.name = in.text(8).substr(0, 7);
      item.value = in.i32();
      box.items.push_back(std::move(item));
    }
    if (!in.ok()) return std::nullopt;
    list.boxes_.push_back(std::move(box));
  }
  return list;
}

std::vector<std::uint8_t> GroupBoxList::encode() const {
  base::ByteWriter out;
  out.u32(static_cast<std::uint32_t>(boxes_.size()));
  for (const GroupBox& box : boxes_) {
    out.text(box.name, 59);
    out.u8(box.a);
    out.u16(box.b);
    out.u8(box.c);
    out.u8(box.d);
    for (const auto& row : box.transform.m) {
      for (float value : row) out.f32(value);
    }
    out.u32(static_cast<std::uint32_t>(box.items.size()));
    for (const GroupBox::Item& item : box.items) {
      out.text(item.name.substr(0, 7), 8);
      out.i32(item.value);
    }
  }
  return out.take();
}

const GroupBox* GroupBoxList::find(std::string_view name) const {
  for (const GroupBox& box : boxes_) {
    if (platform::equals_ignore_ascii_case(box.name, name)) return &box;
  }
  return nullptr;
}

}  // namespace scene

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"

namespace scene {

// An axis-aligned box: the swim box, the bounds of a group box.
struct AlignedBox {
  base::Vec3 min;
  base::Vec3 max;

  base::Vec3 centre() const { return (min + max) * 0.5f; }
  friend bool operator==(const AlignedBox&, const AlignedBox&) = default;
};

// A named box of a tank: where fish may swim, where they hide, where the
// bubbles rise. The transform maps the unit cube centred on the origin onto
// the box; the header values and items are kept as read.
struct GroupBox {
  struct Item {
    std::string name;  // at most 7 characters
    std::int32_t value = 0;
    friend bool operator==(const Item&, const Item&) = default;
  };

  std::string name;
  std::uint8_t a = 0;
  std::uint16_t b = 0;
  std::uint8_t c = 0;
  std::uint8_t d = 0;
  base::Matrix transform = base::identity();
  std::vector<Item> items;

  // Centre from the translation row; each half extent is half the length
  // of the transformed unit axis. A transform with a non-finite value gives
  // an empty box at the origin.
  AlignedBox bounds() const;
};

// Name (59 bytes), four header bytes, the 4x4 transform, the items.
inline constexpr std::size_t kGroupBoxFixedBytes = 59 + 1 + 2 + 1 + 1 + 64 + 4;
inline constexpr std::size_t kGroupBoxItemBytes = 8 + 4;

class GroupBoxList {
 public:
  // Reads the binary list: a u32 count, then the boxes. Every count is
  // checked against the bytes left; nothing on a short or malformed list.
  static std::optional<GroupBoxList> parse(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> encode() const;

  // The first box of that name, compared without regard to case.
  const GroupBox* find(std::string_view name) const;

  std::vector<GroupBox>& boxes() { return boxes_; }
  const std::vector<GroupBox>& boxes() const { return boxes_; }

 private:
  std::vector<GroupBox> boxes_;
};

}  // namespace scene

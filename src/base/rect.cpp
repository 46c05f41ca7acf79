#include "base/rect.h"

#include <algorithm>

namespace base {

Rect intersect(const Rect& a, const Rect& b) {
  const Rect r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
  return r.empty() ? Rect{} : r;
}

Rect unite(const Rect& a, const Rect& b) {
  if (a.empty()) return b.empty() ? Rect{} : b;
  if (b.empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

Rect offset(const Rect& r, std::int32_t dx, std::int32_t dy) {
  return {wrapping_add(r.left, dx), wrapping_add(r.top, dy), wrapping_add(r.right, dx),
          wrapping_add(r.bottom, dy)};
}

Rect inflate(const Rect& r, std::int32_t dx, std::int32_t dy) {
  return {wrapping_sub(r.left, dx), wrapping_sub(r.top, dy), wrapping_add(r.right, dx),
          wrapping_add(r.bottom, dy)};
}

}  // namespace base

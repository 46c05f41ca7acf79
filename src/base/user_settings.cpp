#include "base/user_settings.h"

#include <algorithm>

namespace base {

uint64_t UserSettings::read(size_t offset, size_t width) const {
  uint64_t value = 0;
  if (offset > kSize || width > kSize - offset) return 0;
  for (size_t i = 0; i < width; ++i) value |= static_cast<uint64_t>(bytes_[offset + i]) << (8 * i);
  return value;
}

void UserSettings::write(size_t offset, uint64_t value, size_t width) {
  if (offset > kSize || width > kSize - offset) return;
  for (size_t i = 0; i < width; ++i) bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string UserSettings::text(size_t offset, size_t capacity) const {
  if (offset > kSize || capacity == 0 || capacity > kSize - offset) return {};
  auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
  auto end = std::find(begin, begin + static_cast<std::ptrdiff_t>(capacity - 1), uint8_t{0});
  return std::string(begin, end);
}

void UserSettings::set_text(size_t offset, size_t capacity, const std::string& value) {
  if (offset > kSize || capacity == 0 || capacity > kSize - offset) return;
  size_t length = std::min(value.size(), capacity - 1);
  std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), capacity, uint8_t{0});
  std::copy_n(value.begin(), length, bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

UserSettings& user_settings() {
  static UserSettings settings;
  return settings;
}

}  // namespace base

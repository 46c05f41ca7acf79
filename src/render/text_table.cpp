#include "render/text_table.h"

#include <algorithm>
#include <limits>
#include <string>

#include "render/byte_stream.h"
#include "render/file_path.h"
#include "render/package_reader.h"

namespace render {

namespace {

bool is_blank(std::uint8_t c) { return c == ' ' || c == '\t'; }
bool is_digit(std::uint8_t c) { return c >= '0' && c <= '9'; }
// The white space that "%d" skips.
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One "%d" conversion at p: white space, an optional sign, at least one
// digit. A value outside int is no number.
bool read_int(const char*& p, int& out) {
  while (is_space(*p)) ++p;
  const char* q = p;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (!is_digit(static_cast<std::uint8_t>(*q))) return false;
  long long value = 0;
  for (; is_digit(static_cast<std::uint8_t>(*q)); ++q) {
    value = value * 10 + (*q - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return false;
  out = static_cast<int>(value);
  p = q;
  return true;
}

}  // namespace

bool TextTable::parse(Block text) {
  text_ = std::move(text);
  entries_.clear();
  std::uint8_t* bytes = text_.data();
  const std::size_t size = text_.size();
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') bytes[i] = 0;
  }
  std::size_t line = 0;
  while (line < size) {
    std::size_t end = line;
    while (end < size && bytes[end] != 0) ++end;
    std::size_t p = line;
    while (p < end && is_blank(bytes[p])) ++p;
    const bool comment = p < end && (bytes[p] == ';' || bytes[p] == '/');
    if (!comment && end - p >= 4 && is_digit(bytes[p]) && is_digit(bytes[p + 1]) && is_digit(bytes[p + 2]) &&
        is_digit(bytes[p + 3])) {
      const int number = (bytes[p] - '0') * 1000 + (bytes[p + 1] - '0') * 100 + (bytes[p + 2] - '0') * 10 +
                         (bytes[p + 3] - '0');
      p += 4;
      while (p < end && is_blank(bytes[p])) ++p;
      entries_.push_back(Entry{static_cast<std::uint16_t>(number), p});
    }
    line = end + 1;
  }
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.number < b.number; });
  return !entries_.empty();
}

bool TextTable::load(const char* package_path, const char* table_file, bool prefer_loose) {
  if (table_file == nullptr || *table_file == '\0') return false;
  if (prefer_loose) {
    ByteStream loose;
    if (loose.open_file(table_file)) {
      std::optional<Block> block = loose.read_all();
      if (block && parse(std::move(*block))) return true;
    }
  }
  if (package_path == nullptr || *package_path == '\0') return false;
  PackageReader package;
  if (!package.open_file(package_path, true)) return false;
  FilePath table(table_file);
  if (package.read(std::string_view(table.file_name())) == nullptr) return false;
  std::optional<Block> block = package.detach_current();
  return block && parse(std::move(*block));
}

const char* TextTable::text(int number) const {
  const auto key = static_cast<std::uint16_t>(number);
  const auto found = std::lower_bound(entries_.begin(), entries_.end(), key,
                                      [](const Entry& entry, std::uint16_t n) { return entry.number < n; });
  if (found == entries_.end() || found->number != key) return nullptr;
  return text_.c_str() + found->offset;
}

bool TextTable::numbers(int number, int* out, int count) const {
  const char* p = text(number);
  if (p == nullptr) return false;
  int values[4] = {};
  for (int i = 0; i < count; ++i) {
    if (!read_int(p, values[i])) return false;
  }
  std::copy(values, values + count, out);
  return true;
}

bool TextTable::integer(int number, int& out) const { return numbers(number, &out, 1); }

bool TextTable::pair(int number, int& a, int& b) const {
  int values[2];
  if (!numbers(number, values, 2)) return false;
  a = values[0];
  b = values[1];
  return true;
}

bool TextTable::triple(int number, int& a, int& b, int& c) const {
  int values[3];
  if (!numbers(number, values, 3)) return false;
  a = values[0];
  b = values[1];
  c = values[2];
  return true;
}

bool TextTable::rect(int number, base::Rect& out) const {
  int values[4];
  if (!numbers(number, values, 4)) return false;
  out = base::Rect{values[0], values[1], values[2], values[3]};
  return true;
}

bool TextTable::colour(int number, std::uint32_t& out) const {
  int rgb[3];
  if (!numbers(number, rgb, 3)) return false;
  out = (static_cast<std::uint32_t>(rgb[0]) & 0xFF) | (static_cast<std::uint32_t>(rgb[1]) & 0xFF) << 8 |
        (static_cast<std::uint32_t>(rgb[2]) & 0xFF) << 16;
  return true;
}

}  // namespace render

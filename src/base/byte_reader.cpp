#include "base/byte_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace base {

namespace {

template <typename T>
T load_le(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return static_cast<T>(v);
}

}  // namespace

bool ByteReader::take(std::uint64_t n, const std::uint8_t*& p) {
  if (failed_ || n > data_.size() - pos_) {
    failed_ = true;
    return false;
  }
  p = data_.data() + pos_;
  pos_ += n;
  return true;
}

std::uint8_t ByteReader::u8() {
  const std::uint8_t* p = nullptr;
  return take(1, p) ? p[0] : 0;
}

std::uint16_t ByteReader::u16() {
  const std::uint8_t* p = nullptr;
  return take(2, p) ? load_le<std::uint16_t>(p) : 0;
}

std::uint32_t ByteReader::u32() {
  const std::uint8_t* p = nullptr;
  return take(4, p) ? load_le<std::uint32_t>(p) : 0;
}

std::uint64_t ByteReader::u64() {
  const std::uint8_t* p = nullptr;
  return take(8, p) ? load_le<std::uint64_t>(p) : 0;
}

std::int8_t ByteReader::i8() { return static_cast<std::int8_t>(u8()); }
std::int16_t ByteReader::i16() { return static_cast<std::int16_t>(u16()); }
std::int32_t ByteReader::i32() { return static_cast<std::int32_t>(u32()); }
std::int64_t ByteReader::i64() { return static_cast<std::int64_t>(u64()); }
float ByteReader::f32() { return std::bit_cast<float>(u32()); }
double ByteReader::f64() { return std::bit_cast<double>(u64()); }

std::span<const std::uint8_t> ByteReader::bytes(std::uint64_t n) {
  const std::uint8_t* p = nullptr;
  if (!take(n, p)) return {};
  return {p, static_cast<std::size_t>(n)};
}

bool ByteReader::read_into(std::span<std::uint8_t> out) {
  const std::uint8_t* p = nullptr;
  if (!take(out.size(), p)) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    return false;
  }
  if (!out.empty()) std::memcpy(out.data(), p, out.size());
  return true;
}

std::string ByteReader::text(std::uint64_t n) {
  const std::span<const std::uint8_t> raw = bytes(n);
  const auto end = std::find(raw.begin(), raw.end(), std::uint8_t{0});
  return std::string(raw.begin(), end);
}

ByteReader ByteReader::sub_reader(std::uint64_t n) {
  const std::uint8_t* p = nullptr;
  if (!take(n, p)) {
    ByteReader failed;
    failed.fail();
    return failed;
  }
  return ByteReader({p, static_cast<std::size_t>(n)});
}

bool ByteReader::skip(std::uint64_t n) {
  const std::uint8_t* p = nullptr;
  return take(n, p);
}

bool ByteReader::seek(std::uint64_t pos) {
  if (failed_ || pos > data_.size()) {
    failed_ = true;
    return false;
  }
  pos_ = pos;
  return true;
}

bool ByteReader::fits(std::uint64_t count, std::uint64_t element_size) const {
  const std::uint64_t left = remaining();
  if (element_size == 0 || count == 0) return !failed_;
  return count <= left / element_size;
}

}  // namespace base

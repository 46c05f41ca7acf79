#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace base {

// Reads little-endian values from a byte buffer it does not own. Every read
// is bounds-checked: a read past the end returns 0 (or an empty result),
// consumes nothing and leaves the reader failed; once failed, every later
// read fails too, so a parser can read a whole record and check ok() once.
// Counts and sizes are 64-bit, so a huge count from a file cannot wrap.
class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint8_t u8();
  std::uint16_t u16();
  std::uint32_t u32();
  std::uint64_t u64();
  std::int8_t i8();
  std::int16_t i16();
  std::int32_t i32();
  std::int64_t i64();
  float f32();
  double f64();

  // The next n bytes as a view into the buffer; empty on failure.
  std::span<const std::uint8_t> bytes(std::uint64_t n);
  // Copies the next out.size() bytes into out; on failure out is zeroed.
  bool read_into(std::span<std::uint8_t> out);
  // The next n bytes as narrow text, ending early at the first zero byte
  // (all n bytes are consumed either way).
  std::string text(std::uint64_t n);
  // A reader over the next n bytes, which are consumed here; a failed empty
  // reader when fewer remain.
  ByteReader sub_reader(std::uint64_t n);

  bool skip(std::uint64_t n);
  // Moves to an absolute position; any position up to size() is valid.
  bool seek(std::uint64_t pos);

  std::uint64_t position() const { return pos_; }
  std::uint64_t size() const { return data_.size(); }
  std::uint64_t remaining() const { return failed_ ? 0 : data_.size() - pos_; }
  // Whether count elements of element_size bytes remain, computed without
  // overflow. Does not change the reader.
  bool fits(std::uint64_t count, std::uint64_t element_size) const;

  bool ok() const { return !failed_; }
  bool failed() const { return failed_; }
  // Marks the reader failed, for a value that is in range but invalid.
  void fail() { failed_ = true; }

 private:
  // Points p at the next n bytes and consumes them, or fails the reader.
  bool take(std::uint64_t n, const std::uint8_t*& p);

  std::span<const std::uint8_t> data_;
  std::uint64_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace base

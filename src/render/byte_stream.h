#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/block.h"
#include "render/file_path.h"

namespace render {

// The marker byte writers put before a packed block (readers take any
// non-zero value).
inline constexpr std::uint8_t kPackedBlockMarker = 0x50;

enum class SeekOrigin { Start = 0, Current = 1, End = 2 };

// The binary stream behind every file the program reads: a caller-owned
// memory block or a file opened for reading, or a file being written. A read
// of n bytes succeeds only when all n bytes are there (a file that gives fewer
// is a failure too); a failed read reads nothing and leaves the cursor where
// it was. Every size read from the stream is checked against the bytes that
// are left before anything is allocated for it.
//
// Two block encodings are read and written here:
//   plain block:  u32 size, then size bytes.
//   packed block: u8 marker (0: no block follows), u32 raw size, u32 stored
//                 size, then stored bytes: the data itself when stored size
//                 equals raw size, else a raw DEFLATE stream of it.
class ByteStream {
 public:
  ByteStream() = default;
  ~ByteStream();
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  // Reads from memory the caller keeps alive while the stream is open.
  bool open_memory(std::span<const std::uint8_t> bytes);
  // Opens a regular file for reading.
  bool open_file(const char* path);
  // Creates or truncates a file for writing.
  bool create(const char* path);
  // Releases the source; true unless written data failed to reach the file.
  // Safe to repeat.
  bool close();

  bool is_open() const { return kind_ != Kind::Closed; }
  std::uint64_t tell() const { return position_; }
  std::uint64_t size() const { return size_; }
  std::uint64_t remaining() const { return size_ - position_; }
  // Moves the cursor of a reading stream; a target outside [0, size] fails
  // and leaves it unchanged.
  bool seek(std::int64_t offset, SeekOrigin origin);

  bool read(void* destination, std::uint64_t n);
  bool read_u8(std::uint8_t& value);
  bool read_u32(std::uint32_t& value);
  // A u32 length n, then n characters. nullopt for length 0 or a failure.
  std::optional<std::string> read_string();
  std::optional<Block> read_plain_block();
  // nullopt for the "no block" marker, a failed read, a stored size beyond
  // the end of the source, or a stream that does not inflate to exactly the
  // raw size.
  std::optional<Block> read_packed_block();
  // The whole source, read from its start.
  std::optional<Block> read_all();

  bool write(const void* bytes, std::size_t n);
  bool write_u8(std::uint8_t value);
  bool write_u32(std::uint32_t value);
  bool write_plain_block(std::span<const std::uint8_t> bytes);
  // No block writes the single marker byte 0; a block is written as
  // write_compressed does.
  bool write_packed_block(const Block* block);
  // A packed block with marker 0x50: deflated when that makes the data
  // smaller, else stored as it is (stored size equal to raw size).
  bool write_compressed(std::span<const std::uint8_t> bytes);

 private:
  enum class Kind { Closed, Memory, File, WriteFile };

  // The next n bytes without copying when the source is memory, else read
  // into scratch. Consumes them; false (nothing consumed) when they are not
  // all there.
  bool take(std::uint64_t n, std::span<const std::uint8_t>& bytes, std::vector<std::uint8_t>& scratch);

  Kind kind_ = Kind::Closed;
  std::span<const std::uint8_t> memory_;
  std::FILE* file_ = nullptr;
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
  bool write_failed_ = false;
};

// A packed block of data with marker 0x50: deflated when that makes the data
// smaller, else the data as it is (stored size equal to raw size), so it is
// always readable. Data above 4 GiB gives nothing.
std::vector<std::uint8_t> encode_packed_block(std::span<const std::uint8_t> data);

// The caption file of a data file: path's extension becomes "txt" and path's
// text is replaced by the first 259 characters of that file (up to its first
// NUL). A missing file clears path and gives false.
bool read_caption(FilePath& path);

// The caption beside a data file cut to `length` characters, for titles in
// lists; empty when there is none. A path the fixed-length path would cut
// short reads nothing rather than another file.
std::string caption_title(const std::string& path, std::size_t length);

}  // namespace render

#include "render/byte_stream.h"

#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "base/byte_writer.h"
#include "render/deflate.h"

namespace render {

namespace {

std::uint32_t load_u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

ByteStream::~ByteStream() { close(); }

bool ByteStream::open_memory(std::span<const std::uint8_t> bytes) {
  close();
  kind_ = Kind::Memory;
  memory_ = bytes;
  size_ = bytes.size();
  return true;
}

bool ByteStream::open_file(const char* path) {
  close();
  if (path == nullptr || *path == '\0') return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  if (std::fseek(file, 0, SEEK_END) != 0) {
    std::fclose(file);
    return false;
  }
  const long end = std::ftell(file);
  if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return false;
  }
  kind_ = Kind::File;
  file_ = file;
  size_ = static_cast<std::uint64_t>(end);
  return true;
}

bool ByteStream::create(const char* path) {
  close();
  if (path == nullptr || *path == '\0') return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  kind_ = Kind::WriteFile;
  file_ = file;
  return true;
}

bool ByteStream::close() {
  bool ok = !write_failed_;
  if (file_ != nullptr) {
    if (std::fclose(file_) != 0 && kind_ == Kind::WriteFile) ok = false;
    file_ = nullptr;
  }
  kind_ = Kind::Closed;
  memory_ = {};
  position_ = 0;
  size_ = 0;
  write_failed_ = false;
  return ok;
}

bool ByteStream::seek(std::int64_t offset, SeekOrigin origin) {
  if (kind_ != Kind::Memory && kind_ != Kind::File) return false;
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(size_);
  if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) ||
      (offset < 0 && base + offset < 0)) {
    return false;
  }
  const auto target = static_cast<std::uint64_t>(base + offset);
  if (target > size_) return false;
  if (kind_ == Kind::File) {
    if (target > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
        std::fseek(file_, static_cast<long>(target), SEEK_SET) != 0) {
      return false;
    }
  }
  position_ = target;
  return true;
}

bool ByteStream::read(void* destination, std::uint64_t n) {
  if (kind_ != Kind::Memory && kind_ != Kind::File) return false;
  if (n > remaining()) return false;
  if (n == 0) return true;
  if (kind_ == Kind::Memory) {
    std::memcpy(destination, memory_.data() + position_, static_cast<std::size_t>(n));
  } else if (std::fread(destination, 1, static_cast<std::size_t>(n), file_) != n) {
    // The file shrank under us or failed: put the cursor back.
    std::clearerr(file_);
    std::fseek(file_, static_cast<long>(position_), SEEK_SET);
    return false;
  }
  position_ += n;
  return true;
}

bool ByteStream::take(std::uint64_t n, std::span<const std::uint8_t>& bytes,
                      std::vector<std::uint8_t>& scratch) {
  if (n > remaining()) return false;
  if (kind_ == Kind::Memory) {
    bytes = memory_.subspan(static_cast<std::size_t>(position_), static_cast<std::size_t>(n));
    position_ += n;
    return true;
  }
  scratch.resize(static_cast<std::size_t>(n));
  if (!read(scratch.data(), n)) return false;
  bytes = scratch;
  return true;
}

bool ByteStream::read_u8(std::uint8_t& value) { return read(&value, 1); }

bool ByteStream::read_u32(std::uint32_t& value) {
  std::uint8_t bytes[4];
  if (!read(bytes, 4)) return false;
  value = load_u32(bytes);
  return true;
}

std::optional<std::string> ByteStream::read_string() {
  std::uint32_t length = 0;
  if (!read_u32(length) || length == 0 || length > remaining()) return std::nullopt;
  std::string text(length, '\0');
  if (!read(text.data(), length)) return std::nullopt;
  return text;
}

std::optional<Block> ByteStream::read_plain_block() {
  std::uint32_t size = 0;
  if (!read_u32(size) || size > remaining()) return std::nullopt;
  std::optional<Block> block = Block::allocate(size);
  if (!block || !read(block->data(), size)) return std::nullopt;
  return block;
}

std::optional<Block> ByteStream::read_packed_block() {
  std::uint8_t marker = 0;
  if (!read_u8(marker) || marker == 0) return std::nullopt;
  std::uint32_t raw_size = 0;
  std::uint32_t stored_size = 0;
  if (!read_u32(raw_size) || !read_u32(stored_size) || stored_size > remaining()) return std::nullopt;
  if (stored_size == raw_size) {
    std::optional<Block> block = Block::allocate(raw_size);
    if (!block || !read(block->data(), raw_size)) return std::nullopt;
    return block;
  }
  if (raw_size > max_inflated_size(stored_size)) return std::nullopt;
  std::span<const std::uint8_t> stream;
  std::vector<std::uint8_t> scratch;
  if (!take(stored_size, stream, scratch)) return std::nullopt;
  std::optional<Block> block = Block::allocate(raw_size);
  if (!block || !inflate_raw(stream, block->writable_bytes())) return std::nullopt;
  return block;
}

std::optional<Block> ByteStream::read_all() {
  if (!seek(0, SeekOrigin::Start)) return std::nullopt;
  std::optional<Block> block = Block::allocate(size_);
  if (!block || !read(block->data(), size_)) return std::nullopt;
  return block;
}

bool ByteStream::write(const void* bytes, std::size_t n) {
  if (kind_ != Kind::WriteFile) return false;
  if (n == 0) return true;
  if (std::fwrite(bytes, 1, n, file_) != n) {
    write_failed_ = true;
    return false;
  }
  position_ += n;
  size_ = position_;
  return true;
}

bool ByteStream::write_u8(std::uint8_t value) { return write(&value, 1); }

bool ByteStream::write_u32(std::uint32_t value) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16),
                                 static_cast<std::uint8_t>(value >> 24)};
  return write(bytes, 4);
}

bool ByteStream::write_plain_block(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) return false;
  return write_u32(static_cast<std::uint32_t>(bytes.size())) && write(bytes.data(), bytes.size());
}

bool ByteStream::write_packed_block(const Block* block) {
  if (block == nullptr) return write_u8(0);
  return write_compressed(block->bytes());
}

bool ByteStream::write_compressed(std::span<const std::uint8_t> bytes) {
  const std::vector<std::uint8_t> block = encode_packed_block(bytes);
  return !block.empty() && write(block.data(), block.size());
}

std::vector<std::uint8_t> encode_packed_block(std::span<const std::uint8_t> data) {
  if (data.size() > std::numeric_limits<std::uint32_t>::max()) return {};
  const std::optional<std::vector<std::uint8_t>> packed = deflate_raw(data);
  const std::span<const std::uint8_t> stored = packed ? std::span<const std::uint8_t>(*packed) : data;
  base::ByteWriter out;
  out.u8(kPackedBlockMarker);
  out.u32(static_cast<std::uint32_t>(data.size()));
  out.u32(static_cast<std::uint32_t>(stored.size()));
  out.bytes(stored);
  return out.take();
}

bool read_caption(FilePath& path) {
  path.set_kind(FileKind::Text);
  ByteStream stream;
  std::optional<Block> text;
  if (stream.open_file(path.c_str())) text = stream.read_all();
  if (!text) {
    path.clear();
    return false;
  }
  const std::string_view caption(text->c_str());
  path.set(caption.substr(0, FilePath::kMaxLength - 1));
  return true;
}

std::string caption_title(const std::string& path, std::size_t length) {
  if (path.size() > FilePath::kMaxLength) return {};
  FilePath caption(path);
  if (!read_caption(caption)) return {};
  return std::string(caption.view().substr(0, length));
}

}  // namespace render

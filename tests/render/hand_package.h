#pragma once

#include "support/temp_folder.h"

// Package files assembled byte by byte from the file layout, independent of
// the package writer, so the reader is checked against the format itself.

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace render_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline void put_u8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }

inline void put_u32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void put_u64(Bytes& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void put_text(Bytes& out, std::string_view text, std::size_t field) {
  for (std::size_t i = 0; i < field; ++i)
    out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

inline void set_u32(Bytes& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A raw DEFLATE stream made with zlib directly.
inline Bytes zlib_raw_deflate(std::span<const std::uint8_t> data, int level = 9) {
  z_stream stream{};
  deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Bytes that no compressor can shrink.
inline Bytes noise(std::size_t n, std::uint32_t seed) {
  std::mt19937 generator(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<std::uint8_t>(generator());
  return out;
}

// Text that shrinks well.
inline Bytes repetitive(std::size_t n) {
  Bytes out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>("tang reef coral "[i % 16]);
  return out;
}

// How an entry's block is written: a plain block, a packed block holding a
// DEFLATE stream, or a packed block holding the data as it is.
enum class Form { Plain, Deflated, Stored };

struct HandEntry {
  std::string name;
  Bytes data;
  Form form = Form::Plain;
  std::uint64_t time = 0;
};

// Where the pieces of a hand-made package lie.
struct HandPackage {
  Bytes bytes;
  std::size_t data_start = 0;                // first byte after the directory block
  std::vector<std::size_t> entry_positions;  // of each entry's block in bytes
  Bytes directory;                           // the unpacked records
};

inline Bytes packed_block(std::span<const std::uint8_t> data) {
  Bytes out;
  const Bytes stream = zlib_raw_deflate(data);
  put_u8(out, 0x50);
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  put_u32(out, static_cast<std::uint32_t>(stream.size()));
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

inline Bytes stored_block(std::span<const std::uint8_t> data) {
  Bytes out;
  put_u8(out, 0x50);
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline Bytes plain_block(std::span<const std::uint8_t> data) {
  Bytes out;
  put_u32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

inline HandPackage make_package(std::string_view name, std::uint8_t class_byte,
                                const std::vector<HandEntry>& entries) {
  std::vector<Bytes> blocks;
  for (const HandEntry& entry : entries) {
    switch (entry.form) {
      case Form::Plain:
        blocks.push_back(plain_block(entry.data));
        break;
      case Form::Deflated:
        blocks.push_back(packed_block(entry.data));
        break;
      case Form::Stored:
        blocks.push_back(stored_block(entry.data));
        break;
    }
  }

  HandPackage package;
  Bytes& records = package.directory;
  put_text(records, name, 22);
  put_u8(records, 0);
  put_u8(records, class_byte);
  put_u32(records, static_cast<std::uint32_t>(entries.size()));
  put_text(records, "", 12);
  std::uint32_t offset = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    put_text(records, entries[i].name, 23);
    put_u8(records, entries[i].form == Form::Plain ? 0 : 1);
    put_u32(records, static_cast<std::uint32_t>(entries[i].data.size()));
    put_u32(records, offset);
    put_u64(records, entries[i].time);
    offset += static_cast<std::uint32_t>(blocks[i].size());
  }

  package.bytes = packed_block(records);
  package.data_start = package.bytes.size();
  for (const Bytes& block : blocks) {
    package.entry_positions.push_back(package.bytes.size());
    package.bytes.insert(package.bytes.end(), block.begin(), block.end());
  }
  return package;
}

inline void write_bytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

using TempFolder = test_support::TempFolder;

}  // namespace render_test

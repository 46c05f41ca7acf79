#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "render/block.h"
#include "render/byte_stream.h"
#include "render/package_format.h"

namespace render {

// Reads a package: its directory when it is opened, an entry's block on
// request. The reader holds at most one entry block (the current one), which
// the next read replaces.
//
// Every offset and size from the file is checked against the bytes that are
// there: a damaged directory makes open fail, a damaged entry makes only that
// read fail and the package stays open.
class PackageReader {
 public:
  PackageReader() = default;
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  // Opens a package file; with add_extension its extension becomes "vmf".
  // A package that carries a name opens only under a file of that name
  // (compared without regard to case).
  bool open_file(const char* path, bool add_extension);
  // Opens a package held in memory that the caller keeps alive; its name is
  // not checked.
  bool open_memory(std::span<const std::uint8_t> bytes);
  // Opens a package block read from another package, which it keeps.
  bool open_memory(Block block);
  void close();

  bool is_open() const { return open_; }
  std::uint32_t count() const { return static_cast<std::uint32_t>(directory_.entries.size()); }
  const std::string& name() const { return directory_.name; }
  std::uint8_t class_byte() const { return directory_.class_byte; }
  // The record of entry index (1 to count), or nullptr.
  const PackageEntry* entry(std::uint32_t index) const;

  // Index of the first entry of that name (cut to 22 characters, as names
  // are stored), or 0.
  std::uint32_t find(std::string_view name) const;
  // Index of the first entry whose extension is ext, or 0.
  std::uint32_t find_by_extension(std::string_view ext) const;

  // Reads an entry's block, which becomes the current block; nullptr for no
  // such entry or a failed read.
  const Block* read(std::string_view name);
  const Block* read(std::uint32_t index);
  // Hands the current block to the caller.
  std::optional<Block> detach_current();

  // Writes an entry's bytes to a file at path.
  bool extract(std::uint32_t index, const char* path);
  // Writes every entry into folder under its own name. Entries whose names
  // would leave the folder are skipped. True when every entry was written.
  bool extract_all(const char* folder);

  // The class byte of a package file, reading its directory only; nullopt
  // when it is no package or its name does not fit the path.
  static std::optional<std::uint8_t> check_file(const char* path);

 private:
  // Reads the directory from the open stream; a non-empty expected name is
  // compared with the package's own.
  bool read_directory(std::string_view expected_name, bool check_name);

  ByteStream stream_;
  std::optional<Block> source_;
  PackageDirectory directory_;
  std::uint64_t data_start_ = 0;
  std::optional<Block> current_;
  bool open_ = false;
};

}  // namespace render

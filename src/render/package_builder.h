#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "render/block.h"
#include "render/package_format.h"

namespace render {

// Collects named blocks and writes them as a package. Entries keep the order
// of their slots; a removed entry leaves an empty slot that the next add
// takes.
class PackageBuilder {
 public:
  // Adds a block under the file-name part of name, cut to 22 characters. An
  // entry of that name (compared without regard to case) is replaced in its
  // slot. Packed entries are deflated when the package is written, and
  // stored plain when that does not make them smaller. Returns the slot
  // index (from 0), or -1 for an empty name or a block above 4 GiB.
  int add(Block block, std::string_view name, bool packed);
  int add(std::span<const std::uint8_t> bytes, std::string_view name, bool packed);
  // Adds a whole file under name, or under its own name when name is null,
  // with the file's last-write time. -1 when the file cannot be read.
  int add_file(const char* path, const char* name, bool packed);
  // Removes the entry of that name; false when there is none.
  bool remove(std::string_view name);

  void set_class_byte(std::uint8_t value) { class_byte_ = value; }
  // Entries added from memory get this time stamp instead of the current
  // time, so that the same input always gives the same file; 0 restores the
  // current time.
  void set_fixed_time(std::uint64_t ticks) { fixed_time_ = ticks; }

  std::size_t count() const { return used_; }

  // The package file's bytes with the given package name (empty for none);
  // nullopt when the data area would exceed 4 GiB.
  std::optional<std::vector<std::uint8_t>> encode(std::string_view package_name) const;
  // Writes the package to path (extension "vmf" with add_extension), named
  // after the file when store_name is set. The file is replaced atomically:
  // a failed write leaves an existing file as it was.
  bool write(const char* path, bool store_name, bool add_extension) const;

 private:
  struct Slot {
    bool used = false;
    PackageEntry entry;
    Block block;
  };

  // The slot holding an entry of this (already cut) name, or -1.
  int slot_of(std::string_view entry_name) const;

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::uint8_t class_byte_ = 0;
  std::uint64_t fixed_time_ = 0;
};

}  // namespace render

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace render {

// A package file is one packed block holding the directory, followed by the
// entry data area. The directory is a 40-byte header record and one 40-byte
// record per entry:
//
//   header: 0 name (22 bytes, NUL-padded, all zero for none), 22 zero,
//           23 class byte, 24 u32 entry count, 28 twelve zero bytes
//   entry:  0 name (23 bytes, at most 22 characters, NUL-padded),
//           23 u8 packed flag (1: packed block, 0: plain block),
//           24 u32 raw size, 28 u32 offset of the entry's block from the start
//           of the data area, 32 u64 time stamp (100-ns ticks since 1601)
//
// Entries are numbered from 1; 0 means "none". Names are compared without
// regard to case.
inline constexpr std::size_t kPackageRecordSize = 40;
inline constexpr std::size_t kPackageNameLength = 22;

struct PackageEntry {
  std::string name;
  bool packed = false;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
  std::uint64_t time = 0;
  friend bool operator==(const PackageEntry&, const PackageEntry&) = default;
};

struct PackageDirectory {
  std::string name;  // empty when the package carries none
  std::uint8_t class_byte = 0;
  std::vector<PackageEntry> entries;
};

// The directory in `bytes`, which must be exactly (count + 1) records.
std::optional<PackageDirectory> decode_package_directory(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> encode_package_directory(const PackageDirectory& directory);

// The name an entry gets for a path: its file name, cut to 22 characters.
std::string package_entry_name(std::string_view path);
// The name a package carries for its path: the file name without extension,
// cut to 22 characters.
std::string package_name_of_path(std::string_view path);
bool same_package_name(std::string_view a, std::string_view b);
// Whether an entry may be written as a file of that name inside a folder:
// not empty, not "." or "..", and without '/', '\\' or ':'.
bool is_safe_entry_name(std::string_view name);

}  // namespace render

#include "render/package_format.h"

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/ascii.h"

namespace render {

namespace {

constexpr std::size_t kEntryNameField = 23;

std::string cut_name(std::string_view name) { return std::string(name.substr(0, kPackageNameLength)); }

// The same split into folder and file name as FilePath makes, for texts of
// any length.
std::string_view file_name_of(std::string_view path) {
  std::size_t separator = path.rfind('/');
  if (separator == std::string_view::npos) separator = path.rfind(':');
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::optional<PackageDirectory> decode_package_directory(std::span<const std::uint8_t> bytes) {
  base::ByteReader reader(bytes);
  PackageDirectory directory;
  directory.name = reader.text(kPackageNameLength);
  reader.skip(1);
  directory.class_byte = reader.u8();
  const std::uint64_t count = reader.u32();
  reader.skip(12);
  if (!reader.ok() || (count + 1) * kPackageRecordSize != bytes.size()) return std::nullopt;
  directory.entries.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    PackageEntry entry;
    entry.name = cut_name(reader.text(kEntryNameField));
    entry.packed = reader.u8() != 0;
    entry.size = reader.u32();
    entry.offset = reader.u32();
    entry.time = reader.u64();
    directory.entries.push_back(std::move(entry));
  }
  if (!reader.ok()) return std::nullopt;
  return directory;
}

std::vector<std::uint8_t> encode_package_directory(const PackageDirectory& directory) {
  base::ByteWriter writer;
  writer.text(cut_name(directory.name), kPackageNameLength);
  writer.u8(0);
  writer.u8(directory.class_byte);
  writer.u32(static_cast<std::uint32_t>(directory.entries.size()));
  writer.zeros(12);
  for (const PackageEntry& entry : directory.entries) {
    writer.text(cut_name(entry.name), kEntryNameField);
    writer.u8(entry.packed ? 1 : 0);
    writer.u32(entry.size);
    writer.u32(entry.offset);
    writer.u64(entry.time);
  }
  return writer.take();
}

std::string package_entry_name(std::string_view path) { return cut_name(file_name_of(path)); }

std::string package_name_of_path(std::string_view path) {
  std::string_view name = file_name_of(path);
  return cut_name(name.substr(0, name.rfind('.')));
}

bool same_package_name(std::string_view a, std::string_view b) {
  return platform::equals_ignore_ascii_case(a, b);
}

bool is_safe_entry_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string_view::npos;
}

}  // namespace render

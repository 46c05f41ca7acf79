#include "render/package_builder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <system_error>

#include "base/byte_writer.h"
#include "base/file_io.h"
#include "render/byte_stream.h"
#include "render/deflate.h"
#include "render/file_path.h"
#include "render/file_time.h"

namespace render {

namespace {

// The table grows by this many slots at a time.
constexpr std::size_t kSlotGrowth = 10;

std::optional<std::uint64_t> last_write_time(const std::filesystem::path& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return file_time_from_system(std::chrono::file_clock::to_sys(written));
}

}  // namespace

int PackageBuilder::slot_of(std::string_view entry_name) const {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].used && same_package_name(slots_[i].entry.name, entry_name)) return static_cast<int>(i);
  }
  return -1;
}

int PackageBuilder::add(Block block, std::string_view name, bool packed) {
  std::string entry_name = package_entry_name(name);
  if (entry_name.empty() || block.size() > std::numeric_limits<std::uint32_t>::max()) return -1;
  int index = slot_of(entry_name);
  if (index < 0) {
    auto empty = std::find_if(slots_.begin(), slots_.end(), [](const Slot& slot) { return !slot.used; });
    if (empty == slots_.end()) {
      slots_.resize(slots_.size() + kSlotGrowth);
      empty = slots_.end() - kSlotGrowth;
    }
    index = static_cast<int>(empty - slots_.begin());
    ++used_;
  }
  Slot& slot = slots_[static_cast<std::size_t>(index)];
  // A replaced entry keeps the name it was first added under.
  if (!slot.used) slot.entry.name = std::move(entry_name);
  slot.used = true;
  slot.entry.packed = packed;
  slot.entry.size = static_cast<std::uint32_t>(block.size());
  slot.entry.time = fixed_time_ != 0 ? fixed_time_ : file_time_now();
  slot.block = std::move(block);
  return index;
}

int PackageBuilder::add(std::span<const std::uint8_t> bytes, std::string_view name, bool packed) {
  return add(Block::copy_of(bytes), name, packed);
}

int PackageBuilder::add_file(const char* path, const char* name, bool packed) {
  if (path == nullptr || *path == '\0') return -1;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return -1;
  std::optional<std::vector<std::uint8_t>> data = base::read_file(path);
  if (!data) return -1;
  const std::optional<std::uint64_t> written = last_write_time(path);
  const int index = add(std::span<const std::uint8_t>(*data), name != nullptr ? name : path, packed);
  if (index >= 0 && written) slots_[static_cast<std::size_t>(index)].entry.time = *written;
  return index;
}

bool PackageBuilder::remove(std::string_view name) {
  const int index = slot_of(package_entry_name(name));
  if (index < 0) return false;
  slots_[static_cast<std::size_t>(index)] = Slot{};
  --used_;
  return true;
}

std::optional<std::vector<std::uint8_t>> PackageBuilder::encode(std::string_view package_name) const {
  PackageDirectory directory;
  directory.name = std::string(package_name.substr(0, kPackageNameLength));
  directory.class_byte = class_byte_;
  std::vector<const Block*> blocks;
  std::vector<std::optional<std::vector<std::uint8_t>>> packed_data;
  std::uint64_t offset = 0;
  for (const Slot& slot : slots_) {
    if (!slot.used) continue;
    if (offset > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    PackageEntry entry = slot.entry;
    entry.offset = static_cast<std::uint32_t>(offset);
    std::optional<std::vector<std::uint8_t>> packed;
    if (entry.packed) packed = deflate_raw(slot.block.bytes());
    entry.packed = packed.has_value();
    offset += packed ? 9 + packed->size() : 4 + slot.block.size();
    directory.entries.push_back(std::move(entry));
    blocks.push_back(&slot.block);
    packed_data.push_back(std::move(packed));
  }

  base::ByteWriter out;
  const std::vector<std::uint8_t> records = encode_package_directory(directory);
  if (records.size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  out.bytes(encode_packed_block(records));

  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const Block& block = *blocks[i];
    if (packed_data[i]) {
      out.u8(kPackedBlockMarker);
      out.u32(static_cast<std::uint32_t>(block.size()));
      out.u32(static_cast<std::uint32_t>(packed_data[i]->size()));
      out.bytes(*packed_data[i]);
    } else {
      out.u32(static_cast<std::uint32_t>(block.size()));
      out.bytes(block.bytes());
    }
  }
  return out.take();
}

bool PackageBuilder::write(const char* path, bool store_name, bool add_extension) const {
  if (path == nullptr || *path == '\0') return false;
  const std::string_view given(path);
  FilePath file(given);
  if (file.length() != given.size()) return false;
  if (add_extension) file.set_kind(FileKind::Package);
  const std::optional<std::vector<std::uint8_t>> bytes =
      encode(store_name ? package_name_of_path(file.view()) : std::string());
  return bytes && base::write_file_atomically(file.str(), *bytes);
}

}  // namespace render

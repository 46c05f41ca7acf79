#include "render/package_reader.h"

#include "base/file_io.h"
#include "platform/ascii.h"
#include "render/file_path.h"

namespace render {

bool PackageReader::open_file(const char* path, bool add_extension) {
  close();
  if (path == nullptr || *path == '\0') return false;
  const std::string_view given(path);
  FilePath file(given);
  if (file.length() != given.size()) return false;
  if (add_extension) file.set_kind(FileKind::Package);
  if (!stream_.open_file(file.c_str())) return false;
  return read_directory(package_name_of_path(file.view()), true);
}

bool PackageReader::open_memory(std::span<const std::uint8_t> bytes) {
  close();
  if (!stream_.open_memory(bytes)) return false;
  return read_directory({}, false);
}

bool PackageReader::open_memory(Block block) {
  close();
  source_ = std::move(block);
  if (!stream_.open_memory(source_->bytes())) return false;
  return read_directory({}, false);
}

bool PackageReader::read_directory(std::string_view expected_name, bool check_name) {
  std::optional<Block> block = stream_.read_packed_block();
  std::optional<PackageDirectory> directory;
  if (block) directory = decode_package_directory(block->bytes());
  if (!directory ||
      (check_name && !directory->name.empty() && !same_package_name(directory->name, expected_name))) {
    close();
    return false;
  }
  directory_ = std::move(*directory);
  data_start_ = stream_.tell();
  open_ = true;
  return true;
}

void PackageReader::close() {
  stream_.close();
  source_.reset();
  directory_ = PackageDirectory{};
  data_start_ = 0;
  current_.reset();
  open_ = false;
}

const PackageEntry* PackageReader::entry(std::uint32_t index) const {
  if (index == 0 || index > count()) return nullptr;
  return &directory_.entries[index - 1];
}

std::uint32_t PackageReader::find(std::string_view name) const {
  name = name.substr(0, kPackageNameLength);
  for (std::uint32_t i = 0; i < count(); ++i) {
    if (same_package_name(directory_.entries[i].name, name)) return i + 1;
  }
  return 0;
}

std::uint32_t PackageReader::find_by_extension(std::string_view ext) const {
  for (std::uint32_t i = 0; i < count(); ++i) {
    const FilePath name(directory_.entries[i].name);
    const char* entry_ext = name.extension();
    if (entry_ext != nullptr && platform::equals_ignore_ascii_case(entry_ext, ext)) return i + 1;
  }
  return 0;
}

const Block* PackageReader::read(std::string_view name) { return read(find(name)); }

const Block* PackageReader::read(std::uint32_t index) {
  current_.reset();
  const PackageEntry* record = entry(index);
  if (record == nullptr) return nullptr;
  const std::uint64_t at = data_start_ + record->offset;
  if (at > stream_.size() || !stream_.seek(static_cast<std::int64_t>(at), SeekOrigin::Start)) return nullptr;
  current_ = record->packed ? stream_.read_packed_block() : stream_.read_plain_block();
  return current_ ? &*current_ : nullptr;
}

std::optional<Block> PackageReader::detach_current() {
  std::optional<Block> block = std::move(current_);
  current_.reset();
  return block;
}

bool PackageReader::extract(std::uint32_t index, const char* path) {
  if (path == nullptr || *path == '\0') return false;
  const Block* block = read(index);
  return block != nullptr && base::write_file_atomically(path, block->bytes());
}

bool PackageReader::extract_all(const char* folder) {
  if (!open_) return false;
  FilePath base_path(folder == nullptr ? "" : folder);
  base_path.ensure_trailing_separator();
  bool all_written = true;
  for (std::uint32_t index = 1; index <= count(); ++index) {
    const std::string& name = directory_.entries[index - 1].name;
    FilePath target = base_path;
    if (!is_safe_entry_name(name) || target.append(name) != base_path.length() + name.size() ||
        !extract(index, target.c_str())) {
      all_written = false;
    }
  }
  return all_written;
}

std::optional<std::uint8_t> PackageReader::check_file(const char* path) {
  if (path == nullptr || *path == '\0') return std::nullopt;
  PackageReader reader;
  if (!reader.stream_.open_file(path)) return std::nullopt;
  if (!reader.read_directory(package_name_of_path(path), true)) return std::nullopt;
  return reader.class_byte();
}

}  // namespace render

#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace base {

// The whole file, or nullopt when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> read_file(const std::filesystem::path& path);

// Replaces the file at `path` with `data` so that a reader sees either the
// old file or the complete new one, never a partial write: the data goes to
// a temporary file in the same folder, which is then renamed over the
// target. On failure the temporary file is removed and the target is left
// as it was.
bool write_file_atomically(const std::filesystem::path& path, std::span<const std::uint8_t> data);

}  // namespace base

// Opens the input as a package and reads every entry, and every entry of a
// package nested in an entry.
#include <cstddef>
#include <cstdint>

#include "render/package_reader.h"

namespace {

// Enough to reach every code path without spending the run on one huge
// directory.
constexpr std::uint32_t kMaxEntries = 64;

void read_entries(render::PackageReader& reader, int depth) {
  reader.find("Model.vmf");
  reader.find_by_extension("m8");
  for (std::uint32_t index = 1; index <= reader.count() && index <= kMaxEntries; ++index) {
    const render::Block* block = reader.read(index);
    if (block == nullptr || depth > 0) continue;
    std::optional<render::Block> nested_block = reader.detach_current();
    render::PackageReader nested;
    if (nested.open_memory(std::move(*nested_block))) read_entries(nested, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  render::PackageReader reader;
  if (reader.open_memory(std::span<const std::uint8_t>(data, size))) read_entries(reader, 0);
  return 0;
}

// Reads the input as a music list and as an imported playlist (the first
// byte chooses PLS or TXT/M3U), and resolves every name it holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "audio/playlist_text.h"

namespace {

constexpr std::size_t kMaxNames = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const audio::ListKind kind = (data[0] & 1) != 0 ? audio::ListKind::Pls : audio::ListKind::Plain;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  for (const std::string& line : audio::list_lines(text)) {
    if (line.size() < 3 || line.find('\n') != std::string::npos) __builtin_trap();
  }
  std::size_t resolved = 0;
  for (const std::string& name : audio::list_entry_names(text, kind)) {
    if (++resolved > kMaxNames) break;
    for (const std::string& path : audio::candidate_paths(name, "/lists/")) {
      if (path.empty() || path.find('\\') != std::string::npos) __builtin_trap();
    }
    audio::file_name_of(name);
    audio::folder_of(name);
  }
  return 0;
}

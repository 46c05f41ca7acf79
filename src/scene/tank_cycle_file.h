#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text of the tank-cycle file "CycleTanks.txt": one tank name per line
// (no folder, no extension), each ended by a line feed, in the order the
// user arranged them.
namespace scene {

// A line holds a name of at most this many characters.
inline constexpr std::size_t kLongestCycleName = 259;

// The names in file order. Lines split at line feeds; a carriage return
// before the line feed is dropped, so a file written with CR LF line ends
// keeps its names. Empty lines and lines too long for a name are skipped
// whole rather than cut into pieces that could look like other names.
std::vector<std::string> cycle_file_names(std::string_view text);

// Every name followed by a line feed.
std::string cycle_file_text(const std::vector<std::string>& names);

}  // namespace scene

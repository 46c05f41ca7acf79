#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace audio {

// The file patterns of music, in the order a folder is added: the classic
// ones first, then the formats most music on Linux is kept in.
inline constexpr const char* kMusicExtensions[] = {"wav", "au",  "aif",  "aiff", "snd", "mpa",
                                                   "mp2", "mp3", "mid",  "midi", "rmi", "wma",
                                                   "ogg", "oga", "opus", "flac"};

// Whether the file name ends in "." + extension, ignoring case.
bool has_extension(std::string_view file_name, std::string_view extension);

// The music files directly inside `folder` (no subfolders, no folders whose
// names look like music), as folder + name: for each extension in the order
// above, the matching names sorted ignoring case.
std::vector<std::string> music_files_in_folder(const std::string& folder);

}  // namespace audio

#pragma once

#include <string>
#include <string_view>
#include <vector>

// The text formats around the playlist: the music list "Musics.txt", the
// TXT, M3U and PLS lists it imports, and the duration shown for an entry.
namespace audio {

// The lines of a list, each read whole: split at line feeds, with a carriage
// return before the line feed and a UTF-8 byte-order mark at the start
// dropped. Lines of fewer than three characters name no file and are
// skipped.
std::vector<std::string> list_lines(std::string_view text);

// The music list as saved: every path followed by a line feed.
std::string music_list_text(const std::vector<std::string>& paths);

enum class ListKind { Plain, Pls };

// A PLS list by its extension ".pls" (any case); everything else is read
// line by line as TXT or M3U.
ListKind list_kind_of(std::string_view path);

// The names a list holds, in order: lines with "#EXT" (M3U headers and track
// information) are skipped; in a PLS list only the values of its "FileN="
// keys count.
std::vector<std::string> list_entry_names(std::string_view text, ListKind kind);

// Where the file a list names may be, best first. "file://" URIs are decoded;
// backslashes become '/'. An absolute path is taken as it is; a relative one
// is taken from the list's own folder. A Windows path with a drive letter
// cannot exist here: it is looked for below the list's folder, longest tail
// first ("C:\Music\Band\a.mp3" as "Music/Band/a.mp3", "Band/a.mp3",
// "a.mp3"). Other URIs name no file.
std::vector<std::string> candidate_paths(std::string_view name, std::string_view list_folder);

// "mm:ss" under an hour, else "hh:mm:ss".
std::string format_duration(int seconds);

// The file name of a path: the text after its last '/'.
std::string_view file_name_of(std::string_view path);
// The folder of a path with its trailing '/', or "" when it has none.
std::string folder_of(std::string_view path);

}  // namespace audio

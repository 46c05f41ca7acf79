#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The user's XScreenSaver preferences ("~/.xscreensaver"): lines of
// "name: value" with '#' or '!' comments, where a backslash at the end of a
// line continues the value on the next one. The "programs" value lists the
// savers, one a line, separated by "\n" escapes; each is
// [-] [visual:] ["label"] command, a leading '-' leaving it out of the random
// choice. "mode: one" runs only the saver at index "selected" (counted from 0
// over the whole list).

// Whether a programs entry starts the aquarium: its command is one of our
// programs (pelorin-tessaly, brinewick, Brinewick.scr), by name or by path.
bool is_aquarium_entry(std::string_view entry);

// The preferences text with the aquarium as the only saver: an entry running
// `command` is added at the end of the programs list unless one is there (a
// left-out one is taken in again), mode becomes "one" and selected its index.
// Every other byte stays as it was. Empty when the text already says so.
std::optional<std::string> select_aquarium(std::string_view text, std::string_view command);

enum class PreferencesUpdate {
  NoFile,           // the user has no preferences file: XScreenSaver is not in use
  AlreadySelected,  // nothing to change
  Updated,          // changed, with the old file kept as "~/.xscreensaver.bak"
  Failed,           // could not be read or written; the file is unchanged
};

// select_aquarium on `home_folder` + ".xscreensaver". A file that is a link
// is changed where it points, so the link stays.
PreferencesUpdate update_preferences_file(const std::string& home_folder, std::string_view command);

}  // namespace setup

#pragma once

#include <string_view>
#include <vector>

#include "platform/dialogs.h"
#include "render/file_path.h"

namespace render {

// Splits a type list written as description and pattern texts, each ended by
// a NUL, the list ended by an empty text ("Text (*.txt)\0*.txt\0"). Patterns
// within one entry are separated by ';'. An empty list gives "All Files(*.*)"
// for every file.
std::vector<platform::FileFilter> parse_file_filter(const char* filter);

// Asks the user for a file to open (it must exist) or a name to save under.
// `buffer` holds the proposed name and receives the choice. A null title
// gives "Load" or "Save", a null folder the current one. When a name to save
// under has no extension, default_extension is added. True when the user
// confirmed a path that fits into the buffer.
bool choose_file(platform::Dialogs& dialogs, FilePath& buffer, bool save, const char* filter,
                 const char* default_extension, const char* title, const char* initial_folder);

}  // namespace render

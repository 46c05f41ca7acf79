#pragma once
#include <string_view>

#include "render/text_table.h"

namespace host {

// The package in the program folder that holds the language tables.
inline constexpr char kLanguagePackageName[] = "Language";

// Reads the language table `name` ("System", "Info", "Help", ...): with the
// loose-table lock bit set (always, in this program) the file name + ".txt"
// in the program folder is tried first; otherwise, or when that fails, the
// entry name + ".txt" of the program folder's "Language" package. False
// when neither gives a table.
bool load_language_table(render::TextTable& table, std::string_view name);

}  // namespace host

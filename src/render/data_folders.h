#pragma once

#include <string_view>

#include "render/file_path.h"

namespace render {

// The name of the program's folder among the user's documents.
inline constexpr const char* kUserDataFolderName = "Pelorin Tessaly";

// The two process-wide roots of every file the program reads or writes, each
// with a trailing '/'. The host sets them first thing at start:
// the program folder (installed, read-only content) and the user data folder
// (settings, tank cycle, music list). Both are empty until then.
const FilePath& program_folder();
const FilePath& user_data_folder();
// Set a root; a trailing '/' is added to a non-empty folder.
void set_program_folder(std::string_view folder);
void set_user_data_folder(std::string_view folder);

// documents + subfolder + '/' into out, creating that folder when it is
// missing. An empty documents folder leaves the subfolder alone, relative to
// the current directory; without a subfolder, out is the documents folder.
// False when the result is empty, too long, or the folder cannot be created
// (then out is empty).
bool find_user_data_folder(FilePath& out, std::string_view documents, const char* subfolder);

// Sets the user data folder to "Pelorin Tessaly/" inside the given documents
// folder, or to a copy of the program folder when that cannot be used.
void locate_user_data_folder(std::string_view documents);
// The same with the user's documents folder of the desktop settings.
void locate_user_data_folder();

}  // namespace render

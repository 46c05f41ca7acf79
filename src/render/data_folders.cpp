#include "render/data_folders.h"

#include "platform/folders.h"

namespace render {

namespace {

FilePath& program_root() {
  static FilePath folder;
  return folder;
}

FilePath& user_data_root() {
  static FilePath folder;
  return folder;
}

void set_folder(FilePath& root, std::string_view folder) {
  root.set(folder);
  root.ensure_trailing_separator();
}

}  // namespace

const FilePath& program_folder() { return program_root(); }
const FilePath& user_data_folder() { return user_data_root(); }
void set_program_folder(std::string_view folder) { set_folder(program_root(), folder); }
void set_user_data_folder(std::string_view folder) { set_folder(user_data_root(), folder); }

bool find_user_data_folder(FilePath& out, std::string_view documents, const char* subfolder) {
  out.set(documents);
  if (out.length() != documents.size()) {
    out.clear();
    return false;
  }
  out.ensure_trailing_separator();
  if (subfolder != nullptr && *subfolder != '\0') {
    const std::size_t before = out.length();
    if (out.append(subfolder) == before) {
      out.clear();
      return false;
    }
    out.ensure_trailing_separator();
    // Without this folder nothing the user changes could be saved; the
    // caller then falls back to the program folder.
    if (!platform::make_directories(out.str())) {
      out.clear();
      return false;
    }
  }
  return !out.empty();
}

void locate_user_data_folder(std::string_view documents) {
  FilePath found;
  if (find_user_data_folder(found, documents, kUserDataFolderName)) {
    set_user_data_folder(found.view());
  } else {
    set_user_data_folder(program_folder().view());
  }
}

void locate_user_data_folder() { locate_user_data_folder(platform::documents_folder()); }

}  // namespace render

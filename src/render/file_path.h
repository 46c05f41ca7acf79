#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "render/file_kind.h"

namespace render {

// A path of at most 260 narrow characters in a fixed buffer, with a second
// buffer that receives derived parts (file name, folder, name without
// extension). Folders are separated by '/'. The file name is the text after
// the last '/' (or, when there is none, after the last ':'); the extension is
// the text after the last '.' of the file name, so a dot in a folder name is
// never an extension. No operation writes past the 260 characters.
class FilePath {
 public:
  static constexpr std::size_t kMaxLength = 260;

  FilePath() = default;
  explicit FilePath(std::string_view source) { set(source); }

  // Zeroes both buffers.
  void clear();
  // The first 260 characters of source; null or empty gives an empty path.
  void set(const char* source);
  void set(std::string_view source);
  // printf-style formatting, cut to 260 characters; a null format leaves the
  // path unchanged.
  void format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Appends s unless the result would exceed 260 characters, in which case
  // the path is left unchanged. Returns the resulting length.
  std::size_t append(std::string_view s);
  // Appends '/' to a non-empty path that does not end in one.
  void ensure_trailing_separator();

  // Whether the path names a regular file that can be opened for reading.
  bool exists() const;

  FileKind kind_of_extension() const;
  // The text after the file name's last '.', or nullptr when it has none.
  const char* extension() const;
  // Derived parts, written into the scratch buffer; each returns a pointer to
  // it, valid until the next derivation.
  const char* file_name();
  // The text up to and including the last '/', or "./" when there is none.
  const char* folder();
  // The file name (or, when whole, the whole path) without its extension.
  const char* name_without_extension(bool whole);

  // Cuts the extension off; then, when ext is non-empty, appends "." (unless
  // ext holds a dot itself) and ext.
  void replace_extension(const char* ext);
  // replace_extension with the extension written for kind; a kind with none
  // only strips the extension.
  void set_kind(FileKind kind);
  void set_with_kind(std::string_view source, FileKind kind);

  // The process's current directory with a trailing '/'. False, with an
  // empty path, when it cannot be read or is longer than 260 characters.
  bool current_directory();
  // There is no system folder of that kind here: the path becomes empty.
  bool windows_directory();

  const char* c_str() const { return text_; }
  std::string_view view() const { return std::string_view(text_, length_); }
  std::string str() const { return std::string(view()); }
  std::size_t length() const { return length_; }
  bool empty() const { return length_ == 0; }

 private:
  // Index of the first character of the file name.
  std::size_t name_start() const;
  // Index of the file name's last '.', or npos.
  std::size_t extension_dot() const;
  const char* set_scratch(std::string_view part);

  char text_[kMaxLength + 1]{};
  char scratch_[kMaxLength + 1]{};
  std::size_t length_ = 0;
};

// In any text: every backslash followed by 'n' keeps the backslash and has the
// 'n' replaced by a line feed, which is how texts from the tables carry line
// breaks.
void expand_newlines(char* text);
void expand_newlines(std::string& text);

// A folder's path with one '/' at its end, ready for a file name.
inline std::string with_trailing_separator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace render

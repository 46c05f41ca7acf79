#include "audio/music_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace audio {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool less_ignoring_case(const std::string& a, const std::string& b) {
  const auto by_lower = [](char x, char y) { return lower(x) < lower(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), by_lower)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), by_lower)) return false;
  return a < b;  // names equal but for case keep one fixed order
}

}  // namespace

bool has_extension(std::string_view file_name, std::string_view extension) {
  if (file_name.size() <= extension.size() + 1) return false;
  const std::size_t dot = file_name.size() - extension.size() - 1;
  if (file_name[dot] != '.') return false;
  for (std::size_t i = 0; i < extension.size(); ++i) {
    if (lower(file_name[dot + 1 + i]) != lower(extension[i])) return false;
  }
  return true;
}

std::vector<std::string> music_files_in_folder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), less_ignoring_case);

  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  std::vector<std::string> files;
  for (const char* extension : kMusicExtensions) {
    for (const std::string& name : names) {
      if (has_extension(name, extension)) files.push_back(prefix + name);
    }
  }
  return files;
}

}  // namespace audio

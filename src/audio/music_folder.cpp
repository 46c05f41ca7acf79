#include "audio/music_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/ascii.h"
#include "render/file_path.h"

namespace audio {

bool has_extension(std::string_view file_name, std::string_view extension) {
  if (file_name.size() <= extension.size() + 1) return false;
  return file_name[file_name.size() - extension.size() - 1] == '.' &&
         platform::ends_with_ignore_ascii_case(file_name, extension);
}

std::vector<std::string> music_files_in_folder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_regular_file(kind_error)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::less_ignore_ascii_case(a, b);
  });

  const std::string prefix = render::with_trailing_separator(folder);
  std::vector<std::string> files;
  for (const char* extension : kMusicExtensions) {
    for (const std::string& name : names) {
      if (has_extension(name, extension)) files.push_back(prefix + name);
    }
  }
  return files;
}

}  // namespace audio

#include "render/file_dialog.h"

#include <cstring>
#include <string>

namespace render {

namespace {

std::vector<std::string> split_patterns(std::string_view patterns) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find(';', start);
    if (end == std::string_view::npos) end = patterns.size();
    std::string_view pattern = patterns.substr(start, end - start);
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    if (!pattern.empty()) out.emplace_back(pattern);
    start = end + 1;
  }
  return out;
}

}  // namespace

std::vector<platform::FileFilter> parse_file_filter(const char* filter) {
  std::vector<platform::FileFilter> filters;
  const char* p = filter;
  while (p != nullptr && *p != '\0') {
    platform::FileFilter entry;
    entry.description = p;
    p += std::strlen(p) + 1;
    if (*p != '\0') {
      entry.patterns = split_patterns(p);
      p += std::strlen(p) + 1;
    }
    if (entry.patterns.empty()) entry.patterns.push_back("*.*");
    filters.push_back(std::move(entry));
  }
  if (filters.empty()) filters.push_back({"All Files(*.*)", {"*.*"}});
  return filters;
}

bool choose_file(platform::Dialogs& dialogs, FilePath& buffer, bool save, const char* filter,
                 const char* default_extension, const char* title, const char* initial_folder) {
  platform::FileDialogRequest request;
  request.save = save;
  request.title = title != nullptr ? title : (save ? "Save" : "Load");
  request.filters = parse_file_filter(filter);
  request.folder = initial_folder != nullptr ? initial_folder : ".";
  request.file_name = buffer.str();

  std::optional<std::string> chosen = dialogs.choose_file(request);
  if (!chosen || chosen->empty()) return false;
  FilePath result(*chosen);
  if (result.length() != chosen->size()) return false;
  if (save && default_extension != nullptr && *default_extension != '\0' && result.extension() == nullptr) {
    result.replace_extension(default_extension);
    if (result.extension() == nullptr) return false;
  }
  buffer = result;
  return true;
}

}  // namespace render

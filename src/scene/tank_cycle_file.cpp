#include "scene/tank_cycle_file.h"

namespace scene {

std::vector<std::string> cycle_file_names(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.empty() && line.size() <= kLongestCycleName) names.emplace_back(line);
  }
  return names;
}

std::string cycle_file_text(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    text += name;
    text += '\n';
  }
  return text;
}

}  // namespace scene

#include "audio/playlist_text.h"

#include <cstdio>

namespace audio {

namespace {

constexpr std::size_t kShortestName = 3;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (is_digit(c)) return c - '0';
  c = lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string percent_decoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = hex_value(text[i + 1]);
      const int low = hex_value(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// "FileN" with at least one digit, ignoring case.
bool is_pls_file_key(std::string_view key) {
  if (!starts_with_ignoring_case(key, "file") || key.size() == 4) return false;
  for (char c : key.substr(4)) {
    if (!is_digit(c)) return false;
  }
  return true;
}

// "C:" followed by anything: a path of a Windows drive.
bool has_drive_letter(std::string_view path) {
  return path.size() >= 2 && is_letter(path[0]) && path[1] == ':';
}

}  // namespace

std::vector<std::string> list_lines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() >= kShortestName) lines.emplace_back(line);
  }
  return lines;
}

std::string music_list_text(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) {
    text += path;
    text += '\n';
  }
  return text;
}

ListKind list_kind_of(std::string_view path) {
  const std::string_view name = file_name_of(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return ListKind::Plain;
  const std::string_view extension = name.substr(dot);
  return extension.size() == 4 && starts_with_ignoring_case(extension, ".pls") ? ListKind::Pls
                                                                               : ListKind::Plain;
}

std::vector<std::string> list_entry_names(std::string_view text, ListKind kind) {
  std::vector<std::string> names;
  for (const std::string& line : list_lines(text)) {
    if (line.find("#EXT") != std::string::npos) continue;
    if (kind == ListKind::Plain) {
      names.push_back(line);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || !is_pls_file_key(std::string_view(line).substr(0, equals))) continue;
    if (equals + 1 < line.size()) names.push_back(line.substr(equals + 1));
  }
  return names;
}

std::vector<std::string> candidate_paths(std::string_view name, std::string_view list_folder) {
  std::string path;
  if (starts_with_ignoring_case(name, "file://")) {
    path = percent_decoded(name.substr(7));
    if (starts_with_ignoring_case(path, "localhost/")) path.erase(0, 9);
    // "file:///C:/Music/a.mp3"
    if (path.size() >= 3 && path[0] == '/' && has_drive_letter(std::string_view(path).substr(1)))
      path.erase(0, 1);
  } else if (name.find("://") != std::string_view::npos) {
    return {};
  } else {
    path = name;
  }
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty()) return {};
  if (path.front() == '/') return {path};

  std::string folder(list_folder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  if (!has_drive_letter(path)) return {folder + path};

  std::vector<std::string> candidates;
  std::string_view tail = std::string_view(path).substr(2);
  while (!tail.empty() && tail.front() == '/') tail.remove_prefix(1);
  while (!tail.empty()) {
    candidates.push_back(folder + std::string(tail));
    const std::size_t slash = tail.find('/');
    if (slash == std::string_view::npos) break;
    tail.remove_prefix(slash + 1);
  }
  return candidates;
}

std::string format_duration(int seconds) {
  if (seconds < 0) seconds = 0;
  const int hours = seconds / 3600;
  const int minutes = seconds / 60 % 60;
  char text[32];
  if (hours == 0) {
    std::snprintf(text, sizeof text, "%02d:%02d", minutes, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hours, minutes, seconds % 60);
  }
  return text;
}

std::string_view file_name_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string folder_of(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace audio

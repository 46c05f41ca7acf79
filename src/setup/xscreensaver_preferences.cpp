#include "setup/xscreensaver_preferences.h"

#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "base/file_io.h"

namespace setup {

namespace {

struct Line {
  std::string content;  // without the line end
  std::string end;      // "\n", "\r\n", or "" for a last line without one
};

std::vector<Line> split_lines(std::string_view text) {
  std::vector<Line> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t newline = text.find('\n', at);
    if (newline == std::string_view::npos) {
      lines.push_back({std::string(text.substr(at)), ""});
      break;
    }
    size_t content_end = newline;
    if (content_end > at && text[content_end - 1] == '\r') --content_end;
    lines.push_back({std::string(text.substr(at, content_end - at)),
                     std::string(text.substr(content_end, newline + 1 - content_end))});
    at = newline + 1;
  }
  return lines;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool continues(const Line& line) { return !line.content.empty() && line.content.back() == '\\'; }

// One "name: value" setting over the lines [first, last].
struct Resource {
  std::string name;
  size_t first = 0;
  size_t last = 0;
  size_t value_start = 0;  // in the first line, after the ':'
};

std::vector<Resource> find_resources(const std::vector<Line>& lines) {
  std::vector<Resource> resources;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view content = trim(lines[i].content);
    if (content.empty() || content.front() == '#' || content.front() == '!') continue;
    Resource resource;
    resource.first = i;
    while (i + 1 < lines.size() && continues(lines[i])) ++i;
    resource.last = i;
    size_t colon = lines[resource.first].content.find(':');
    if (colon == std::string::npos) continue;
    resource.name = std::string(trim(std::string_view(lines[resource.first].content).substr(0, colon)));
    resource.value_start = colon + 1;
    resources.push_back(resource);
  }
  return resources;
}

const Resource* last_named(const std::vector<Resource>& resources, std::string_view name) {
  const Resource* found = nullptr;
  for (const Resource& resource : resources) {
    if (resource.name == name) found = &resource;
  }
  return found;
}

// The value of a one-line setting, blanks trimmed.
std::string_view single_value(const std::vector<Line>& lines, const Resource& resource) {
  if (resource.first != resource.last) return {};
  return trim(std::string_view(lines[resource.first].content).substr(resource.value_start));
}

struct ProgramEntry {
  std::string text;
  size_t line = 0;  // where its first non-blank character is
  size_t column = 0;
};

// The entries of the programs value, blank ones left out as XScreenSaver
// leaves them out.
std::vector<ProgramEntry> program_entries(const std::vector<Line>& lines, const Resource& programs) {
  std::vector<ProgramEntry> entries;
  ProgramEntry current;
  bool started = false;
  auto finish = [&] {
    if (started) entries.push_back(current);
    current = ProgramEntry{};
    started = false;
  };
  for (size_t i = programs.first; i <= programs.last; ++i) {
    std::string_view content = lines[i].content;
    size_t begin = i == programs.first ? programs.value_start : 0;
    size_t end = content.size();
    if (i < programs.last && continues(lines[i])) --end;
    for (size_t at = begin; at < end; ++at) {
      if (content[at] == '\\' && at + 1 < end && content[at + 1] == 'n') {
        finish();
        ++at;
        continue;
      }
      if (!started && !is_blank(content[at])) {
        started = true;
        current.line = i;
        current.column = at;
      }
      if (started) current.text += content[at];
    }
  }
  finish();
  return entries;
}

bool is_visual_word_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::string_view command_of(std::string_view entry) {
  entry = trim(entry);
  if (!entry.empty() && entry.front() == '-') entry = trim(entry.substr(1));
  // A label and a visual may come in either order.
  for (int part = 0; part < 2; ++part) {
    if (!entry.empty() && entry.front() == '"') {
      size_t closing = entry.find('"', 1);
      entry = closing == std::string_view::npos ? std::string_view{} : trim(entry.substr(closing + 1));
      continue;
    }
    size_t word = 0;
    while (word < entry.size() && is_visual_word_char(entry[word])) ++word;
    if (word > 0 && word < entry.size() && entry[word] == ':') entry = trim(entry.substr(word + 1));
  }
  return entry;
}

std::string_view program_name_of(std::string_view command) {
  std::string_view program;
  if (!command.empty() && (command.front() == '\'' || command.front() == '"')) {
    size_t closing = command.find(command.front(), 1);
    program = command.substr(1, closing == std::string_view::npos ? std::string_view::npos : closing - 1);
  } else {
    size_t end = 0;
    while (end < command.size() && !is_blank(command[end])) ++end;
    program = command.substr(0, end);
  }
  size_t slash = program.rfind('/');
  return slash == std::string_view::npos ? program : program.substr(slash + 1);
}

std::string line_end_of(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.end.empty()) return line.end;
  }
  return "\n";
}

// Sets a one-line setting to `value` everywhere it is given, or adds it at
// the end. The blanks between the name and the value stay.
void set_value(std::vector<Line>& lines, std::string_view name, const std::string& value, bool* changed) {
  std::vector<Resource> resources = find_resources(lines);
  bool found = false;
  // From the end, so that removing continuation lines keeps earlier indices.
  for (auto it = resources.rbegin(); it != resources.rend(); ++it) {
    if (it->name != name) continue;
    found = true;
    if (single_value(lines, *it) == value && it->first == it->last) continue;
    std::string& content = lines[it->first].content;
    size_t value_at = it->value_start;
    while (value_at < content.size() && is_blank(content[value_at])) ++value_at;
    content = content.substr(0, value_at) + value;
    lines[it->first].end = lines[it->last].end;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->first) + 1,
                lines.begin() + static_cast<std::ptrdiff_t>(it->last) + 1);
    *changed = true;
  }
  if (found) return;
  std::string end = line_end_of(lines);
  if (!lines.empty() && lines.back().end.empty()) lines.back().end = end;
  lines.push_back({std::string(name) + ":\t\t" + value, end});
  *changed = true;
}

std::string join_lines(const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines) {
    text += line.content;
    text += line.end;
  }
  return text;
}

}  // namespace

bool is_aquarium_entry(std::string_view entry) {
  std::string_view program = program_name_of(command_of(entry));
  return program == "pelorin-tessaly" || program == "brinewick" || program == "Brinewick.scr";
}

std::optional<std::string> select_aquarium(std::string_view text, std::string_view command) {
  std::vector<Line> lines = split_lines(text);
  const std::string end = line_end_of(lines);
  bool changed = false;

  std::vector<Resource> resources = find_resources(lines);
  const Resource* programs = last_named(resources, "programs");
  size_t index = 0;
  if (programs == nullptr) {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = end;
    lines.push_back({"programs:\t\\", end});
    lines.push_back({"  GL:\t" + std::string(command) + " \\n", end});
    changed = true;
  } else {
    std::vector<ProgramEntry> entries = program_entries(lines, *programs);
    size_t ours = 0;
    while (ours < entries.size() && !is_aquarium_entry(entries[ours].text)) ++ours;
    index = ours;
    if (ours < entries.size()) {
      const ProgramEntry& entry = entries[ours];
      char& first = lines[entry.line].content[entry.column];
      if (first == '-') {
        first = ' ';
        changed = true;
      }
    } else {
      // The new entry goes after the last line of the list, which then
      // continues onto it.
      Line& last = lines[programs->last];
      std::string_view tail =
          trim(std::string_view(last.content)
                   .substr(programs->first == programs->last ? programs->value_start : 0));
      bool terminated = tail.empty() || (tail.size() >= 2 && tail.substr(tail.size() - 2) == "\\n");
      if (!continues(last)) last.content += terminated ? "\\" : " \\n\\";
      if (last.end.empty()) last.end = end;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(programs->last) + 1,
                   Line{"  GL:\t" + std::string(command) + " \\n", end});
      changed = true;
    }
  }

  set_value(lines, "mode", "one", &changed);
  set_value(lines, "selected", std::to_string(index), &changed);
  if (!changed) return std::nullopt;
  return join_lines(lines);
}

PreferencesUpdate update_preferences_file(const std::string& home_folder, std::string_view command) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path file = fs::path(home_folder) / ".xscreensaver";
  if (!fs::exists(file, error)) return PreferencesUpdate::NoFile;
  fs::path target = fs::canonical(file, error);
  if (error || !fs::is_regular_file(target, error)) return PreferencesUpdate::Failed;

  auto bytes = base::read_file(target);
  if (!bytes) return PreferencesUpdate::Failed;
  std::string text(bytes->begin(), bytes->end());
  std::optional<std::string> updated = select_aquarium(text, command);
  if (!updated) return PreferencesUpdate::AlreadySelected;

  const fs::perms permissions = fs::status(target, error).permissions();
  fs::path backup = fs::path(home_folder) / ".xscreensaver.bak";
  if (!base::write_file_atomically(backup, *bytes)) return PreferencesUpdate::Failed;
  fs::permissions(backup, permissions, error);
  auto data = std::span(reinterpret_cast<const uint8_t*>(updated->data()), updated->size());
  if (!base::write_file_atomically(target, data)) return PreferencesUpdate::Failed;
  fs::permissions(target, permissions, error);
  return PreferencesUpdate::Updated;
}

}  // namespace setup

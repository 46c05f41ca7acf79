#include "platform/registry_data.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/ascii.h"

namespace platform {

namespace {

std::string_view trim_key(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return key;
}

bool valid_key(std::string_view key) {
  return !key.empty() && key.find_first_of("\r\n") == std::string_view::npos;
}

bool is_below(std::string_view path, std::string_view key) {
  return path.size() > key.size() && path[key.size()] == '\\' &&
         equals_ignore_ascii_case(path.substr(0, key.size()), key);
}

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

void append_quoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  out += '"';
}

// Reads a quoted text starting at text[pos] == '"'; on success pos is just past
// the closing quote. A backslash before any other character stands for itself,
// so a hand-written "C:\Temp" reads as it looks.
std::optional<std::string> read_quoted(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string value;
  for (size_t i = pos + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return value;
    }
    if (c == '\\' && i + 1 < text.size()) {
      char next = text[i + 1];
      if (next == '\\' || next == '"') {
        value += next;
        ++i;
        continue;
      }
      if (next == 'n' || next == 'r') {
        value += next == 'n' ? '\n' : '\r';
        ++i;
        continue;
      }
    }
    value += c;
  }
  return std::nullopt;
}

std::optional<uint32_t> read_dword(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<uint32_t>(c - 'A' + 10);
    else
      return std::nullopt;
    value = value << 4 | digit;
  }
  return value;
}

struct ParsedValue {
  std::string name;
  RegistryValue value;
};

std::optional<ParsedValue> parse_value_line(std::string_view line) {
  ParsedValue parsed;
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else {
    auto name = read_quoted(line, pos);
    if (!name || name->empty()) return std::nullopt;
    parsed.name = std::move(*name);
  }
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  ++pos;
  constexpr std::string_view kDwordPrefix = "dword:";
  if (line.substr(pos, kDwordPrefix.size()) == kDwordPrefix) {
    auto value = read_dword(line.substr(pos + kDwordPrefix.size()));
    if (!value) return std::nullopt;
    parsed.value = *value;
    return parsed;
  }
  auto text = read_quoted(line, pos);
  if (!text || pos != line.size()) return std::nullopt;
  parsed.value = std::move(*text);
  return parsed;
}

}  // namespace

RegistryData RegistryData::parse(std::string_view text) {
  RegistryData data;
  Key* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = trim_blanks(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      current = nullptr;
      if (line.back() != ']') continue;
      std::string_view key = trim_key(line.substr(1, line.size() - 2));
      if (valid_key(key)) current = data.find_or_add_key(key);
      continue;
    }
    if (current == nullptr) continue;
    if (auto parsed = parse_value_line(line)) {
      RegistryValue* existing = nullptr;
      for (NamedValue& value : current->values) {
        if (equals_ignore_ascii_case(value.name, parsed->name)) existing = &value.value;
      }
      if (existing)
        *existing = std::move(parsed->value);
      else
        current->values.push_back({std::move(parsed->name), std::move(parsed->value)});
    }
  }
  return data;
}

std::string RegistryData::to_text() const {
  std::string out;
  for (const Key& key : keys_) {
    if (!out.empty()) out += '\n';
    out += '[';
    out += key.path;
    out += "]\n";
    for (const NamedValue& value : key.values) {
      if (value.name.empty())
        out += '@';
      else
        append_quoted(out, value.name);
      out += '=';
      if (const auto* dword = std::get_if<uint32_t>(&value.value)) {
        static const char kHex[] = "0123456789abcdef";
        out += "dword:";
        for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(*dword >> shift) & 0xF];
      } else {
        append_quoted(out, std::get<std::string>(value.value));
      }
      out += '\n';
    }
  }
  return out;
}

const RegistryValue* RegistryData::find(std::string_view key, std::string_view name) const {
  const Key* found = find_key(key);
  if (found == nullptr) return nullptr;
  for (const NamedValue& value : found->values) {
    if (equals_ignore_ascii_case(value.name, name)) return &value.value;
  }
  return nullptr;
}

bool RegistryData::has_key(std::string_view key) const { return find_key(key) != nullptr; }

bool RegistryData::set(std::string_view key, std::string_view name, RegistryValue value) {
  key = trim_key(key);
  if (!valid_key(key)) return false;
  Key* target = find_or_add_key(key);
  for (NamedValue& existing : target->values) {
    if (equals_ignore_ascii_case(existing.name, name)) {
      existing.value = std::move(value);
      return true;
    }
  }
  target->values.push_back({std::string(name), std::move(value)});
  return true;
}

bool RegistryData::add_key(std::string_view key) {
  key = trim_key(key);
  if (!valid_key(key)) return false;
  find_or_add_key(key);
  return true;
}

bool RegistryData::erase_value(std::string_view key, std::string_view name) {
  Key* found = find_key(key);
  if (found == nullptr) return false;
  for (auto it = found->values.begin(); it != found->values.end(); ++it) {
    if (equals_ignore_ascii_case(it->name, name)) {
      found->values.erase(it);
      return true;
    }
  }
  return false;
}

bool RegistryData::erase_key(std::string_view key) {
  key = trim_key(key);
  if (key.empty()) return false;
  size_t before = keys_.size();
  std::erase_if(
      keys_, [key](const Key& k) { return equals_ignore_ascii_case(k.path, key) || is_below(k.path, key); });
  return keys_.size() != before;
}

RegistryData::Key* RegistryData::find_key(std::string_view path) {
  return const_cast<Key*>(std::as_const(*this).find_key(path));
}

const RegistryData::Key* RegistryData::find_key(std::string_view path) const {
  path = trim_key(path);
  for (const Key& key : keys_) {
    if (equals_ignore_ascii_case(key.path, path)) return &key;
  }
  return nullptr;
}

RegistryData::Key* RegistryData::find_or_add_key(std::string_view path) {
  if (Key* key = find_key(path)) return key;
  keys_.push_back({std::string(path), {}});
  return &keys_.back();
}

}  // namespace platform

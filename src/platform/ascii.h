#pragma once

#include <algorithm>
#include <string_view>

namespace platform {

inline char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares two texts ignoring the case of the ASCII letters only, the way the
// programs compare window classes, titles and registry names.
inline bool equals_ignore_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

inline bool starts_with_ignore_ascii_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equals_ignore_ascii_case(text.substr(0, prefix.size()), prefix);
}

inline bool ends_with_ignore_ascii_case(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         equals_ignore_ascii_case(text.substr(text.size() - suffix.size()), suffix);
}

// Orders file names ignoring the case of the ASCII letters; names equal that
// way fall back to their bytes, so sorting a folder's names gives one order
// whatever order the folder listed them in.
inline bool less_ignore_ascii_case(std::string_view a, std::string_view b) {
  const auto by_lower = [](char x, char y) { return ascii_lower(x) < ascii_lower(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), by_lower)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), by_lower)) return false;
  return a < b;
}

}  // namespace platform

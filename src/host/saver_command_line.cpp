#include "host/saver_command_line.h"

#include <limits>

namespace host {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Skips to the first digit and reads the digits there. A value too large for
// a window id saturates instead of wrapping round into a different window.
uint64_t read_number(std::string_view text, size_t at) {
  while (at < text.size() && !is_digit(text[at])) ++at;
  uint64_t value = 0;
  constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
  for (; at < text.size() && is_digit(text[at]); ++at) {
    value = value * 10 + static_cast<uint64_t>(text[at] - '0');
    if (value > kMax) value = kMax;
  }
  return value;
}

}  // namespace

ParsedCommandLine parse_command_line(std::string_view text) {
  ParsedCommandLine result;
  if (text.empty()) return result;

  size_t at = 0;
  if (text[0] == '"') {
    size_t closing = text.find('"', 1);
    at = closing == std::string_view::npos ? text.size() : closing + 1;
  } else {
    size_t blank = text.find(' ');
    at = blank == std::string_view::npos ? text.size() : blank + 1;
  }
  if (at >= text.size()) {
    result.mode = SaverMode::Configure;
    return result;
  }

  size_t slash = text.find_first_of("/-", at);
  if (slash == std::string_view::npos) {
    result.mode = SaverMode::Configure;
    return result;
  }
  size_t letter_at = slash + 1;
  char letter = letter_at < text.size() ? text[letter_at] : '\0';
  switch (letter) {
    case 'a':
    case 'A':
      result.number = read_number(text, letter_at + 1);
      result.mode = SaverMode::ChangePassword;
      break;
    case 'c':
    case 'C':
      result.number = read_number(text, letter_at + 1);
      result.mode = SaverMode::Configure;
      break;
    case 'd':
    case 'D':
      result.number = read_number(text, letter_at + 1);
      result.mode = result.number != 0 ? SaverMode::ActiveDesktop : SaverMode::Standalone;
      break;
    case 'p':
    case 'P':
      result.number = read_number(text, letter_at + 1);
      result.mode = SaverMode::Preview;
      break;
    case 's':
      result.mode = SaverMode::FullScreenSaver;
      break;
    default:
      result.mode = SaverMode::Standalone;
      break;
  }
  return result;
}

}  // namespace host

#include "host/xscreensaver_options.h"

#include <limits>

namespace host {

namespace {

constexpr uint64_t kMaxWindowId = std::numeric_limits<uint32_t>::max();

std::optional<uint64_t> parse_digits(std::string_view digits, uint64_t base) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    uint64_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint64_t>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<uint64_t>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<uint64_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > kMaxWindowId) return std::nullopt;
  }
  return value;
}

bool is_root_option(std::string_view argument) { return argument == "-root" || argument == "--root"; }

// "-window-id" or "--window-id", alone (the id follows as the next argument)
// or joined to its id by '='; the id text, or empty when this is not the
// option.
std::optional<std::string_view> window_option(std::string_view argument, bool* id_follows) {
  for (std::string_view name : {std::string_view("--window-id"), std::string_view("-window-id")}) {
    if (argument.substr(0, name.size()) != name) continue;
    std::string_view rest = argument.substr(name.size());
    if (rest.empty()) {
      *id_follows = true;
      return rest;
    }
    if (rest.front() == '=') {
      *id_follows = false;
      return rest.substr(1);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<uint64_t> parse_window_id(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return parse_digits(text.substr(2), 16);
  }
  return parse_digits(text, 10);
}

DaemonOptions take_xscreensaver_options(std::vector<std::string> arguments,
                                        std::optional<std::string_view> window_variable) {
  DaemonOptions result;
  bool option_seen = false;
  std::optional<uint64_t> explicit_window;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (i == 0) {
      result.arguments.push_back(argument);
      continue;
    }
    if (is_root_option(argument)) {
      option_seen = true;
      continue;
    }
    bool id_follows = false;
    if (auto id_text = window_option(argument, &id_follows)) {
      option_seen = true;
      if (id_follows) {
        if (i + 1 >= arguments.size()) {
          result.error = argument + " needs a window id";
          continue;
        }
        id_text = arguments[++i];
      }
      if (auto id = parse_window_id(*id_text)) {
        explicit_window = *id;
      } else {
        result.error = "not a window id: " + std::string(*id_text);
      }
      continue;
    }
    result.arguments.push_back(argument);
  }

  std::optional<uint64_t> variable_window;
  if (window_variable) variable_window = parse_window_id(*window_variable);

  result.under_daemon = option_seen || variable_window.has_value();
  result.window_id = explicit_window.value_or(variable_window.value_or(0));
  return result;
}

}  // namespace host

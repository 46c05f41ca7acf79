#include "host/snapshot_options.h"

#include <charconv>

namespace host {
namespace {

bool parse_positive(const std::string& text, int limit, int& out) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0 || value > limit) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

ArgumentSplit take_snapshot_options(std::vector<std::string> arguments) {
  ArgumentSplit split;
  SnapshotOptions options;
  bool wanted = false;
  for (size_t at = 0; at < arguments.size(); ++at) {
    const std::string& word = arguments[at];
    bool takes_value = word == "--snapshot" || word == "--frames" || word == "--size";
    if (at == 0 || !takes_value) {
      split.arguments.push_back(word);
      continue;
    }
    if (at + 1 >= arguments.size()) {
      split.error = word + " needs a value";
      return split;
    }
    const std::string& value = arguments[++at];
    if (word == "--snapshot") {
      if (value.empty()) {
        split.error = "--snapshot needs a file name";
        return split;
      }
      options.path = value;
      wanted = true;
    } else if (word == "--frames") {
      if (!parse_positive(value, 100000, options.frames)) {
        split.error = "--frames needs a whole number from 1 to 100000";
        return split;
      }
    } else {
      auto cross = value.find('x');
      if (cross == std::string::npos || !parse_positive(value.substr(0, cross), 8192, options.width) ||
          !parse_positive(value.substr(cross + 1), 8192, options.height)) {
        split.error = "--size needs WIDTHxHEIGHT";
        return split;
      }
    }
  }
  if (wanted) split.snapshot = options;
  return split;
}

}  // namespace host

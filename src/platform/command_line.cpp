#include "platform/command_line.h"

namespace platform {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool needs_quotes(const std::string& argument) {
  return argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
}

void append_quoted(std::string& out, const std::string& argument) {
  out += '"';
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote gets one more.
    if (c == '"')
      out.append(backslashes * 2 + 1, '\\');
    else
      out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  // The closing quote must not be escaped by trailing backslashes.
  out.append(backslashes * 2, '\\');
  out += '"';
}

}  // namespace

std::string join_command_line(const std::vector<std::string>& arguments) {
  std::string out;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) out += ' ';
    if (needs_quotes(arguments[i]))
      append_quoted(out, arguments[i]);
    else
      out += arguments[i];
  }
  return out;
}

std::vector<std::string> split_command_line(std::string_view text) {
  std::vector<std::string> arguments;
  size_t pos = 0;
  for (;;) {
    while (pos < text.size() && is_blank(text[pos])) ++pos;
    if (pos == text.size()) break;
    std::string argument;
    bool quoted = false;
    while (pos < text.size() && (quoted || !is_blank(text[pos]))) {
      char c = text[pos];
      if (c == '\\') {
        size_t run = 0;
        while (pos < text.size() && text[pos] == '\\') {
          ++run;
          ++pos;
        }
        if (pos < text.size() && text[pos] == '"') {
          // 2n backslashes and a quote: n backslashes, the quote delimits;
          // 2n+1: n backslashes and a literal quote.
          argument.append(run / 2, '\\');
          if (run % 2 == 1) {
            argument += '"';
            ++pos;
          }
        } else {
          argument.append(run, '\\');
        }
        continue;
      }
      if (c == '"')
        quoted = !quoted;
      else
        argument += c;
      ++pos;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace platform

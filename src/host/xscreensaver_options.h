#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// How the XScreenSaver daemon starts a saver: "-root" or "--root" (draw on
// the whole screen), "-window-id ID", "--window-id ID" or "-window-id=ID"
// (draw into that window; hexadecimal "0x..." or decimal), or the
// XSCREENSAVER_WINDOW environment variable holding the window to draw into.
// These are read before the screen-saver switches, where "-root" and
// "-window-id" would otherwise read as the 'r' and 'w' switches.
struct DaemonOptions {
  bool under_daemon = false;
  uint64_t window_id = 0;              // 0: the root window
  std::vector<std::string> arguments;  // what is left, program name first
  std::string error;                   // non-empty for a malformed option
};

// `window_variable` is the value of XSCREENSAVER_WINDOW, empty when it is not
// set; a value that is not a window id is ignored. An explicit window id wins
// over the variable; with "-root" the variable's window is used when it holds
// one (the daemon's own window stands for the root). Any of the options, even
// a malformed one, means the daemon started us.
DaemonOptions take_xscreensaver_options(std::vector<std::string> arguments,
                                        std::optional<std::string_view> window_variable);

// A window id as the daemon writes it: "0x" or "0X" and hexadecimal digits,
// or decimal digits; empty when malformed or above 32 bits.
std::optional<uint64_t> parse_window_id(std::string_view text);

}  // namespace host

#include "host/xscreensaver_options.h"

#include <gtest/gtest.h>

namespace host {
namespace {

using Arguments = std::vector<std::string>;

struct DaemonCase {
  const char* name;
  Arguments arguments;
  std::optional<std::string> variable;  // XSCREENSAVER_WINDOW
  bool under_daemon;
  uint64_t window_id;
  Arguments rest;
  bool error;
};

TEST(XScreenSaverOptions, RecognisesEverySpellingAndTakesItOut) {
  const DaemonCase cases[] = {
      {"root", {"b", "-root"}, {}, true, 0, {"b"}, false},
      {"long root", {"b", "--root"}, {}, true, 0, {"b"}, false},
      {"window hex", {"b", "-window-id", "0x1a00003"}, {}, true, 0x1a00003, {"b"}, false},
      {"window upper hex", {"b", "-window-id=0X2F"}, {}, true, 0x2f, {"b"}, false},
      {"long window decimal", {"b", "--window-id", "12345"}, {}, true, 12345, {"b"}, false},
      {"long window joined", {"b", "--window-id=77"}, {}, true, 77, {"b"}, false},
      {"other arguments stay in order",
       {"b", "/s", "-root", "--snapshot", "x.png"},
       {},
       true,
       0,
       {"b", "/s", "--snapshot", "x.png"},
       false},
      {"no daemon", {"b", "/s"}, {}, false, 0, {"b", "/s"}, false},
      {"variable alone", {"b"}, "0x400007", true, 0x400007, {"b"}, false},
      {"root draws into the variable's window", {"b", "-root"}, "0x400007", true, 0x400007, {"b"}, false},
      {"explicit window wins", {"b", "-window-id", "5"}, "0x400007", true, 5, {"b"}, false},
      {"malformed variable is ignored", {"b", "/r"}, "window", false, 0, {"b", "/r"}, false},
      {"empty variable is ignored", {"b"}, "", false, 0, {"b"}, false},
      {"similar words are not options",
       {"b", "-window-idx", "-rooted", "-windowid"},
       {},
       false,
       0,
       {"b", "-window-idx", "-rooted", "-windowid"},
       false},
      {"the program name is never an option", {"-root"}, {}, false, 0, {"-root"}, false},
      {"window id missing", {"b", "-window-id"}, {}, true, 0, {"b"}, true},
      {"window id not a number", {"b", "-window-id", "0xZZ"}, {}, true, 0, {"b"}, true},
      {"window id above 32 bits", {"b", "--window-id=4294967296"}, {}, true, 0, {"b"}, true},
      {"bare 0x", {"b", "-window-id", "0x"}, {}, true, 0, {"b"}, true},
  };
  for (const DaemonCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::string_view> variable;
    if (c.variable) variable = *c.variable;
    DaemonOptions options = take_xscreensaver_options(c.arguments, variable);
    EXPECT_EQ(options.under_daemon, c.under_daemon);
    EXPECT_EQ(options.window_id, c.window_id);
    EXPECT_EQ(options.arguments, c.rest);
    EXPECT_EQ(!options.error.empty(), c.error) << options.error;
  }
}

TEST(XScreenSaverOptions, WindowIdsUpTo32Bits) {
  EXPECT_EQ(parse_window_id("0xffffffff"), 0xffffffffu);
  EXPECT_EQ(parse_window_id("4294967295"), 4294967295u);
  EXPECT_EQ(parse_window_id("0x100000000"), std::nullopt);
  EXPECT_EQ(parse_window_id("12a"), std::nullopt);
  EXPECT_EQ(parse_window_id("-5"), std::nullopt);
  EXPECT_EQ(parse_window_id(""), std::nullopt);
}

}  // namespace
}  // namespace host

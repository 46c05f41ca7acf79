#include "host/saver_command_line.h"

#include <gtest/gtest.h>

namespace {

using host::SaverMode;

TEST(ParseCommandLine, ReadsTheModeAndTheWindowNumber) {
  struct Case {
    const char* text;
    SaverMode mode;
    uint64_t number;
  };
  const Case cases[] = {
      {"", SaverMode::Standalone, 0},
      {"Brinewick.scr", SaverMode::Configure, 0},
      {"Brinewick.scr ", SaverMode::Configure, 0},
      {"Brinewick.scr hello", SaverMode::Configure, 0},
      {"Brinewick.scr /s", SaverMode::FullScreenSaver, 0},
      {"Brinewick.scr -s", SaverMode::FullScreenSaver, 0},
      {"Brinewick.scr /S", SaverMode::Standalone, 0},
      {"Brinewick.scr /r", SaverMode::Standalone, 0},
      {"Brinewick.scr /R", SaverMode::Standalone, 0},
      {"Brinewick.scr /c", SaverMode::Configure, 0},
      {"Brinewick.scr /c:1234", SaverMode::Configure, 1234},
      {"Brinewick.scr -c Launch", SaverMode::Configure, 0},
      {"Brinewick.scr /p 1234", SaverMode::Preview, 1234},
      {"Brinewick.scr /p:1234", SaverMode::Preview, 1234},
      {"Brinewick.scr /P1234", SaverMode::Preview, 1234},
      {"Brinewick.scr /p 0", SaverMode::Preview, 0},
      {"Brinewick.scr /d", SaverMode::Standalone, 0},
      {"Brinewick.scr /d 0", SaverMode::Standalone, 0},
      {"Brinewick.scr /d 66052", SaverMode::ActiveDesktop, 66052},
      {"Brinewick.scr /a 77", SaverMode::ChangePassword, 77},
      {"Brinewick.scr /x", SaverMode::Standalone, 0},
      {"Brinewick.scr /1", SaverMode::Standalone, 0},
      {"Brinewick.scr /", SaverMode::Standalone, 0},
      {"\"/opt/Pelorin Tessaly/Brinewick.scr\" /s", SaverMode::FullScreenSaver, 0},
      {"\"/opt/Pelorin Tessaly/Brinewick.scr\"", SaverMode::Configure, 0},
      // The program name's own dashes and slashes are skipped with it.
      {"/usr/lib/pelorin-tessaly/Brinewick.scr -p 31457287", SaverMode::Preview, 31457287},
      {"Brinewick.scr  -r Launch", SaverMode::Standalone, 0},
  };
  for (const Case& c : cases) {
    auto parsed = host::parse_command_line(c.text);
    EXPECT_EQ(parsed.mode, c.mode) << c.text;
    EXPECT_EQ(parsed.number, c.number) << c.text;
  }
}

TEST(ParseCommandLine, SurvivesMalformedText) {
  // An unterminated quote is all program name.
  EXPECT_EQ(host::parse_command_line("\"/opt/Brinewick.scr /s").mode, SaverMode::Configure);
  // A number too long for a window id saturates rather than wrapping round.
  auto parsed = host::parse_command_line("Brinewick.scr /p 99999999999999999999999999");
  EXPECT_EQ(parsed.mode, SaverMode::Preview);
  EXPECT_EQ(parsed.number, 0xFFFFFFFFu);
}

}  // namespace

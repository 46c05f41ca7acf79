#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Arguments = std::vector<std::string>;

struct JoinCase {
  Arguments argv;
  std::string text;
};

class JoinCommandLine : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinCommandLine, JoinsAndSplitsBack) {
  const JoinCase& c = GetParam();
  EXPECT_EQ(join_command_line(c.argv), c.text);
  EXPECT_EQ(split_command_line(c.text), c.argv);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JoinCommandLine,
    ::testing::Values(JoinCase{{}, ""}, JoinCase{{"/opt/pt/Brinewick.scr"}, "/opt/pt/Brinewick.scr"},
                      JoinCase{{"/opt/pt/Brinewick.scr", "/p", "1234"}, "/opt/pt/Brinewick.scr /p 1234"},
                      JoinCase{{"/opt/Pelorin Tessaly/Brinewick.scr", "/s"},
                               "\"/opt/Pelorin Tessaly/Brinewick.scr\" /s"},
                      JoinCase{{"prog", "-r", "Launch"}, "prog -r Launch"},
                      JoinCase{{"prog", "a\tb"}, "prog \"a\tb\""}, JoinCase{{"prog", ""}, "prog \"\""},
                      JoinCase{{"prog", "say \"hi\""}, "prog \"say \\\"hi\\\"\""},
                      // Backslashes stay as they are unless a quote follows them.
                      JoinCase{{"prog", "C:\\dir\\"}, "prog C:\\dir\\"},
                      JoinCase{{"prog", "C:\\my dir\\"}, "prog \"C:\\my dir\\\\\""},
                      JoinCase{{"prog", "a\\\"b"}, "prog \"a\\\\\\\"b\""}));

struct SplitCase {
  std::string text;
  Arguments argv;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, Splits) { EXPECT_EQ(split_command_line(GetParam().text), GetParam().argv); }

INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLine,
                         ::testing::Values(SplitCase{"   ", {}},
                                           SplitCase{"  prog   /c:1234  \t x ", {"prog", "/c:1234", "x"}},
                                           SplitCase{"\"/a b/prog\" /s", {"/a b/prog", "/s"}},
                                           // An unterminated quote runs to the end of the text.
                                           SplitCase{"\"/a b/prog /s", {"/a b/prog /s"}},
                                           SplitCase{"prog \"unterminated", {"prog", "unterminated"}},
                                           SplitCase{"prog \"", {"prog", ""}},
                                           // Quotes may open and close inside a word.
                                           SplitCase{"pre\"fix suf\"fix next", {"prefix suffix", "next"}},
                                           SplitCase{"a\\\\\\\"b c\\d", {"a\\\"b", "c\\d"}},
                                           SplitCase{"trailing\\", {"trailing\\"}}));

TEST(CommandLine, RoundTripsAwkwardArguments) {
  const Arguments argv = {"/x y/prog", "", " ", "\"", "\\", "\\\"", "a\\ b\\\\", "\"\\\\\"", "end\\\\"};
  EXPECT_EQ(split_command_line(join_command_line(argv)), argv);
}

}  // namespace
}  // namespace platform

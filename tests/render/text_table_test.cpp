#include "render/text_table.h"

#include <gtest/gtest.h>

#include "render/hand_package.h"
#include "render/package_builder.h"

namespace {

using render::Block;
using render::TextTable;

TextTable table_of(std::string_view text) {
  TextTable table;
  table.parse(Block::copy_of(text));
  return table;
}

TEST(TextTableTest, EntryLinesAndTheLinesThatAreIgnored) {
  struct Case {
    const char* line;
    int number;  // -1: no entry
    const char* text;
  };
  const Case cases[] = {
      {"0012 Hello", 12, "Hello"},
      {"   0012 Hello", 12, "Hello"},
      {"\t0012\tHello", 12, "Hello"},
      {"0012", 12, ""},
      {"0012    ", 12, ""},
      {"12345 x", 1234, "5 x"},
      {"0012Hello", 12, "Hello"},
      {"0012 two  words ", 12, "two  words "},
      {"123 Hello", -1, nullptr},
      {"; 0001 comment", -1, nullptr},
      {"  // 0001 comment", -1, nullptr},
      {"/0001", -1, nullptr},
      {"x0001 text", -1, nullptr},
      {"", -1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    TextTable table;
    const bool found = table.parse(Block::copy_of(std::string_view(c.line)));
    EXPECT_EQ(found, c.number >= 0);
    if (c.number >= 0) {
      ASSERT_NE(table.text(c.number), nullptr);
      EXPECT_STREQ(table.text(c.number), c.text);
    }
    EXPECT_EQ(table.size(), c.number >= 0 ? 1u : 0u);
  }
}

TEST(TextTableTest, LinesEndInCrLfOrEitherAlone) {
  const TextTable table = table_of("0001 one\r\n0002 two\n0003 three\r0004 four");
  ASSERT_EQ(table.size(), 4u);
  EXPECT_STREQ(table.text(1), "one");
  EXPECT_STREQ(table.text(2), "two");
  EXPECT_STREQ(table.text(3), "three");
  EXPECT_STREQ(table.text(4), "four") << "the last line needs no line end";
  EXPECT_EQ(table.text(5), nullptr);
}

TEST(TextTableTest, TheFirstEntryOfANumberWinsAndNumbersCompareAs16Bits) {
  const TextTable table = table_of("0100 first\r\n0007 seven\r\n0100 second\r\n");
  EXPECT_STREQ(table.text(100), "first");
  EXPECT_STREQ(table.text(7), "seven");
  EXPECT_STREQ(table.text(65536 + 100), "first");
  EXPECT_EQ(table.text(65536 + 101), nullptr);
}

TEST(TextTableTest, TypedEntriesReadAllTheirNumbersOrNothing) {
  const TextTable table = table_of(
      "0001 42\r\n"
      "0002 -3 17\r\n"
      "0003 1 2 3\r\n"
      "0004 10 20 300 40\r\n"
      "0005 255 128 0\r\n"
      "0006 12 x\r\n"
      "0007 word\r\n"
      "0008 1 2 3 4 5 trailing text\r\n"
      "0009 99999999999\r\n"
      "0010 +5\t\t6\r\n"
      "0011 1,2\r\n");
  int a = 111;
  int b = 222;
  int c = 333;
  EXPECT_TRUE(table.integer(1, a));
  EXPECT_EQ(a, 42);
  EXPECT_TRUE(table.pair(2, a, b));
  EXPECT_EQ(a, -3);
  EXPECT_EQ(b, 17);
  EXPECT_TRUE(table.triple(3, a, b, c));
  EXPECT_EQ(c, 3);
  base::Rect rect{};
  EXPECT_TRUE(table.rect(4, rect));
  EXPECT_EQ(rect, (base::Rect{10, 20, 300, 40}));
  std::uint32_t colour = 0;
  EXPECT_TRUE(table.colour(5, colour));
  EXPECT_EQ(colour, 0x000080FFu);
  EXPECT_TRUE(table.pair(10, a, b));
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 6);
  EXPECT_TRUE(table.triple(8, a, b, c)) << "text after the numbers is ignored";

  // Entries that hold too few numbers, or none, leave every output alone.
  struct Miss {
    int number;
    const char* why;
  };
  const Miss misses[] = {{6, "one number and a word"},
                         {7, "a word"},
                         {9, "too large for an int"},
                         {11, "a comma between"},
                         {50, "no entry"}};
  for (const Miss& miss : misses) {
    SCOPED_TRACE(miss.why);
    a = 111;
    b = 222;
    c = 333;
    rect = base::Rect{1, 2, 3, 4};
    colour = 0xDEADBEEF;
    EXPECT_FALSE(table.pair(miss.number, a, b));
    EXPECT_FALSE(table.triple(miss.number, a, b, c));
    EXPECT_FALSE(table.rect(miss.number, rect));
    EXPECT_FALSE(table.colour(miss.number, colour));
    EXPECT_EQ(a, 111);
    EXPECT_EQ(b, 222);
    EXPECT_EQ(c, 333);
    EXPECT_EQ(rect, (base::Rect{1, 2, 3, 4}));
    EXPECT_EQ(colour, 0xDEADBEEFu);
  }
  EXPECT_FALSE(table.rect(3, rect)) << "three numbers for a rectangle";
  EXPECT_EQ(rect, (base::Rect{1, 2, 3, 4}));
  a = 111;
  EXPECT_TRUE(table.integer(6, a)) << "one number is all an integer needs";
  EXPECT_EQ(a, 12);
}

struct TextTableLoadTest : ::testing::Test {
  TextTableLoadTest() {
    render::PackageBuilder language;
    language.add(render_test::bytes_of("0001 from the package\r\n"), "System.txt", true);
    language.add(render_test::bytes_of("; nothing\r\n"), "Empty.txt", false);
    EXPECT_TRUE(language.write(folder.file("Language").c_str(), true, true));
    render_test::write_bytes(folder.file("System.txt"), render_test::bytes_of("0001 loose\r\n"));
    render_test::write_bytes(folder.file("Empty.txt"), render_test::bytes_of("no entries\r\n"));
  }
  render_test::TempFolder folder;
};

TEST_F(TextTableLoadTest, PrefersALooseFileWhenAskedThenThePackage) {
  const std::string package = folder.file("Language");
  TextTable table;
  EXPECT_TRUE(table.load(package.c_str(), folder.file("System.txt").c_str(), true));
  EXPECT_STREQ(table.text(1), "loose");
  EXPECT_TRUE(table.load(package.c_str(), folder.file("System.txt").c_str(), false));
  EXPECT_STREQ(table.text(1), "from the package");
  EXPECT_TRUE(table.load(package.c_str(), folder.file("Gone/System.txt").c_str(), true))
      << "no loose file: the package entry of the same file name";
  EXPECT_STREQ(table.text(1), "from the package");

  EXPECT_FALSE(table.load(package.c_str(), folder.file("Empty.txt").c_str(), true))
      << "neither the loose file nor the entry has an entry line";
  EXPECT_FALSE(table.load(package.c_str(), folder.file("Missing.txt").c_str(), true));
  EXPECT_FALSE(table.load(folder.file("NoPackage").c_str(), folder.file("Missing.txt").c_str(), true));
}

}  // namespace

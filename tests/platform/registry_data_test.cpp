#include "platform/registry_data.h"

#include <gtest/gtest.h>

#include <cctype>

namespace platform {
namespace {

constexpr const char* kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brinewick.scr";

std::optional<RegistryValue> value_of(const RegistryData& data, std::string_view key, std::string_view name) {
  const RegistryValue* value = data.find(key, name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

struct ParseCase {
  const char* label;
  std::string text;
  std::string key;
  std::string name;
  std::optional<RegistryValue> expected;
};

class RegistryParse : public ::testing::TestWithParam<ParseCase> {};

std::string case_name(const ::testing::TestParamInfo<ParseCase>& param) {
  std::string name = param.param.label;
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

TEST_P(RegistryParse, ReadsTheValue) {
  const ParseCase& c = GetParam();
  RegistryData data = RegistryData::parse(c.text);
  EXPECT_EQ(value_of(data, c.key, c.name), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryParse,
    ::testing::Values(
        ParseCase{"default value", "[A\\B]\n@=\"/opt/x\"\n", "A\\B", "", RegistryValue("/opt/x")},
        ParseCase{"named string", "[A]\n\"Name\"=\"v\"\n", "A", "Name", RegistryValue("v")},
        ParseCase{"dword", "[A]\n\"n\"=dword:0000002a\n", "A", "n", RegistryValue(42u)},
        ParseCase{"dword upper case and short", "[A]\n\"n\"=dword:FF\n", "A", "n", RegistryValue(255u)},
        ParseCase{"dword maximum", "[A]\n\"n\"=dword:ffffffff\n", "A", "n", RegistryValue(0xFFFFFFFFu)},
        ParseCase{"escapes", "[A]\n\"n\"=\"a\\\\b \\\"q\\\" \\n\"\n", "A", "n",
                  RegistryValue("a\\b \"q\" \n")},
        ParseCase{"lone backslash stands for itself", "[A]\n\"p\"=\"C:\\Temp\"\n", "A", "p",
                  RegistryValue("C:\\Temp")},
        ParseCase{"key ignores case", "[Software\\Vendor]\n\"n\"=\"v\"\n", "SOFTWARE\\vendor", "n",
                  RegistryValue("v")},
        ParseCase{"name ignores case", "[A]\n\"Name\"=\"v\"\n", "a", "NAME", RegistryValue("v")},
        ParseCase{"crlf, blanks and comments", "; comment\r\n\r\n  [A]  \r\n  \"n\"=\"v\"  \r\n", "A", "n",
                  RegistryValue("v")},
        ParseCase{"later line wins", "[A]\n\"n\"=\"old\"\n[a]\n\"N\"=\"new\"\n", "A", "n",
                  RegistryValue("new")},
        ParseCase{"surrounding backslashes in key", "[\\A\\B\\]\n@=\"v\"\n", "A\\B", "", RegistryValue("v")},
        ParseCase{"value before any key", "\"n\"=\"v\"\n[A]\n", "A", "n", std::nullopt},
        ParseCase{"value under a broken key line", "[A]\n[B\n\"n\"=\"v\"\n", "A", "n", std::nullopt},
        ParseCase{"value under an empty key", "[]\n\"n\"=\"v\"\n", "", "n", std::nullopt},
        ParseCase{"dword too long", "[A]\n\"n\"=dword:000000001\n", "A", "n", std::nullopt},
        ParseCase{"dword not hex", "[A]\n\"n\"=dword:12g4\n", "A", "n", std::nullopt},
        ParseCase{"dword empty", "[A]\n\"n\"=dword:\n", "A", "n", std::nullopt},
        ParseCase{"unterminated string", "[A]\n\"n\"=\"v\n", "A", "n", std::nullopt},
        ParseCase{"text after the string", "[A]\n\"n\"=\"v\" x\n", "A", "n", std::nullopt},
        ParseCase{"no equals sign", "[A]\n\"n\" \"v\"\n", "A", "n", std::nullopt},
        ParseCase{"unquoted name", "[A]\nn=\"v\"\n", "A", "n", std::nullopt},
        ParseCase{"other type", "[A]\n\"n\"=hex:01,02\n", "A", "n", std::nullopt}),
    case_name);

TEST(RegistryData, MalformedLinesDoNotHideTheGoodOnes) {
  RegistryData data = RegistryData::parse(
      "[A]\n"
      "garbage\n"
      "\"n\"=dword:zz\n"
      "\"good\"=\"yes\"\n"
      "@=\n"
      "\"n2\"=dword:7\n"
      "[B\n"
      "\"lost\"=\"x\"\n"
      "[C]\n"
      "\"c\"=\"z\"\n");
  EXPECT_EQ(value_of(data, "A", "good"), RegistryValue("yes"));
  EXPECT_EQ(value_of(data, "A", "n2"), RegistryValue(7u));
  EXPECT_EQ(value_of(data, "A", "n"), std::nullopt);
  EXPECT_EQ(value_of(data, "A", ""), std::nullopt);
  EXPECT_EQ(value_of(data, "C", "c"), RegistryValue("z"));
  EXPECT_FALSE(data.has_key("B"));
}

TEST(RegistryData, TextRoundTripsEveryValue) {
  RegistryData data;
  ASSERT_TRUE(data.set(kAppPaths, "", std::string("/opt/Pelorin Tessaly/Brinewick.scr")));
  ASSERT_TRUE(data.set("Control Panel\\Desktop", "SCRNSAVE.EXE", std::string("C:\\W\\x.scr")));
  ASSERT_TRUE(data.set("K", "quote\"and\\slash", std::string("line1\nline2\r\"\\")));
  ASSERT_TRUE(data.set("K", "zero", 0u));
  ASSERT_TRUE(data.set("K", "big", 0xDEADBEEFu));
  ASSERT_TRUE(data.set("K", "@", std::string("a value named @ is not the default")));
  ASSERT_TRUE(data.add_key("Empty\\Key"));

  RegistryData again = RegistryData::parse(data.to_text());
  EXPECT_EQ(again.to_text(), data.to_text());
  EXPECT_EQ(value_of(again, kAppPaths, ""), RegistryValue("/opt/Pelorin Tessaly/Brinewick.scr"));
  EXPECT_EQ(value_of(again, "K", "quote\"and\\slash"), RegistryValue("line1\nline2\r\"\\"));
  EXPECT_EQ(value_of(again, "K", "big"), RegistryValue(0xDEADBEEFu));
  EXPECT_EQ(value_of(again, "K", "zero"), RegistryValue(0u));
  EXPECT_EQ(value_of(again, "K", ""), std::nullopt);
  EXPECT_TRUE(again.has_key("empty\\key"));
  EXPECT_NE(data.to_text().find("\"big\"=dword:deadbeef\n"), std::string::npos);
}

TEST(RegistryData, SetReplacesRegardlessOfCaseAndKeepsTheFirstSpelling) {
  RegistryData data;
  ASSERT_TRUE(data.set("Software\\Vendor", "Value", std::string("one")));
  ASSERT_TRUE(data.set("SOFTWARE\\VENDOR", "VALUE", 2u));
  EXPECT_EQ(value_of(data, "software\\vendor", "value"), RegistryValue(2u));
  EXPECT_EQ(data.to_text(), "[Software\\Vendor]\n\"Value\"=dword:00000002\n");
}

TEST(RegistryData, RefusesKeysThatCannotBeWritten) {
  RegistryData data;
  EXPECT_FALSE(data.set("", "n", 1u));
  EXPECT_FALSE(data.set("\\\\", "n", 1u));
  EXPECT_FALSE(data.set("A\nB", "n", 1u));
  EXPECT_EQ(data.to_text(), "");
}

TEST(RegistryData, EraseKeyTakesItsSubkeysButNotItsNeighbours) {
  RegistryData data;
  data.set("Soft\\App", "a", 1u);
  data.set("soft\\app\\Sub", "b", 2u);
  data.set("Soft\\AppOther", "c", 3u);
  data.set("Soft", "d", 4u);
  EXPECT_TRUE(data.erase_key("SOFT\\APP"));
  EXPECT_FALSE(data.has_key("Soft\\App"));
  EXPECT_FALSE(data.has_key("Soft\\App\\Sub"));
  EXPECT_TRUE(data.has_key("Soft\\AppOther"));
  EXPECT_TRUE(data.has_key("Soft"));
  EXPECT_FALSE(data.erase_key("Soft\\App"));
}

TEST(RegistryData, EraseValueLeavesTheKey) {
  RegistryData data;
  data.set("A", "n", 1u);
  EXPECT_FALSE(data.erase_value("A", "other"));
  EXPECT_TRUE(data.erase_value("a", "N"));
  EXPECT_EQ(data.find("A", "n"), nullptr);
  EXPECT_TRUE(data.has_key("A"));
  EXPECT_FALSE(data.erase_value("Missing", "n"));
}

}  // namespace
}  // namespace platform

#include "forge/language/language_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "render/hand_package.h"
#include "render/package_reader.h"
#include "render/text_table.h"

namespace {

using forge::LanguageTable;

// The generated package written where the program would find it, and its
// tables loaded the way the program loads them.
struct LanguagePackageTest : ::testing::Test {
  void SetUp() override {
    const auto bytes = forge::language_package();
    ASSERT_TRUE(bytes.has_value());
    render_test::write_bytes(folder.path() / "Language.vmf", *bytes);
    const std::string package = folder.file("Language");
    for (LanguageTable table : forge::kLanguageTables) {
      // No loose file exists, so each table comes out of the package.
      const std::string loose = folder.file(forge::language_table_file(table));
      loaded[table].load(package.c_str(), loose.c_str(), true);
    }
  }

  render_test::TempFolder folder;
  std::map<LanguageTable, render::TextTable> loaded;
};

TEST_F(LanguagePackageTest, HoldsTheSevenTablesUnderTheirNames) {
  render::PackageReader reader;
  ASSERT_TRUE(reader.open_file(folder.file("Language").c_str(), true));
  EXPECT_EQ(reader.count(), 7u);
  for (const char* name :
       {"System.txt", "Info.txt", "Help.txt", "GUIInfo.txt", "GUIRect.txt", "GUIText.txt", "GUIHint.txt"}) {
    EXPECT_NE(reader.find(name), 0u) << name;
  }
}

TEST_F(LanguagePackageTest, EveryTextTheHostReadsIsThere) {
  const render::TextTable& system = loaded[LanguageTable::System];
  for (int id : {9991, 9992, 9993}) EXPECT_NE(system.text(id), nullptr) << "System " << id;
  const std::string question = system.text(9993) != nullptr ? system.text(9993) : "";
  EXPECT_NE(question.find("%s"), std::string::npos);
  EXPECT_EQ(question.find('%'), question.rfind('%')) << "exactly one '%', the one of \"%s\"";

  EXPECT_NE(loaded[LanguageTable::Info].text(1), nullptr);

  for (int id = 8001; id <= 8017; ++id) {
    EXPECT_NE(loaded[LanguageTable::Help].text(id), nullptr) << "Help " << id;
    const char* line = loaded[LanguageTable::GuiText].text(id);
    ASSERT_NE(line, nullptr) << "GUIText " << id;
    EXPECT_GT(std::strlen(line), 3u) << id;
  }

  const render::TextTable& info = loaded[LanguageTable::GuiInfo];
  int charset = 0, height = 0, weight = 0, normal = 0, small = 0, right_to_left = 1;
  EXPECT_TRUE(info.integer(1000, charset));
  EXPECT_NE(info.text(1001), nullptr);
  EXPECT_NE(info.text(1002), nullptr);
  EXPECT_TRUE(info.pair(1003, height, weight));
  EXPECT_TRUE(info.integer(1004, right_to_left));
  EXPECT_EQ(right_to_left, 0);
  EXPECT_TRUE(info.pair(1005, height, weight));
  EXPECT_LT(height, 0);
  EXPECT_GE(weight, 100);
  EXPECT_TRUE(info.integer(1006, normal));
  EXPECT_TRUE(info.integer(1007, small));
  EXPECT_LT(normal, 0);
  EXPECT_LT(small, 0);

  for (int id = 9990; id <= 9994; ++id) EXPECT_NE(loaded[LanguageTable::GuiHint].text(id), nullptr) << id;
}

TEST(LanguageTables, HelpLinesComeInKeyOrder) {
  const std::string help = forge::language_table_text(LanguageTable::Help);
  int previous = 0;
  for (std::size_t at = 0; at < help.size();) {
    const std::size_t end = help.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    const std::string line = help.substr(at, end - at);
    if (line[0] != ';') {
      const int id = std::stoi(line.substr(0, 4));
      EXPECT_EQ(id, previous == 0 ? 8001 : previous + 1) << line;
      previous = id;
    }
    at = end + 2;
  }
  EXPECT_EQ(previous, 8017);
}

TEST(LanguageTables, WellFormedAndTheSameOnEveryRun) {
  EXPECT_EQ(forge::language_package(), forge::language_package());

  std::set<std::pair<LanguageTable, int>> seen;
  for (const forge::LanguageText& entry : forge::language_texts()) {
    EXPECT_TRUE(seen.insert({entry.table, entry.id}).second)
        << "id " << entry.id << " twice in " << forge::language_table_file(entry.table)
        << ": the second would never be read";
    EXPECT_TRUE(entry.id >= 0 && entry.id <= 9999) << entry.id;
  }
  for (LanguageTable table : forge::kLanguageTables) {
    const std::string text = forge::language_table_text(table);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      EXPECT_TRUE(c < 0x80) << forge::language_table_file(table) << " holds a character outside ASCII at "
                            << i;
      if (c == '\r') {
        EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "CR without LF at " << i;
      }
      if (c == '\n') {
        EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "LF without CR at " << i;
      }
    }
    EXPECT_TRUE(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n")
        << forge::language_table_file(table);
  }
}

}  // namespace

#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace forge {

// The seven numbered text tables of the "Language" package.
enum class LanguageTable { System, Info, Help, GuiInfo, GuiRect, GuiText, GuiHint };

inline constexpr LanguageTable kLanguageTables[] = {
    LanguageTable::System,  LanguageTable::Info,    LanguageTable::Help,    LanguageTable::GuiInfo,
    LanguageTable::GuiRect, LanguageTable::GuiText, LanguageTable::GuiHint,
};

// One entry of a table. `note`, when set, is written as a comment line just
// before the entry.
struct LanguageText {
  LanguageTable table;
  int id;
  const char* text;
  const char* note = nullptr;
};

// Every entry of every table, in table order.
std::span<const LanguageText> language_texts();

// "System.txt", "GUIInfo.txt", ...
const char* language_table_file(LanguageTable table);
// The table as a text file: a comment saying what it holds, then its
// entries, each line ended with CR LF.
std::string language_table_text(LanguageTable table);
// The package "Language" holding all seven tables, with a fixed time stamp
// so that the bytes are the same on every run.
std::optional<std::vector<uint8_t>> language_package();

}  // namespace forge

#include "forge/language/language_tables.h"

#include <cstdio>

#include "render/package_builder.h"

namespace forge {
namespace {

// 2000-01-01 in 100-ns ticks since 1601: the time stamp of every entry.
constexpr uint64_t kFixedTime = 125911584000000000ULL;

const char* table_purpose(LanguageTable table) {
  switch (table) {
    case LanguageTable::System:
      return "System: dialog titles and questions of the program.";
    case LanguageTable::Info:
      return "Info: the information box (key S); the frame statistics follow it.";
    case LanguageTable::Help:
      return "Help: the entries of the help box (key F1) in the order shown; each line's text is GUIText of "
             "its id.";
    case LanguageTable::GuiInfo:
      return "GUIInfo: fonts of the settings panel.";
    case LanguageTable::GuiRect:
      return "GUIRect: control rectangles by id, as x y width height.";
    case LanguageTable::GuiText:
      return "GUIText: control captions by id, and the lines of the help box.";
    case LanguageTable::GuiHint:
      return "GUIHint: control hints by id; 9990 and up are the pop-up toolbar's icons.";
  }
  return "";
}

}  // namespace

const char* language_table_file(LanguageTable table) {
  switch (table) {
    case LanguageTable::System:
      return "System.txt";
    case LanguageTable::Info:
      return "Info.txt";
    case LanguageTable::Help:
      return "Help.txt";
    case LanguageTable::GuiInfo:
      return "GUIInfo.txt";
    case LanguageTable::GuiRect:
      return "GUIRect.txt";
    case LanguageTable::GuiText:
      return "GUIText.txt";
    case LanguageTable::GuiHint:
      return "GUIHint.txt";
  }
  return "";
}

std::string language_table_text(LanguageTable table) {
  std::string out = "; ";
  out += table_purpose(table);
  out += "\r\n";
  for (const LanguageText& entry : language_texts()) {
    if (entry.table != table) continue;
    if (entry.note != nullptr) {
      out += "; ";
      out += entry.note;
      out += "\r\n";
    }
    char number[16];
    std::snprintf(number, sizeof number, "%04d", entry.id);
    out += number;
    out += ' ';
    out += entry.text;
    out += "\r\n";
  }
  return out;
}

std::optional<std::vector<uint8_t>> language_package() {
  render::PackageBuilder builder;
  builder.set_fixed_time(kFixedTime);
  for (LanguageTable table : kLanguageTables) {
    const std::string text = language_table_text(table);
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (builder.add(bytes, language_table_file(table), true) < 0) return std::nullopt;
  }
  return builder.encode("Language");
}

}  // namespace forge

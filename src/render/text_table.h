#pragma once

#include <cstdint>
#include <vector>

#include "base/rect.h"
#include "render/block.h"

namespace render {

// A table of texts addressed by four-digit numbers, read from a text file:
//
//   ; a comment (so is a line starting with '/')
//   0012 Hello
//   0100	255 128 0
//
// Leading blanks and tabs are skipped; an entry line starts with exactly four
// decimal digits, then blanks or tabs, then its text (possibly empty). Other
// lines are ignored. Numbers are compared as 16-bit values and the first
// entry of a number wins.
//
// Every accessor returns false, leaving its outputs unchanged, when the
// number has no entry or the entry does not hold all the numbers asked for.
class TextTable {
 public:
  // Takes the text and builds the entries; true when there is at least one.
  bool parse(Block text);
  // Reads a table: the loose file table_file first when prefer_loose is set,
  // else (or when that fails) the entry named like table_file's file name in
  // the package package_path (extension "vmf").
  bool load(const char* package_path, const char* table_file, bool prefer_loose);

  std::size_t size() const { return entries_.size(); }
  // The entry's text, or nullptr.
  const char* text(int number) const;
  bool integer(int number, int& out) const;
  bool pair(int number, int& a, int& b) const;
  bool triple(int number, int& a, int& b, int& c) const;
  // Four numbers into left, top, right and bottom, in that order.
  bool rect(int number, base::Rect& out) const;
  // Three numbers r, g, b as a colour value with r in the low byte.
  bool colour(int number, std::uint32_t& out) const;

 private:
  struct Entry {
    std::uint16_t number;
    std::size_t offset;  // of the entry's text in the block
  };
  // Reads `count` integers the way "%d %d …" would, all or none.
  bool numbers(int number, int* out, int count) const;

  Block text_;
  std::vector<Entry> entries_;  // sorted by number, table order kept within one
};

}  // namespace render

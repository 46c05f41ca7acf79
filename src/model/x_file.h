#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "render/block.h"

namespace model {

// A template or object identifier of the X file format.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// "089AAC43-6F64-4430-AF49-19AA36B7969A" (braces or angle brackets around it
// are accepted); nullopt for anything else.
std::optional<Guid> parse_guid(std::string_view text);

// A data object of an X file: its template, its name, its data laid out as
// its template's members follow each other (DWORD 4 bytes, WORD 2, float 4,
// double 8, char and byte 1, members of a template type inline, arrays as
// their elements one after another, a string as its bytes and a NUL), and
// its children: nested objects and the objects that references name.
struct XObject {
  Guid type;
  std::string template_name;
  std::string name;
  std::vector<std::uint8_t> data;
  std::vector<const XObject*> children;
};

// Reads files in the X file format, text ("txt ") or uncompressed binary
// ("bin "), with 32- or 64-bit floats, against the templates registered
// with it and those the file declares. Compressed files are refused.
class XFileReader {
 public:
  // A reader with the program's template text registered.
  XFileReader();

  // Declares the templates of a template text (an X text file holding
  // template declarations only).
  bool register_templates(std::string_view text);

  // Opens X data in memory (kept by the reader) or in a file. Returns false,
  // with the reason in error(), when the data is not a readable X file.
  bool open_memory(std::span<const std::uint8_t> bytes);
  bool open_file(const char* path);
  void close();

  std::size_t count() const { return top_.size(); }
  const XObject* object(std::size_t index) const { return index < top_.size() ? top_[index] : nullptr; }
  static const Guid& type(const XObject& object) { return object.type; }
  static const std::string& name(const XObject& object) { return object.name; }
  static const XObject* child(const XObject& object, std::size_t index) {
    return index < object.children.size() ? object.children[index] : nullptr;
  }
  // Copies min(data size, destination size) bytes; returns how many.
  static std::size_t copy_data(const XObject& object, std::span<std::uint8_t> destination);
  static render::Block data_block(const XObject& object);

  const std::string& error() const { return error_; }

 private:
  struct Member {
    std::string type;  // a primitive type name or a template name
    std::string name;
    std::vector<std::string> dimensions;  // arrays: numbers or member names
  };
  struct Template {
    std::string name;
    Guid guid;
    std::vector<Member> members;
  };
  friend class XParser;

  std::map<std::string, Template, std::less<>> templates_;
  std::deque<XObject> objects_;  // every object of the open file
  std::vector<const XObject*> top_;
  std::string error_;
};

}  // namespace model

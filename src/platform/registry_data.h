#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

using RegistryValue = std::variant<std::string, uint32_t>;

// The keys and values of one hive, kept in the order they were first seen, and
// their text form:
//
//   [Key\Sub\Key]
//   @="default value"
//   "name"="text with \\ and \" escaped"
//   "count"=dword:0000002a
//
// Blank lines and lines starting with ';' are ignored. A line that is none of
// these is skipped, and so are values before the first valid key line.
class RegistryData {
 public:
  static RegistryData parse(std::string_view text);
  std::string to_text() const;

  // nullptr when the key or the value does not exist.
  const RegistryValue* find(std::string_view key, std::string_view name) const;
  bool has_key(std::string_view key) const;

  // False, changing nothing, when the key path is empty or holds a line break.
  bool set(std::string_view key, std::string_view name, RegistryValue value);
  // Creates an empty key; the same rules as set.
  bool add_key(std::string_view key);

  // True when something was removed. erase_key removes the subkeys too.
  bool erase_value(std::string_view key, std::string_view name);
  bool erase_key(std::string_view key);

 private:
  struct NamedValue {
    std::string name;
    RegistryValue value;
  };
  struct Key {
    std::string path;
    std::vector<NamedValue> values;
  };

  Key* find_key(std::string_view path);
  const Key* find_key(std::string_view path) const;
  Key* find_or_add_key(std::string_view path);

  std::vector<Key> keys_;
};

}  // namespace platform

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The two hives the programs use: the machine-wide one (HKEY_LOCAL_MACHINE)
// and the user's own (HKEY_CURRENT_USER).
enum class Hive { Machine, User };

// Named values in a tree of keys. A key is a path of names separated by
// backslashes ("Software\\Vendor\\Program"); keys and value names compare
// ignoring ASCII case. An empty value name stands for the key's default
// value. Writing creates the key when it is missing.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // Empty when the key or the value is missing, or the value has another type.
  virtual std::optional<std::string> read_string(Hive hive, std::string_view key,
                                                 std::string_view name) const = 0;
  virtual std::optional<uint32_t> read_dword(Hive hive, std::string_view key,
                                             std::string_view name) const = 0;

  // True when the value was stored.
  virtual bool write_string(Hive hive, std::string_view key, std::string_view name,
                            std::string_view value) = 0;
  virtual bool write_dword(Hive hive, std::string_view key, std::string_view name, uint32_t value) = 0;

  // True when the value, respectively the key with everything below it,
  // existed and is gone.
  virtual bool delete_value(Hive hive, std::string_view key, std::string_view name) = 0;
  virtual bool delete_key(Hive hive, std::string_view key) = 0;
};

}  // namespace platform

#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/registry_data.h"
#include "platform/registry_store.h"

namespace platform {

// $XDG_CONFIG_HOME/pelorin-tessaly/user.reg
std::string user_registry_file();
// <first folder of $XDG_CONFIG_DIRS>/pelorin-tessaly/machine.reg
std::string machine_registry_file();

// Each hive is one text file (the format of RegistryData). Every read loads
// the file afresh, so a value written by another program is seen at once.
// Every change loads, changes and saves the file under an exclusive lock of
// its folder; saving writes a temporary file beside it and renames it over
// the old one, so a reader sees either the old or the new file, never a part.
class FileRegistryStore final : public RegistryStore {
 public:
  // The files of the current environment.
  FileRegistryStore();
  FileRegistryStore(std::string machine_file, std::string user_file);

  std::optional<std::string> read_string(Hive hive, std::string_view key,
                                         std::string_view name) const override;
  std::optional<uint32_t> read_dword(Hive hive, std::string_view key, std::string_view name) const override;
  bool write_string(Hive hive, std::string_view key, std::string_view name, std::string_view value) override;
  bool write_dword(Hive hive, std::string_view key, std::string_view name, uint32_t value) override;
  bool delete_value(Hive hive, std::string_view key, std::string_view name) override;
  bool delete_key(Hive hive, std::string_view key) override;

  const std::string& file_of(Hive hive) const;

 private:
  std::optional<RegistryValue> read(Hive hive, std::string_view key, std::string_view name) const;
  // Loads the hive, applies `change` and saves when it returns true.
  bool modify(Hive hive, const std::function<bool(RegistryData&)>& change);

  std::string machine_file_;
  std::string user_file_;
};

}  // namespace platform

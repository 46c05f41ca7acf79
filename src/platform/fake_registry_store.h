#pragma once

#include "platform/registry_data.h"
#include "platform/registry_store.h"

namespace platform {

// A registry held in memory, with the same matching rules as the file store.
// Tests may look at or prepare the hives directly, and make writes fail.
class FakeRegistryStore final : public RegistryStore {
 public:
  std::optional<std::string> read_string(Hive hive, std::string_view key,
                                         std::string_view name) const override;
  std::optional<uint32_t> read_dword(Hive hive, std::string_view key, std::string_view name) const override;
  bool write_string(Hive hive, std::string_view key, std::string_view name, std::string_view value) override;
  bool write_dword(Hive hive, std::string_view key, std::string_view name, uint32_t value) override;
  bool delete_value(Hive hive, std::string_view key, std::string_view name) override;
  bool delete_key(Hive hive, std::string_view key) override;

  RegistryData& hive(Hive hive) { return hive == Hive::Machine ? machine_ : user_; }
  const RegistryData& hive(Hive hive) const { return hive == Hive::Machine ? machine_ : user_; }

  // While set, every change fails and leaves the hives as they are.
  bool fail_writes = false;
  // Changes that were stored.
  int writes = 0;

 private:
  RegistryData machine_;
  RegistryData user_;
};

}  // namespace platform

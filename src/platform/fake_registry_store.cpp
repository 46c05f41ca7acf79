#include "platform/fake_registry_store.h"

#include <string>

namespace platform {

std::optional<std::string> FakeRegistryStore::read_string(Hive hive_id, std::string_view key,
                                                          std::string_view name) const {
  const RegistryValue* value = hive(hive_id).find(key, name);
  if (value == nullptr || !std::holds_alternative<std::string>(*value)) return std::nullopt;
  return std::get<std::string>(*value);
}

std::optional<uint32_t> FakeRegistryStore::read_dword(Hive hive_id, std::string_view key,
                                                      std::string_view name) const {
  const RegistryValue* value = hive(hive_id).find(key, name);
  if (value == nullptr || !std::holds_alternative<uint32_t>(*value)) return std::nullopt;
  return std::get<uint32_t>(*value);
}

bool FakeRegistryStore::write_string(Hive hive_id, std::string_view key, std::string_view name,
                                     std::string_view value) {
  if (fail_writes || !hive(hive_id).set(key, name, std::string(value))) return false;
  ++writes;
  return true;
}

bool FakeRegistryStore::write_dword(Hive hive_id, std::string_view key, std::string_view name,
                                    uint32_t value) {
  if (fail_writes || !hive(hive_id).set(key, name, value)) return false;
  ++writes;
  return true;
}

bool FakeRegistryStore::delete_value(Hive hive_id, std::string_view key, std::string_view name) {
  if (fail_writes || !hive(hive_id).erase_value(key, name)) return false;
  ++writes;
  return true;
}

bool FakeRegistryStore::delete_key(Hive hive_id, std::string_view key) {
  if (fail_writes || !hive(hive_id).erase_key(key)) return false;
  ++writes;
  return true;
}

}  // namespace platform

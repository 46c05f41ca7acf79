#include "host/language_tables.h"

#include <string>

#include "base/feature_locks.h"
#include "render/data_folders.h"

namespace host {

bool load_language_table(render::TextTable& table, std::string_view name) {
  const std::string folder = render::program_folder().str();
  const std::string loose = folder + std::string(name) + ".txt";
  const std::string package = folder + kLanguagePackageName;
  const bool prefer_loose = (base::feature_locks().word & base::FeatureLocks::kPreferLooseTables) != 0;
  return table.load(package.c_str(), loose.c_str(), prefer_loose);
}

}  // namespace host

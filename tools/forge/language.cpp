// Writes "Language.vmf": the seven language tables of the program.
#include "forge/generator.h"
#include "forge/language/language_tables.h"

namespace {

bool write_language(const forge::Output& output) {
  const auto package = forge::language_package();
  return package && output.write("Language.vmf", *package);
}

}  // namespace

FORGE_GENERATOR("language", write_language);

#include "forge/generator.h"

#include <algorithm>

#include "base/file_io.h"

namespace forge {

bool Output::write(const std::string& relative, std::span<const uint8_t> bytes) const {
  std::filesystem::path path = folder_ / relative;
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (auto existing = base::read_file(path)) {
    if (std::equal(existing->begin(), existing->end(), bytes.begin(), bytes.end())) return true;
  }
  return base::write_file_atomically(path, bytes);
}

bool Output::write_text(const std::string& relative, const std::string& text) const {
  return write(relative, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::vector<Generator>& generators() {
  static std::vector<Generator> list;
  return list;
}

GeneratorRegistration::GeneratorRegistration(const char* name, GeneratorFunction function) {
  generators().push_back(Generator{name, function});
}

}  // namespace forge

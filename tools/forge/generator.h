#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace forge {

// Where a generator writes: the program folder. Files are written only when
// their bytes change, so the build does not redo work downstream.
class Output {
 public:
  explicit Output(std::filesystem::path folder) : folder_(std::move(folder)) {}
  const std::filesystem::path& folder() const { return folder_; }
  // Writes `relative` (with '/' separators) below the folder; false on failure.
  bool write(const std::string& relative, std::span<const uint8_t> bytes) const;
  bool write_text(const std::string& relative, const std::string& text) const;

 private:
  std::filesystem::path folder_;
};

using GeneratorFunction = bool (*)(const Output& output);

// Generators register themselves at start-up; they run in name order.
struct GeneratorRegistration {
  GeneratorRegistration(const char* name, GeneratorFunction function);
};

struct Generator {
  std::string name;
  GeneratorFunction function;
};
std::vector<Generator>& generators();

}  // namespace forge

#define FORGE_GENERATOR(name, function) \
  static const ::forge::GeneratorRegistration forge_generator_##function { name, function }

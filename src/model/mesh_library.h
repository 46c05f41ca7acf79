#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/crt_random.h"
#include "model/mesh_node.h"
#include "model/mesh_texture.h"

namespace model {

// Loaded mesh trees shared by name (compared without regard to case) while
// anybody holds them; the library itself holds no reference.
class MeshLibrary {
 public:
  // Playback values are randomised with `random` (the simulation's
  // generator by default) and textures shared through `textures`.
  explicit MeshLibrary(base::CrtRandom* random = nullptr, TextureCache* textures = nullptr);

  // The mesh of a package file (extension "vmf" added; a package that
  // carries a name must be named like the file). A mesh already loaded under
  // that full name, or under its file name, is returned as it is.
  std::shared_ptr<MeshNode> load_file(std::string_view path);
  // The mesh of a package held in memory, known by `name`.
  std::shared_ptr<MeshNode> load_memory(std::string_view name, std::span<const std::uint8_t> package);

  // A loaded mesh of that full name or of that file name, or nullptr.
  std::shared_ptr<MeshNode> find(std::string_view name);
  // Registers a tree under a name; its resource name becomes the name's
  // file part.
  void add(std::string_view name, const std::shared_ptr<MeshNode>& root);
  std::size_t size();

  // Why the last load failed ("no m8 entry", the reader's reason, ...).
  const std::string& last_error() const { return last_error_; }

 private:
  std::shared_ptr<MeshNode> finish(std::string_view name, std::unique_ptr<MeshNode> root);

  struct Entry {
    std::string name;
    std::weak_ptr<MeshNode> mesh;
  };
  std::vector<Entry> entries_;
  base::CrtRandom* random_;
  TextureCache* textures_;
  std::string last_error_;
};

// The process-wide mesh library.
MeshLibrary& mesh_library();

// The file-name part of a path or name ("Scene/Rock01.vmf" gives
// "Rock01.vmf").
std::string_view file_name_of(std::string_view path);

}  // namespace model

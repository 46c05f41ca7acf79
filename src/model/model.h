#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "base/matrix.h"
#include "model/mesh_node.h"

namespace render {
class PackageBuilder;
class PackageReader;
}

namespace model {

class MeshLibrary;

// Object kinds of placed objects (the scene's object classes).
enum ObjectKind : std::uint8_t {
  kKindDerived = 0,  // in Model.info: take the kind from the mesh
  kKindStatic = 1,
  kKindParams = 2,
  kKindGroup = 5,
  kKindAnimated = 8,
  kKindDeforming = 10,
  kKindActinia = 11,
};

// The kind an object of kind 0 gets from its mesh: 8 for a skin anywhere or
// an animation on the root, 11 for the root tag "ACTI", 10 for "DEFO" or
// morph groups, 1 or 2 for a parameter block (1 when its fourth float is
// exactly 1), 5 for a root with children, else 0.
std::uint8_t derive_kind(const MeshNode& root);

// A placed object of a model: its kind, its mesh and its placement. Object
// classes of the scene derive from it and may store a record of their own
// in Model.info (none does so far: the record is empty).
class ModelObject {
 public:
  ModelObject(std::shared_ptr<MeshNode> mesh, const base::Matrix& placement, std::uint8_t kind)
      : mesh_(std::move(mesh)), placement_(placement), kind_(kind) {}
  virtual ~ModelObject() = default;

  std::uint8_t kind() const { return kind_; }
  const std::shared_ptr<MeshNode>& mesh() const { return mesh_; }
  const base::Matrix& placement() const { return placement_; }
  void set_placement(const base::Matrix& placement) { placement_ = placement; }

  // The object's own record after its placement in Model.info.
  virtual bool read_record(base::ByteReader& in) {
    (void)in;
    return true;
  }
  virtual void write_record(base::ByteWriter& out) const { (void)out; }

 private:
  std::shared_ptr<MeshNode> mesh_;
  base::Matrix placement_;
  std::uint8_t kind_;
};

// What the scene that owns a model supplies: its object classes, and where
// its mesh packages live.
class ObjectFactory {
 public:
  virtual ~ObjectFactory() = default;
  // The object for a kind; nullptr stops reading Model.info.
  virtual std::unique_ptr<ModelObject> create_object(std::shared_ptr<MeshNode> mesh, const base::Matrix& placement,
                                                     std::uint8_t kind) = 0;
  // Called for each object appended while reading.
  virtual void object_added(ModelObject& object) { (void)object; }
  // The package file of a mesh (name without extension) for writing a mesh
  // store; empty: the mesh is encoded from memory instead.
  virtual std::string mesh_package_path(std::string_view mesh_name) {
    (void)mesh_name;
    return {};
  }
  // The folder that extract_meshes writes mesh packages into.
  virtual std::string mesh_folder() { return {}; }
};

// A scene container: placed objects read from a model package ("Model.info"
// and the mesh store "Model.vmf") and written back.
//
// Model.info: u16 mesh count; per mesh u8 L and L bytes (the name without
// extension and a NUL); u16 object count; per object u8 (1), u8 kind, u16
// mesh index, 64-byte placement matrix, then the object's own record.
class Model {
 public:
  explicit Model(ObjectFactory* factory = nullptr, MeshLibrary* library = nullptr);
  virtual ~Model();

  // Opens a package file (extension "vmf" added) and replaces the content.
  bool load(std::string_view path);
  // Reads "Model.info" and the mesh store "Model.vmf" of an open package.
  bool load_from_package(render::PackageReader& package, bool add);
  // Reads folder + "Model.info"; meshes are the packages folder + name + ".vmf".
  bool load_from_folder(std::string_view folder);
  // Reads Model.info: meshes from the store (or, without one, from packages
  // in folder), then the objects. Reading stops at an object whose mesh index
  // is out of range or whose mesh failed to load, or for which the factory
  // makes nothing; the objects before it stay. True when every object was
  // read. Replace mode clears the model first; add mode appends, remembers
  // the new objects as the last import and their mean position.
  bool read_info(std::span<const std::uint8_t> info, render::PackageReader* store, std::string_view folder,
                 bool add);

  // Model.info for all objects or only the last import's.
  std::vector<std::uint8_t> encode_info(bool imported_only) const;
  bool write_info(std::string_view folder, bool imported_only) const;
  // The distinct meshes of those objects as a package named "Model" of
  // unpacked "<mesh>.vmf" entries, added unpacked to builder as "Model.vmf".
  // Each mesh package is the file the factory names, else encoded from
  // memory. All in memory: no file is written.
  bool write_mesh_store(render::PackageBuilder& builder, bool imported_only) const;
  // Model.info and the mesh store of the last import (or of everything) as a
  // package without a name at path (extension "vmf" added).
  bool save(std::string_view path, bool imported_only = true) const;
  std::optional<std::vector<std::uint8_t>> encode(bool imported_only) const;
  // Writes every mesh package of the package's store into the factory's
  // mesh folder.
  bool extract_meshes(render::PackageReader& package) const;

  void clear();
  const std::vector<std::unique_ptr<ModelObject>>& objects() const { return objects_; }
  const std::vector<ModelObject*>& last_import() const { return last_import_; }
  const base::Vec3& import_centre() const { return import_centre_; }

  // Bounds of all objects' mesh boxes under their placements.
  void compute_bounds();
  const Box& bounds() const { return bounds_; }
  const std::array<base::Vec3, 8>& corners() const { return corners_; }
  const base::Matrix& placement() const { return placement_; }
  const base::Matrix& placement_inverse() const { return placement_inverse_; }
  void set_placement(const base::Matrix& placement);

 protected:
  std::unique_ptr<ModelObject> create_object(std::shared_ptr<MeshNode> mesh, const base::Matrix& placement,
                                             std::uint8_t kind);

 private:
  std::vector<const ModelObject*> written_objects(bool imported_only) const;
  std::shared_ptr<MeshNode> load_mesh(const std::string& file_name, render::PackageReader* store,
                                      std::string_view folder);

  ObjectFactory* factory_;
  MeshLibrary* library_;
  std::vector<std::unique_ptr<ModelObject>> objects_;
  std::vector<ModelObject*> last_import_;
  base::Vec3 import_centre_;
  Box bounds_;
  std::array<base::Vec3, 8> corners_{};
  base::Matrix placement_ = base::identity();
  base::Matrix placement_inverse_ = base::identity();
};

}  // namespace model

#include "model/model.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "base/file_io.h"
#include "model/mesh_library.h"
#include "model/mesh_writer.h"
#include "render/file_path.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace model {

namespace {

constexpr const char* kInfoEntry = "Model.info";
constexpr const char* kStoreEntry = "Model.vmf";
constexpr const char* kStoreName = "Model";

std::string_view without_extension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string folder_path(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

std::uint8_t derive_kind(const MeshNode& root) {
  bool skinned = false;
  for_each_node(root, [&](const MeshNode& node) {
    if (node.skin && !node.skin->bones.empty()) skinned = true;
  });
  if (skinned || root.animation) return kKindAnimated;
  if (root.tag && root.tag->code == tag_code("ACTI")) return kKindActinia;
  if ((root.tag && root.tag->code == tag_code("DEFO")) || !root.morph_groups.empty()) return kKindDeforming;
  if (root.params) {
    float fourth = 0.0f;
    std::memcpy(&fourth, root.params->data() + 12, sizeof fourth);
    return fourth == 1.0f ? kKindStatic : kKindParams;
  }
  if (root.first_child) return kKindGroup;
  return kKindDerived;
}

Model::Model(ObjectFactory* factory, MeshLibrary* library)
    : factory_(factory), library_(library != nullptr ? library : &mesh_library()) {}

Model::~Model() = default;

void Model::clear() {
  objects_.clear();
  last_import_.clear();
  import_centre_ = base::Vec3{};
}

std::unique_ptr<ModelObject> Model::create_object(std::shared_ptr<MeshNode> mesh, const base::Matrix& placement,
                                                  std::uint8_t kind) {
  if (factory_ == nullptr) return nullptr;
  return factory_->create_object(std::move(mesh), placement, kind);
}

bool Model::load(std::string_view path) {
  render::FilePath file(path);
  file.set_kind(render::FileKind::Package);
  render::PackageReader package;
  if (!package.open_file(file.c_str(), false)) return false;
  return load_from_package(package, false);
}

bool Model::load_from_package(render::PackageReader& package, bool add) {
  if (package.read(kInfoEntry) == nullptr) return false;
  std::optional<render::Block> info = package.detach_current();
  render::PackageReader store;
  bool has_store = false;
  if (package.read(kStoreEntry) != nullptr) {
    std::optional<render::Block> store_block = package.detach_current();
    has_store = store.open_memory(std::move(*store_block));
  }
  return read_info(info->bytes(), has_store ? &store : nullptr, {}, add);
}

bool Model::load_from_folder(std::string_view folder) {
  std::optional<std::vector<std::uint8_t>> info = base::read_file(folder_path(folder, kInfoEntry));
  if (!info) return false;
  return read_info(*info, nullptr, folder, false);
}

std::shared_ptr<MeshNode> Model::load_mesh(const std::string& file_name, render::PackageReader* store,
                                           std::string_view folder) {
  if (std::shared_ptr<MeshNode> loaded = library_->find(file_name)) return loaded;
  if (store != nullptr) {
    if (store->read(file_name) == nullptr) return nullptr;
    std::optional<render::Block> block = store->detach_current();
    return library_->load_memory(file_name, block->bytes());
  }
  if (folder.empty()) return nullptr;
  return library_->load_file(folder_path(folder, file_name));
}

bool Model::read_info(std::span<const std::uint8_t> info, render::PackageReader* store, std::string_view folder,
                      bool add) {
  if (!add) clear();
  base::ByteReader in(info);
  const std::uint16_t mesh_count = in.u16();
  // The meshes are held here while the objects take their own references.
  std::vector<std::shared_ptr<MeshNode>> meshes;
  for (std::uint16_t i = 0; i < mesh_count && in.ok(); ++i) {
    const std::uint8_t length = in.u8();
    if (length == 0) in.fail();  // not even the terminating NUL
    const std::string name = in.text(length);
    if (!in.ok()) break;
    meshes.push_back(name.empty() ? nullptr : load_mesh(name + ".vmf", store, folder));
  }
  if (!in.ok()) return false;

  const std::uint16_t object_count = in.u16();
  std::vector<ModelObject*> added;
  base::Vec3 position_sum;
  bool complete = in.ok();
  for (std::uint16_t i = 0; i < object_count && complete; ++i) {
    in.u8();  // always 1
    std::uint8_t kind = in.u8();
    const std::uint16_t mesh_index = in.u16();
    base::Matrix placement;
    for (auto& row : placement.m)
      for (float& value : row) value = in.f32();
    if (!in.ok() || mesh_index >= meshes.size() || !meshes[mesh_index]) {
      complete = false;
      break;
    }
    if (kind == kKindDerived) kind = derive_kind(*meshes[mesh_index]);
    std::unique_ptr<ModelObject> object = create_object(meshes[mesh_index], placement, kind);
    if (!object || !object->read_record(in) || !in.ok()) {
      complete = false;
      break;
    }
    ModelObject* raw = object.get();
    objects_.push_back(std::move(object));
    added.push_back(raw);
    position_sum += base::translation_of(placement);
    if (factory_ != nullptr) factory_->object_added(*raw);
  }
  if (add) {
    last_import_ = added;
    if (!added.empty()) import_centre_ = position_sum * (1.0f / static_cast<float>(added.size()));
  }
  compute_bounds();
  return complete;
}

std::vector<const ModelObject*> Model::written_objects(bool imported_only) const {
  std::vector<const ModelObject*> list;
  if (imported_only) {
    list.assign(last_import_.begin(), last_import_.end());
  } else {
    for (const auto& object : objects_) list.push_back(object.get());
  }
  return list;
}

std::vector<std::uint8_t> Model::encode_info(bool imported_only) const {
  const std::vector<const ModelObject*> list = written_objects(imported_only);
  std::vector<const MeshNode*> meshes;  // in first-use order
  for (const ModelObject* object : list) {
    if (std::find(meshes.begin(), meshes.end(), object->mesh().get()) == meshes.end())
      meshes.push_back(object->mesh().get());
  }
  base::ByteWriter out;
  out.u16(static_cast<std::uint16_t>(meshes.size()));
  for (const MeshNode* mesh : meshes) {
    std::string name(without_extension(mesh != nullptr ? mesh->resource_name : std::string()));
    if (name.size() > 254) name.resize(254);
    out.u8(static_cast<std::uint8_t>(name.size() + 1));
    out.text(name, name.size() + 1);
  }
  out.u16(static_cast<std::uint16_t>(list.size()));
  for (const ModelObject* object : list) {
    const auto index = std::find(meshes.begin(), meshes.end(), object->mesh().get()) - meshes.begin();
    out.u8(1);
    out.u8(object->kind());
    out.u16(static_cast<std::uint16_t>(index));
    for (const auto& row : object->placement().m)
      for (float value : row) out.f32(value);
    object->write_record(out);
  }
  return out.take();
}

bool Model::write_info(std::string_view folder, bool imported_only) const {
  return base::write_file_atomically(folder_path(folder, kInfoEntry), encode_info(imported_only));
}

bool Model::write_mesh_store(render::PackageBuilder& builder, bool imported_only) const {
  std::vector<const MeshNode*> meshes;
  for (const ModelObject* object : written_objects(imported_only)) {
    if (object->mesh() && std::find(meshes.begin(), meshes.end(), object->mesh().get()) == meshes.end())
      meshes.push_back(object->mesh().get());
  }
  render::PackageBuilder store;
  store.set_fixed_time(kFixedEntryTime);
  for (const MeshNode* mesh : meshes) {
    const std::string name(without_extension(mesh->resource_name));
    if (name.empty()) return false;
    const std::string path = factory_ != nullptr ? factory_->mesh_package_path(name) : std::string();
    std::optional<std::vector<std::uint8_t>> bytes;
    if (!path.empty()) {
      render::FilePath file(path);
      file.set_kind(render::FileKind::Package);
      bytes = base::read_file(file.c_str());
    } else {
      bytes = encode_mesh_package(*mesh, name);
    }
    if (!bytes || store.add(*bytes, name + ".vmf", false) < 0) return false;
  }
  std::optional<std::vector<std::uint8_t>> store_bytes = store.encode(kStoreName);
  return store_bytes && builder.add(*store_bytes, kStoreEntry, false) >= 0;
}

std::optional<std::vector<std::uint8_t>> Model::encode(bool imported_only) const {
  render::PackageBuilder builder;
  builder.set_fixed_time(kFixedEntryTime);
  if (builder.add(encode_info(imported_only), kInfoEntry, false) < 0) return std::nullopt;
  if (!write_mesh_store(builder, imported_only)) return std::nullopt;
  return builder.encode("");
}

bool Model::save(std::string_view path, bool imported_only) const {
  std::optional<std::vector<std::uint8_t>> bytes = encode(imported_only);
  if (!bytes) return false;
  render::FilePath file(path);
  file.set_kind(render::FileKind::Package);
  return base::write_file_atomically(file.c_str(), *bytes);
}

bool Model::extract_meshes(render::PackageReader& package) const {
  const std::string folder = factory_ != nullptr ? factory_->mesh_folder() : std::string();
  if (folder.empty() || package.read(kStoreEntry) == nullptr) return false;
  std::optional<render::Block> block = package.detach_current();
  render::PackageReader store;
  if (!store.open_memory(std::move(*block))) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return store.extract_all(folder_path(folder, "").c_str());
}

void Model::compute_bounds() {
  bounds_ = Box{};
  bool first = true;
  for (const auto& object : objects_) {
    if (!object->mesh()) continue;
    for (const base::Vec3& corner : object->mesh()->box_corners(object->placement())) {
      bounds_.min = first ? corner : base::minimize(bounds_.min, corner);
      bounds_.max = first ? corner : base::maximize(bounds_.max, corner);
      first = false;
    }
  }
  for (int i = 0; i < 8; ++i) {
    corners_[static_cast<std::size_t>(i)] =
        base::Vec3{(i & 4) ? bounds_.max.x : bounds_.min.x, (i & 2) ? bounds_.max.y : bounds_.min.y,
                   (i & 1) ? bounds_.max.z : bounds_.min.z};
  }
}

void Model::set_placement(const base::Matrix& placement) {
  placement_ = placement;
  placement_inverse_ = base::inverse(placement).value_or(base::identity());
}

}  // namespace model

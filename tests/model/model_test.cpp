#include "model/model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file_io.h"
#include "model/hand_mesh.h"
#include "model/mesh_library.h"
#include "model/mesh_reader.h"
#include "model/mesh_writer.h"
#include "model/temp_folder.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

using namespace model_test;

// Makes plain objects and remembers what it was asked for.
struct RecordingFactory : model::ObjectFactory {
  std::unique_ptr<model::ModelObject> create_object(std::shared_ptr<model::MeshNode> mesh,
                                                    const base::Matrix& placement, std::uint8_t kind) override {
    kinds.push_back(kind);
    if (refuse_kind != 0 && kind == refuse_kind) return nullptr;
    return std::make_unique<model::ModelObject>(std::move(mesh), placement, kind);
  }
  void object_added(model::ModelObject&) override { ++added; }
  std::string mesh_package_path(std::string_view name) override {
    return paths_folder.empty() ? std::string() : paths_folder + "/" + std::string(name) + ".vmf";
  }
  std::string mesh_folder() override { return extract_folder; }

  std::vector<std::uint8_t> kinds;
  std::uint8_t refuse_kind = 0;
  int added = 0;
  std::string paths_folder;
  std::string extract_folder;
};

Bytes mesh_package(const Bytes& tree, std::string_view name) {
  render::PackageBuilder builder;
  builder.add(tree, "m8", true);
  return builder.encode(name).value();
}

// Model.info written by hand: meshes, then objects of (kind, mesh index, x).
Bytes info(std::initializer_list<const char*> meshes, std::initializer_list<std::array<int, 3>> objects) {
  Put put;
  put.u16(static_cast<std::uint32_t>(meshes.size()));
  for (const char* name : meshes) put.u8(static_cast<std::uint32_t>(std::strlen(name) + 1)).chars(name).u8(0);
  put.u16(static_cast<std::uint32_t>(objects.size()));
  for (const auto& object : objects) {
    put.u8(1).u8(static_cast<std::uint32_t>(object[0])).u16(static_cast<std::uint32_t>(object[1]));
    put.matrix(static_cast<float>(object[2]), 0, 0);
  }
  return put.bytes;
}

// A model package: Model.info and a store with the meshes "Anemone" (root
// tag ACTI), "Fish" (the full hand-made tree) and "Rock" (a plain node).
Bytes model_package(const Bytes& info_bytes) {
  render::PackageBuilder store;
  store.add(mesh_package(Put().node_head(kTag, "Body").chars("ACTI").u32(0).bytes, "Anemone"), "Anemone.vmf", false);
  store.add(mesh_package(full_tree(), "Fish"), "Fish.vmf", false);
  store.add(mesh_package(Put().node_head(0, "Stone").bytes, "Rock"), "Rock.vmf", false);
  render::PackageBuilder package;
  package.add(info_bytes, "Model.info", false);
  package.add(store.encode("Model").value(), "Model.vmf", false);
  return package.encode("").value();
}

struct ModelTest : ::testing::Test {
  bool load(model::Model& model, const Bytes& bytes, bool add) {
    render::PackageReader package;
    return package.open_memory(bytes) && model.load_from_package(package, add);
  }

  base::CrtRandom random{1};
  model::TextureCache textures;
  model::MeshLibrary library{&random, &textures};
  RecordingFactory factory;
};

TEST_F(ModelTest, ReadsObjectsWithDerivedKindsUntilAnObjectHasNoMesh) {
  model::Model model(&factory, &library);
  const Bytes bytes = model_package(info({"Anemone", "Fish", "Rock"}, {{0, 0, 1}, {4, 2, 2}, {0, 1, 3}, {0, 3, 4}, {0, 2, 5}}));
  EXPECT_FALSE(load(model, bytes, false)) << "the fourth object's mesh index equals the mesh count";
  ASSERT_EQ(model.objects().size(), 3u) << "the objects before it stay";
  EXPECT_EQ(factory.kinds, (std::vector<std::uint8_t>{model::kKindActinia, 4, model::kKindAnimated}));
  EXPECT_EQ(factory.added, 3);
  EXPECT_EQ(model.objects()[0]->mesh()->resource_name, "Anemone.vmf");
  EXPECT_EQ(model.objects()[2]->mesh()->name, "Fish");
  EXPECT_EQ(base::translation_of(model.objects()[1]->placement()), (base::Vec3{2, 0, 0}));
  EXPECT_TRUE(model.last_import().empty()) << "replace mode";
  EXPECT_EQ(model.bounds().min.x, 0.0f) << "the anemone's box at x = 1";
  EXPECT_EQ(model.bounds().max.x, 4.0f) << "the fish's box at x = 3";
  EXPECT_EQ(model.corners()[4].x, 4.0f);
  EXPECT_EQ(library.find("Rock.vmf"), model.objects()[1]->mesh());
}

TEST_F(ModelTest, StopsAtAMeshThatDoesNotLoadOrAnObjectTheFactoryRefuses) {
  model::Model model(&factory, &library);
  EXPECT_FALSE(load(model, model_package(info({"Rock", "Missing"}, {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}})), false));
  EXPECT_EQ(model.objects().size(), 1u);

  factory.refuse_kind = 7;
  EXPECT_FALSE(load(model, model_package(info({"Rock"}, {{0, 0, 0}, {7, 0, 0}, {0, 0, 0}})), false));
  EXPECT_EQ(model.objects().size(), 1u) << "replace mode cleared the earlier content";

  model::Model base_model(nullptr, &library);
  EXPECT_FALSE(load(base_model, model_package(info({"Rock"}, {{0, 0, 0}})), false));
  EXPECT_TRUE(base_model.objects().empty()) << "the base model makes no objects";

  const Bytes damaged[] = {Put().u16(1).u8(0).bytes, Put().u16(1).u8(5).chars("Ro").bytes, Bytes{}};
  for (const Bytes& info_bytes : damaged) EXPECT_FALSE(model.read_info(info_bytes, nullptr, {}, false));
}

TEST_F(ModelTest, AddModeRemembersTheImportAndItsCentre) {
  model::Model model(&factory, &library);
  ASSERT_TRUE(load(model, model_package(info({"Rock"}, {{0, 0, 10}})), false));
  ASSERT_TRUE(load(model, model_package(info({"Rock", "Anemone"}, {{0, 0, 2}, {0, 1, 4}})), true));
  EXPECT_EQ(model.objects().size(), 3u);
  ASSERT_EQ(model.last_import().size(), 2u);
  EXPECT_EQ(model.last_import()[0], model.objects()[1].get());
  EXPECT_EQ(model.import_centre(), (base::Vec3{3, 0, 0}));

  // Model.info of the import: meshes in first-use order, kinds as derived.
  EXPECT_EQ(model.encode_info(true), info({"Rock", "Anemone"}, {{0, 0, 2}, {11, 1, 4}}));
  EXPECT_EQ(model.encode_info(false), info({"Rock", "Anemone"}, {{0, 0, 10}, {0, 0, 2}, {11, 1, 4}}));
}

TEST_F(ModelTest, SavedModelsLoadBackWithTheSameMeshes) {
  model::Model model(&factory, &library);
  ASSERT_TRUE(load(model, model_package(info({"Fish", "Rock"}, {{0, 0, 1}, {0, 1, 2}})), true));
  const std::optional<Bytes> saved = model.encode(true);
  ASSERT_TRUE(saved);

  render::PackageReader package;
  ASSERT_TRUE(package.open_memory(*saved));
  EXPECT_EQ(package.name(), "") << "saved without a name";
  EXPECT_EQ(package.read("Model.info")->size(), model.encode_info(true).size());
  ASSERT_NE(package.read("Model.vmf"), nullptr);
  render::PackageReader store;
  ASSERT_TRUE(store.open_memory(std::move(*package.detach_current())));
  EXPECT_EQ(store.name(), "Model");
  EXPECT_EQ(store.count(), 2u);
  EXPECT_FALSE(store.entry(1)->packed);

  base::CrtRandom other_random{1};
  model::TextureCache other_textures;
  model::MeshLibrary other_library{&other_random, &other_textures};
  model::Model loaded(&factory, &other_library);
  ASSERT_TRUE(load(loaded, *saved, false));
  ASSERT_EQ(loaded.objects().size(), 2u);
  EXPECT_EQ(loaded.objects()[0]->kind(), model::kKindAnimated);
  EXPECT_EQ(model::encode_mesh_tree(*loaded.objects()[0]->mesh()), full_tree());
}

TEST_F(ModelTest, TheMeshStoreCopiesTheScenesPackagesAndExtractsThem) {
  TempFolder folder;
  const Bytes rock = mesh_package(Put().node_head(0, "Stone").bytes, "Rock");
  ASSERT_TRUE(base::write_file_atomically(folder.file("Rock.vmf"), rock));
  factory.paths_folder = folder.path().string();
  model::Model model(&factory, &library);
  ASSERT_TRUE(load(model, model_package(info({"Rock"}, {{0, 0, 0}})), true));

  const std::filesystem::path saved = folder.path() / "Saved";
  ASSERT_TRUE(model.save(saved.string()));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "Saved.vmf"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2)
      << "no temporary files are left beside it";

  factory.extract_folder = folder.file("meshes");
  render::PackageReader package;
  ASSERT_TRUE(package.open_file((saved.string() + ".vmf").c_str(), false));
  ASSERT_TRUE(model.extract_meshes(package));
  EXPECT_EQ(base::read_file(folder.file("meshes/Rock.vmf")), rock) << "the scene's own package, byte for byte";
}

TEST_F(ModelTest, LoadsFromAFolderOfMeshPackages) {
  TempFolder folder;
  ASSERT_TRUE(base::write_file_atomically(folder.file("Model.info"), info({"Rock"}, {{0, 0, 7}})));
  ASSERT_TRUE(base::write_file_atomically(folder.file("Rock.vmf"), mesh_package(Put().node_head(0, "Stone").bytes, "Rock")));
  model::Model model(&factory, &library);
  ASSERT_TRUE(model.load_from_folder(folder.path().string()));
  ASSERT_EQ(model.objects().size(), 1u);
  EXPECT_EQ(model.objects()[0]->mesh()->resource_name, "Rock.vmf");
  std::filesystem::create_directory(folder.file("out"));
  ASSERT_TRUE(model.write_info(folder.file("out"), false));
  EXPECT_EQ(base::read_file(folder.file("out/Model.info")), info({"Rock"}, {{0, 0, 7}}));
}

}  // namespace

#include "model/mesh_library.h"

#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/png.h"
#include "model/hand_mesh.h"
#include "model/temp_folder.h"
#include "render/package_builder.h"

namespace {

using namespace model_test;

// A node with one material naming `texture`.
Bytes textured_node(std::string_view name, std::string_view texture) {
  Put put;
  put.node_head(kMaterials, name).u32(1).material(1, 1, 1, 1, 3, 0, 0, 0, 0).short_name(texture);
  return put.bytes;
}

Bytes red_png() {
  const std::vector<std::uint8_t> rgb = {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0};
  return base::encode_png(2, 2, 3, rgb, 6);
}

Bytes mesh_package(const Bytes& tree, std::string_view name, bool with_texture = false) {
  render::PackageBuilder builder;
  builder.add(tree, "m8", true);
  if (with_texture) builder.add(red_png(), "Red.png", false);
  return builder.encode(name).value();
}

struct MeshLibraryTest : ::testing::Test {
  base::CrtRandom random{1};
  model::TextureCache textures;
  model::MeshLibrary library{&random, &textures};
  TempFolder folder;
};

TEST_F(MeshLibraryTest, SharesMeshesByFullOrFileNameWhileTheyAreHeld) {
  ASSERT_TRUE(base::write_file_atomically(folder.file("Rock.vmf"), mesh_package(Put().node_head(0, "Stone").bytes, "Rock")));
  std::shared_ptr<model::MeshNode> first = library.load_file(folder.file("Rock"));
  ASSERT_TRUE(first) << library.last_error();
  EXPECT_EQ(first->resource_name, "Rock");
  EXPECT_EQ(library.load_file(folder.file("Rock")), first);
  EXPECT_EQ(library.find("ROCK"), first) << "by file name, without regard to case";
  EXPECT_EQ(library.load_memory("rock", Bytes{1, 2, 3}), first) << "a loaded mesh is not read again";
  EXPECT_EQ(library.size(), 1u);

  first.reset();
  EXPECT_EQ(library.size(), 0u) << "nobody holds it any more";
  std::shared_ptr<model::MeshNode> again = library.load_file(folder.file("Rock.vmf"));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->name, "Stone");
}

TEST_F(MeshLibraryTest, PackagesWithoutATreeOrUnderAnotherNameGiveNoMesh) {
  render::PackageBuilder empty;
  empty.add(Bytes{1}, "readme.txt", false);
  EXPECT_FALSE(library.load_memory("Empty.vmf", empty.encode("").value()));
  EXPECT_NE(library.last_error().find("no m8"), std::string::npos) << library.last_error();

  EXPECT_FALSE(library.load_memory("Bad.vmf", mesh_package(Bytes{0, 0}, "")));
  EXPECT_NE(library.last_error().find("ends inside"), std::string::npos) << library.last_error();

  ASSERT_TRUE(base::write_file_atomically(folder.file("Other.vmf"), mesh_package(Put().node_head(0, "S").bytes, "Rock")));
  EXPECT_FALSE(library.load_file(folder.file("Other.vmf"))) << "the package is named Rock";
}

TEST_F(MeshLibraryTest, TexturesComeFromTheMeshPackageAndAreShared) {
  std::shared_ptr<model::MeshNode> a = library.load_memory("A.vmf", mesh_package(textured_node("A", "Red.png"), "A", true));
  std::shared_ptr<model::MeshNode> b = library.load_memory("B.vmf", mesh_package(textured_node("B", "red.PNG"), "B"));
  std::shared_ptr<model::MeshNode> c = library.load_memory("C.vmf", mesh_package(textured_node("C", "Blue.png"), "C"));
  ASSERT_TRUE(a && b && c);
  const std::shared_ptr<model::MeshTexture>& red = a->materials[0].texture;
  ASSERT_TRUE(red);
  EXPECT_EQ(red->width(), 2u);
  EXPECT_EQ(red->rgba()[0], 255);
  EXPECT_EQ(red->rgba()[3], 255) << "opaque";
  EXPECT_EQ(b->materials[0].texture, red) << "the cache shares it by name";
  EXPECT_FALSE(c->materials[0].texture) << "a texture that is nowhere leaves the material without one";
  EXPECT_EQ(c->materials[0].texture_name, "Blue.png");
}

TEST_F(MeshLibraryTest, PlaceholderTexturesNameTheirNode) {
  std::shared_ptr<model::MeshNode> screen =
      library.load_memory("Tv.vmf", mesh_package(textured_node("Frame", "0000-Screen.bmp"), "Tv"));
  ASSERT_TRUE(screen);
  const std::shared_ptr<model::MeshTexture>& texture = screen->materials[0].texture;
  ASSERT_TRUE(texture);
  EXPECT_EQ(texture->name(), "0000-Screen");
  EXPECT_FALSE(texture->has_picture()) << "filled at run time";
  EXPECT_EQ(screen->name, "Screen");
  EXPECT_TRUE(texture->set_pixels(1, 1, {1, 2, 3, 4}));
  EXPECT_TRUE(texture->has_picture());
}

TEST_F(MeshLibraryTest, EachLoadRandomisesThePlayback) {
  Put put;
  put.node_head(kPlayback, "Weed").i32(10).u8(50).u32(4).u8(25).f32(20.0f).u8(10).f32(2.0f);
  random.seed(7);
  std::shared_ptr<model::MeshNode> weed = library.load_memory("Weed.vmf", mesh_package(put.bytes, "Weed"));
  ASSERT_TRUE(weed && weed->playback);

  base::CrtRandom expected(7);
  auto spread = [&] {
    const int first = expected.next();
    return static_cast<float>(first - expected.next()) / 32767.0f;
  };
  const int loops = static_cast<int>((1.0f + spread() * 50 * 0.01f) * 10);
  const int pause = static_cast<int>((1.0f + spread() * 25 * 0.01f) * 4);
  const float rate = (1.0f + spread() * 10 * 0.01f) * 20.0f;
  EXPECT_EQ(weed->playback->active, 1);
  EXPECT_EQ(weed->playback->loops_actual, loops);
  EXPECT_EQ(weed->playback->pause_actual, pause);
  EXPECT_EQ(weed->playback->rate_actual, rate);
}

TEST(Playback, EndlessLoopsDrawNoLoopVariationAndZeroVariationKeepsTheBase) {
  model::PlaybackParameters playback;
  playback.loops = -1;
  playback.pause = 3;
  playback.rate = 12.5f;
  base::CrtRandom random(1);
  playback.randomise(random);
  EXPECT_EQ(playback.loops_actual, 0);
  EXPECT_EQ(playback.pause_actual, 3);
  EXPECT_EQ(playback.rate_actual, 12.5f);
  base::CrtRandom four_draws(1);
  for (int i = 0; i < 4; ++i) four_draws.next();
  EXPECT_EQ(random.next(), four_draws.next()) << "two draws each for pause and rate only";
}

}  // namespace

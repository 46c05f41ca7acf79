#include "model/cached_texture_source.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/temp_folder.h"
#include "platform/recording_device.h"
#include "render/dds_file.h"
#include "render/texture_manager.h"

namespace {

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct CachedTextureSourceTest : ::testing::Test {
  CachedTextureSourceTest() {
    // 2 x 1: opaque red, half-transparent blue.
    const std::vector<std::uint32_t> pixels = {0xFFFF0000u, 0x800000FFu};
    write_file(folder.path() / "Fin-d.dds",
               render::encode_dds(*render::image_from_argb(render::PixelFormat::A8R8G8B8, 2, 1, pixels)));
    write_file(folder.path() / "Fin-b.dds",
               render::encode_dds(*render::image_from_argb(render::PixelFormat::A8R8G8B8, 2, 1, pixels)));
  }

  model_test::TempFolder folder;
  gfx::RecordingDevice device;
  render::RenderDevices devices{{&device}};
  render::TextureManager textures{devices, {render::gl_texture_caps(2048)}};
  model::TextureCache pictures;
  model::CachedTextureSource source{textures, pictures, nullptr, folder.path().string()};
};

TEST_F(CachedTextureSourceTest, MeshesShareOneTextureCountedOncePerLoad) {
  std::shared_ptr<model::MeshTexture> first = source.texture("Fin-d.dds", 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->rgba(), (std::vector<std::uint8_t>{0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0x80}));
  render::Texture* texture = textures.cache().find("Fin-d.dds");
  ASSERT_NE(texture, nullptr);
  EXPECT_TRUE(texture->main(0));
  EXPECT_TRUE(texture->companion(0));

  std::shared_ptr<model::MeshTexture> second = source.texture("FIN-D.DDS", 1);
  EXPECT_EQ(second.get(), first.get());
  EXPECT_EQ(textures.cache().references(texture), 2);
  first.reset();
  EXPECT_EQ(textures.cache().references(texture), 1);
  EXPECT_EQ(second->width(), 2u) << "the picture lives while a mesh holds it";
  second.reset();
  EXPECT_EQ(textures.cache().size(), 0u);
  EXPECT_EQ(pictures.find("Fin-d.dds"), nullptr);
}

TEST_F(CachedTextureSourceTest, PlaceholdersAndMissingFiles) {
  std::shared_ptr<model::MeshTexture> shot = source.texture("Shots/Tank0000-Thumb.bmp", 0);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->name(), "Tank0000-Thumb");
  EXPECT_FALSE(shot->has_picture());
  EXPECT_EQ(source.texture("Tank0000-Thumb.png", 0).get(), shot.get());
  EXPECT_EQ(source.texture("Absent.dds", 0), nullptr);
  EXPECT_EQ(textures.cache().size(), 1u) << "only the placeholder";
}

}  // namespace

// Mesh textures from a mesh package: the picture and its bump-map
// companion, which rides along under the companion's name.
#include "model/mesh_texture.h"

#include <gtest/gtest.h>

#include "base/png.h"
#include "render/dds_file.h"
#include "render/image.h"
#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

std::vector<std::uint8_t> png_of(std::uint8_t red) {
  const std::vector<std::uint8_t> rgba = {red, 0, 0, 255, red, 0, 0, 255, red, 0, 0, 255, red, 0, 0, 255};
  return base::encode_png(2, 2, 4, rgba, 8);
}

std::vector<std::uint8_t> dds_of(std::uint32_t argb) {
  const std::vector<std::uint32_t> pixels(4, argb);
  return render::encode_dds(*render::image_from_argb(render::PixelFormat::A8R8G8B8, 2, 2, pixels));
}

TEST(MeshTextureSource, ATexturesCompanionRidesAlong) {
  render::PackageBuilder builder;
  builder.add(png_of(200), "Skin-d.png", false);
  builder.add(dds_of(0xFF8080FF), "Skin-b.dds", false);
  builder.add(png_of(100), "Fin.png", false);
  builder.add(png_of(50), "Eye-d.png", false);
  builder.add(std::vector<std::uint8_t>{1, 2, 3}, "Eye-b.dds", false);
  const std::optional<std::vector<std::uint8_t>> bytes = builder.encode("Fish");
  ASSERT_TRUE(bytes);
  render::PackageReader package;
  ASSERT_TRUE(package.open_memory(*bytes));
  model::TextureCache cache;
  model::PackageTextureSource source(cache, &package);

  const std::shared_ptr<model::MeshTexture> skin = source.texture("Skin-d.png", 0);
  ASSERT_TRUE(skin);
  EXPECT_EQ(skin->rgba()[0], 200);
  ASSERT_TRUE(skin->companion());
  EXPECT_EQ(skin->companion()->width(), 2u);
  EXPECT_EQ(skin->companion()->rgba()[0], 0x80) << "red";
  EXPECT_EQ(skin->companion()->rgba()[2], 0xFF) << "blue";

  const std::shared_ptr<model::MeshTexture> fin = source.texture("Fin.png", 0);
  ASSERT_TRUE(fin);
  EXPECT_FALSE(fin->companion()) << "no Fin-b.dds in the package";
  const std::shared_ptr<model::MeshTexture> eye = source.texture("Eye-d.png", 0);
  ASSERT_TRUE(eye);
  EXPECT_FALSE(eye->companion()) << "a damaged companion is left out";
}

}  // namespace

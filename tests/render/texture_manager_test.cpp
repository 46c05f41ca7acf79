#include "render/texture_manager.h"

#include <gtest/gtest.h>

#include "platform/recording_device.h"
#include "render/dds_file.h"
#include "render/hand_package.h"
#include "render/package_builder.h"
#include "render/package_reader.h"
#include "render/tga_file.h"

namespace {

// A 16 x 8 A8R8G8B8 DDS file with its whole chain (5 levels).
std::vector<std::uint8_t> chain_dds() {
  std::vector<std::uint32_t> pixels(16 * 8, 0x80FF4020u);
  std::optional<render::Image> image = render::image_from_argb(render::PixelFormat::A8R8G8B8, 16, 8, pixels);
  EXPECT_TRUE(image && render::build_mip_chain(*image, 0));
  return render::encode_dds(*image);
}

struct TextureManagerTest : ::testing::Test {
  TextureManagerTest() {
    devices.devices = {&first, &second};
    render_test::write_bytes(folder.path() / "Sand-d.dds", chain_dds());
    render_test::write_bytes(folder.path() / "Sand-b.dds", chain_dds());
    const std::vector<std::uint32_t> pixels(4 * 2, 0xFF00FF00u);
    render_test::write_bytes(folder.path() / "Weed.tga", render::encode_tga(4, 2, pixels, 24, false, false));
  }
  std::unique_ptr<render::TextureManager> manager() {
    return std::make_unique<render::TextureManager>(
        devices,
        std::vector<render::TextureCaps>{render::gl_texture_caps(4096), render::gl_texture_caps(4096)});
  }

  render_test::TempFolder folder;
  gfx::RecordingDevice first;
  gfx::RecordingDevice second;
  render::RenderDevices devices;
};

TEST_F(TextureManagerTest, EveryLoadCountsAReferenceAndTheLastReleaseDestroys) {
  auto textures = manager();
  render::Texture* sand = textures->load_from_file(folder.file("Sand-d.dds"), false);
  ASSERT_NE(sand, nullptr);
  // A second user, by another folder spelling and case, gets the same texture.
  render::Texture* again = textures->load_from_file((folder.path() / "." / "SAND-D.DDS").string(), false);
  EXPECT_EQ(again, sand) << "found by the file name part";
  EXPECT_EQ(textures->cache().references(sand), 2);
  const gfx::TextureHandle handle = sand->main(0);
  textures->release(sand);
  EXPECT_EQ(textures->cache().find("Sand-d.dds"), sand) << "one user still holds it";
  EXPECT_TRUE(first.textures.contains(handle.id));
  textures->release(again);
  EXPECT_EQ(textures->cache().size(), 0u);
  EXPECT_FALSE(first.textures.contains(handle.id)) << "device textures go with it";
}

TEST_F(TextureManagerTest, ADdsChainIsCopiedLevelByLevelWithItsCompanion) {
  auto textures = manager();
  first.clear_calls();
  render::Texture* sand = textures->load_from_file(folder.file("Sand-d.dds"), false);
  ASSERT_NE(sand, nullptr);
  for (std::size_t device = 0; device < 2; ++device) {
    ASSERT_TRUE(sand->main(device)) << device;
    EXPECT_TRUE(sand->companion(device)) << device;
    EXPECT_EQ(sand->on_device(device)->levels, 5u);
  }
  EXPECT_EQ(first.textures[sand->main(0).id].levels, 5);
  for (int level = 1; level < 5; ++level) {
    EXPECT_EQ(
        first.count_calls("update_texture " + std::to_string(sand->main(0).id) + " " + std::to_string(level)),
        1)
        << level;
  }
  // Without a companion file, none; a missing companion is no error.
  render::Texture* weed = textures->load_from_file(folder.file("Weed.tga"), true);
  ASSERT_NE(weed, nullptr);
  EXPECT_FALSE(weed->companion(0));
  EXPECT_EQ(weed->on_device(0)->levels, 1u) << "the default mip levels";
  textures->release(sand);
  textures->release(weed);
}

TEST_F(TextureManagerTest, PackageEntriesLoadWithTheirCompanionEntry) {
  render::PackageBuilder builder;
  builder.add(chain_dds(), "Rock.dds", true);
  builder.add(chain_dds(), "Rock-b.dds", false);
  builder.add(chain_dds(), "Sand-d.dds", false);
  const std::optional<std::vector<std::uint8_t>> bytes = builder.encode("Scene");
  ASSERT_TRUE(bytes);
  render::PackageReader package;
  ASSERT_TRUE(package.open_memory(*bytes));
  auto textures = manager();
  render::Texture* rock = textures->load_from_package(package, "Rock.dds", false);
  ASSERT_NE(rock, nullptr);
  EXPECT_TRUE(rock->main(1));
  EXPECT_TRUE(rock->companion(1));
  render::Texture* sand = textures->load_from_package(package, "Sand-d.dds", false);
  ASSERT_NE(sand, nullptr);
  EXPECT_FALSE(sand->companion(0)) << "the package has no Sand-b.dds";
  EXPECT_EQ(textures->load_from_package(package, "Absent.dds", false), nullptr);
  EXPECT_EQ(textures->load_from_package(package, "ROCK.DDS", false), rock);
  EXPECT_EQ(textures->cache().references(rock), 2);
  for (render::Texture* texture : {rock, rock, sand}) textures->release(texture);
  EXPECT_EQ(textures->cache().size(), 0u);
}

TEST_F(TextureManagerTest, FailuresLeaveNothingCached) {
  auto textures = manager();
  EXPECT_EQ(textures->load_from_file(folder.file("Absent.dds"), false), nullptr);
  render_test::write_bytes(folder.path() / "Broken.dds", std::vector<std::uint8_t>{'D', 'D', 'S', ' ', 1, 2});
  EXPECT_EQ(textures->load_from_file(folder.file("Broken.dds"), false), nullptr);
  // A texture no device can make fails; one device is enough.
  first.fail_creation = true;
  second.fail_creation = true;
  EXPECT_EQ(textures->load_from_file(folder.file("Weed.tga"), false), nullptr);
  second.fail_creation = false;
  render::Texture* weed = textures->load_from_file(folder.file("Weed.tga"), false);
  ASSERT_NE(weed, nullptr);
  EXPECT_FALSE(weed->main(0));
  EXPECT_TRUE(weed->main(1));
  EXPECT_EQ(textures->cache().size(), 1u);
  textures->release(weed);
}

TEST_F(TextureManagerTest, PlaceholderNamesGiveEmptyTexturesUnderTheirBaseName) {
  auto textures = manager();
  render::Texture* shot = textures->load_from_file("Tank/Shot0000-Thumb.bmp", false);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->name(), "Shot0000-Thumb");
  EXPECT_FALSE(shot->main(0));
  EXPECT_EQ(textures->placeholder("shot0000-thumb.png"), shot);
  EXPECT_EQ(textures->cache().references(shot), 2);
  // Whoever shows pictures fills it per device.
  const gfx::TextureHandle picture = first.create_texture({8, 8, 1}, gfx::PixelOrder::Bgra, {});
  shot->set_main(0, first, picture, 8, 8, 1);
  EXPECT_EQ(shot->main(0), picture);
  textures->release(shot);
  textures->release(shot);
  EXPECT_FALSE(first.textures.contains(picture.id));
}

TEST_F(TextureManagerTest, EachDeviceHasWhiteAndBlackFallbacks) {
  auto textures = manager();
  for (std::size_t device = 0; device < 2; ++device) {
    EXPECT_TRUE(textures->white(device));
    EXPECT_TRUE(textures->black(device));
    EXPECT_NE(textures->white(device), textures->black(device));
  }
  EXPECT_EQ(first.textures[textures->white(0).id].width, 1);
  const gfx::TextureHandle white = textures->white(0);
  textures.reset();
  EXPECT_FALSE(first.textures.contains(white.id));
}

}  // namespace

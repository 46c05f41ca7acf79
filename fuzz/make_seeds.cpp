// Writes the starting corpus of the fuzz targets: small packages of every
// block form and nesting, a text table with every kind of line, settings
// files of every length class, WAV files, playlists, images, models and
// effects, and group-box lists.
//   fuzz_seeds DIR   writes DIR/package_reader/*, DIR/text_table/*,
//                    DIR/settings/*, DIR/wave_file/*, DIR/playlist/*,
//                    DIR/image/*, DIR/model/*, DIR/effect/* and
//                    DIR/group_box/*
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "audio/wave_file.h"
#include "base/byte_writer.h"
#include "host/settings_file.h"
#include "model/mesh_builder.h"
#include "model/mesh_writer.h"
#include "render/dds_file.h"
#include "render/effect_file.h"
#include "render/package_builder.h"
#include "render/packed_dib.h"
#include "render/tga_file.h"
#include "scene/group_box.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

bool save(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A settings_fuzz input: screen size, which record it loads over (bit 0:
// the defaults), then the file.
Bytes settings_input(int width, int height, bool over_defaults, const Bytes& file) {
  Bytes out = {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
               static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
               static_cast<std::uint8_t>(over_defaults ? 1 : 0)};
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

Bytes package(render::PackageBuilder& builder, std::string_view name) {
  builder.set_fixed_time(125912016000000000ULL);
  return builder.encode(name).value_or(Bytes{});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::filesystem::path packages = root / "package_reader";
  const std::filesystem::path tables = root / "text_table";
  std::filesystem::create_directories(packages);
  std::filesystem::create_directories(tables);

  const std::string table =
      "; the system table\r\n"
      "// another comment\r\n"
      "0001 Pelorin Tessaly\r\n"
      "  0002\tIndented\\nwith a break\r\n"
      "0100 255 128 0\r\n"
      "0101 10 20 300 40\r\n"
      "0102 -3 17\r\n"
      "0103 12 x\r\n"
      "123 three digits\r\n"
      "12345 five digits\n"
      "0104";

  render::PackageBuilder empty;
  render::PackageBuilder mixed;
  mixed.add(bytes_of(table), "System.txt", true);
  mixed.add(bytes_of("plain entry"), "att", false);
  mixed.add(Bytes{0x00, 0xFF, 0x10, 0x80, 0x7F}, "skin.bmp", true);
  const Bytes mixed_bytes = package(mixed, "Mixed");
  render::PackageBuilder outer;
  outer.add(mixed_bytes, "Model.vmf", true);
  outer.add(bytes_of("m8"), "mesh.m8", false);
  outer.set_class_byte(2);

  bool ok = save(packages / "empty.vmf", package(empty, ""));
  ok = save(packages / "mixed.vmf", mixed_bytes) && ok;
  ok = save(packages / "nested.vmf", package(outer, "Tang")) && ok;
  ok = save(tables / "system.txt", bytes_of(table)) && ok;
  ok = save(tables / "lf.txt", bytes_of("0001 one\n0002 1 2 3\n0003 4 5 6 7\n")) && ok;

  const std::filesystem::path settings = root / "settings";
  std::filesystem::create_directories(settings);
  base::UserSettings defaults;
  host::reset_to_defaults(defaults, 1920, 1080);
  const Bytes record(defaults.bytes().begin(), defaults.bytes().end());
  base::UserSettings damaged = defaults;
  damaged.bytes().fill(0xFF);
  damaged.set_i32(base::UserSettings::kWindowLeft, 5000);
  Bytes longer = record;
  longer.resize(1500, 0xEE);
  ok = save(settings / "defaults", settings_input(1920, 1080, false, record)) && ok;
  ok = save(settings / "ten_bytes",
            settings_input(1920, 1080, true, Bytes(record.begin(), record.begin() + 10))) &&
       ok;
  ok = save(settings / "longer", settings_input(1366, 768, false, longer)) && ok;
  ok = save(settings / "damaged",
            settings_input(640, 480, true, Bytes(damaged.bytes().begin(), damaged.bytes().end()))) &&
       ok;

  // WAV files: PCM, a compressed format with extra format bytes, and one
  // with other chunks of odd size around the data.
  const std::filesystem::path waves = root / "wave_file";
  std::filesystem::create_directories(waves);
  const std::vector<std::int16_t> samples = {0, 1000, -1000, 32767, -32768, 5, -5, 0};
  audio::WaveFormat adpcm{2, 2, 22050, 22311, 2048, 4, Bytes(32, 0x11)};
  Bytes with_list = audio::encode_wave_file(8000, 1, samples);
  const Bytes list_chunk = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  with_list.insert(with_list.begin() + 12, list_chunk.begin(), list_chunk.end());
  with_list[4] = static_cast<std::uint8_t>(with_list.size() - 8);
  ok = save(waves / "pcm16.wav", audio::encode_wave_file(22050, 2, samples)) && ok;
  ok = save(waves / "adpcm.wav", audio::encode_wave_file(adpcm, Bytes(4096, 0x22))) && ok;
  ok = save(waves / "chunks.wav", with_list) && ok;

  // Playlists; the first byte chooses PLS (odd) or TXT and M3U (even).
  const std::filesystem::path lists = root / "playlist";
  std::filesystem::create_directories(lists);
  Bytes musics = {0};
  const Bytes musics_text = bytes_of("/home/me/a.mp3\nab\n/home/me/b c.ogg\r\n");
  musics.insert(musics.end(), musics_text.begin(), musics_text.end());
  ok = save(lists / "musics.txt", musics) && ok;
  ok = save(lists / "list.m3u", bytes_of("\2\xEF\xBB\xBF#EXTM3U\n#EXTINF:12,A\nsub\\a.mp3\nD:\\Music\\b.mp3\n"
                                         "file:///music/My%20Song.flac\nhttp://radio/stream\n")) &&
       ok;
  ok = save(lists / "list.pls",
            bytes_of(
                "\1[playlist]\nNumberOfEntries=2\nFile1=C:\\m\\a.mp3\nTitle1=A\nfile2=b.mp3\nFileX=c\n")) &&
       ok;

  // Images: DDS files of each readable kind with chains, TGA files plain and
  // run-length encoded in both row orders, grey and colour-mapped, and BMP
  // files of every depth.
  const std::filesystem::path images = root / "image";
  std::filesystem::create_directories(images);
  std::vector<std::uint32_t> argb(8 * 8);
  for (std::size_t i = 0; i < argb.size(); ++i) argb[i] = static_cast<std::uint32_t>(i * 0x04102F37u);
  for (const render::PixelFormat format : {render::PixelFormat::A8R8G8B8, render::PixelFormat::R5G6B5,
                                           render::PixelFormat::X1R5G5B5, render::PixelFormat::R8G8B8}) {
    std::optional<render::Image> image = render::image_from_argb(format, 8, 8, argb);
    if (image) render::build_mip_chain(*image, format == render::PixelFormat::R8G8B8 ? 2 : 0);
    ok = image &&
         save(images / (std::string(render::pixel_format_name(format)) + ".dds"),
              render::encode_dds(*image)) &&
         ok;
  }
  for (const render::PixelFormat format :
       {render::PixelFormat::Dxt1, render::PixelFormat::Dxt3, render::PixelFormat::Dxt5}) {
    render::Image image;
    image.format = format;
    for (const std::uint32_t side : {8u, 4u, 2u, 1u}) {
      std::optional<render::ImageLevel> level = render::make_level(format, side, side);
      for (std::size_t i = 0; level && i < level->bytes.size(); ++i) {
        level->bytes[i] = static_cast<std::uint8_t>(i * 37 + side);
      }
      if (level) image.levels.push_back(std::move(*level));
    }
    ok =
        save(images / (std::string(render::pixel_format_name(format)) + ".dds"), render::encode_dds(image)) &&
        ok;
  }
  ok = save(images / "plain24.tga", render::encode_tga(8, 8, argb, 24, false, false)) && ok;
  ok = save(images / "rle32top.tga", render::encode_tga(8, 8, argb, 32, true, true)) && ok;
  ok = save(images / "grey.tga", Bytes{0, 0, 11, 0, 0,    0,    0,    0,    0,    0,    0,    0,   3,
                                       0, 2, 0,  8, 0x20, 0x81, 0x40, 0x03, 0x10, 0x20, 0x30, 0x40}) &&
       ok;
  ok = save(images / "mapped.tga",
            Bytes{0, 1, 1, 4, 0, 2, 0, 24, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 1, 2, 3, 4, 5, 6, 4, 5}) &&
       ok;
  for (const int bits : {1, 4, 8, 16, 24, 32}) {
    render::PackedDib dib;
    if (!dib.create(5, bits == 24 ? -3 : 3, bits)) continue;
    for (std::uint32_t y = 0; y < 3; ++y) {
      for (std::uint32_t x = 0; x < 5; ++x) dib.set_pixel(x, y, (x + 2 * y) * 0x01234567u);
    }
    if (bits <= 8) dib.set_palette_entry(1, 0xFF8000);
    ok = save(images / ("depth" + std::to_string(bits) + ".bmp"), dib.encode_bmp()) && ok;
  }
  ok = save(images / "fields565.bmp",
            Bytes{'B', 'M',  70, 0, 0,    0,    0, 0, 0,    0, 66, 0, 0,    0,    40,   0,   0, 0,
                  2,   0,    0,  0, 1,    0,    0, 0, 1,    0, 16, 0, 3,    0,    0,    0,   4, 0,
                  0,   0,    0,  0, 0,    0,    0, 0, 0,    0, 0,  0, 0,    0,    0,    0,   0, 0,
                  0,   0xF8, 0,  0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0,  0, 0xE0, 0x07, 0x00, 0xF8}) &&
       ok;

  // Mesh trees and a Model.info: a box with a child and a sibling, carrying
  // a skin, tracks, playback, an animation set, a morph group, parameters
  // and a tag; and the plain box.
  const std::filesystem::path models = root / "model";
  std::filesystem::create_directories(models);
  std::unique_ptr<model::MeshNode> tree = model::make_box({1, 2, 3}, model::plain_material({1, 1, 1, 1}), "Body");
  tree->first_child = model::make_sphere(0.5f, 3, 4, model::plain_material({1, 0, 0, 0.5f}), "Fin");
  tree->first_child->next_sibling = std::make_unique<model::MeshNode>();
  tree->first_child->next_sibling->name = "Tail";
  tree->index_tree();
  const std::optional<Bytes> plain_box = model::encode_mesh_tree(*tree);
  auto skin = std::make_unique<model::SkinData>();
  skin->fvf = tree->fvf;
  skin->vertex_count = tree->vertex_count;
  skin->bones.push_back(model::Bone{"Scene_Root", base::identity(), base::identity(), {0, 1}, {1.0f, 0.5f}});
  skin->bones.push_back(model::Bone{"Tail", base::translation(0, 0, 2), base::translation(0, 0, -2), {2}, {1.0f}});
  skin->combinations.push_back(model::BoneCombination{0, 0, 12, 0, 24, {0, 1}});
  tree->set_skin(std::move(skin));
  tree->playback_block = model::PlaybackParameters{};
  tree->tracks = model::KeyframeTracks{{{0, {}}, {1.5f, {}}}, {{2.0f, {1, 2, 3}}}, {}, {{3.0f, base::identity()}}};
  model::AnimationData animation;
  animation.max_outputs = 3;
  animation.max_tracks = 2;
  animation.sets.push_back(model::AnimationSet{
      "Swim", 4800.0, model::PlaybackType::Loop, {{"Tail", {{0, {}}}, {{0, {1, 1, 1}}}, {{0, {0, 0, 2}}}}, {}}});
  tree->animation = animation;
  tree->params = std::array<std::uint8_t, 64>{};
  tree->tag = model::NodeTag{model::tag_code("DEFO"), {1, 2, 3}};
  tree->morph_groups.push_back(model::MorphGroup{"mouth", {0, 1, 2}, {2, 1}, {{{0, 0, 0}, {1, 1, 1}}}, 0});
  const std::optional<Bytes> full = model::encode_mesh_tree(*tree);
  ok = plain_box && full && save(models / "box.m8", *plain_box) && save(models / "full.m8", *full) && ok;
  base::ByteWriter info;
  info.u16(1);
  info.u8(5);
  info.text("Rock", 5);
  info.u16(2);
  for (const std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{4}}) {
    info.u8(1);
    info.u8(kind);
    info.u16(0);
    for (int i = 0; i < 16; ++i) info.f32(i % 5 == 0 ? 1.0f : 0.0f);
  }
  ok = save(models / "Model.info", info.data()) && ok;

  const std::filesystem::path effects = root / "effect";
  std::filesystem::create_directories(effects);
  using render::EffectParamType;
  render::EffectFile effect;
  effect.techniques.push_back({"TE_LINE", {{"P0", {}, "void main() {}", "void main() {}"}}});
  ok = save(effects / "line.fxo", render::encode_effect_file(effect).value_or(Bytes{})) && ok;
  effect.parameters.push_back({"DiffuseTexture", EffectParamType::Texture, false, 1, 0, {}});
  effect.parameters.push_back({"s_cGlow", EffectParamType::Float4, false, 2, 0, {1, 0, 0, 1, 0, 1, 0, 1}});
  effect.parameters.push_back({"s_iCount", EffectParamType::Int, false, 1, 0, {3}});
  effect.parameters.push_back(
      {"g_mSkinPalettes", EffectParamType::Matrix, true, 20, 0, std::vector<float>(320, 0.5f)});
  effect.parameters.push_back({"g_fDiffusePower", EffectParamType::Float, true, 1, 0, {1}});
  effect.parameters.push_back({"WaterShadowTexture", EffectParamType::Texture, true, 1, 7, {}});
  effect.techniques.push_back(
      {"TE_PS11", {{"P0", {{22, 1}, {27, 1}}, "vs", "fs"}, {"P1", {{15, 1}}, "vs1", "fs1"}}});
  ok = save(effects / "object.fxo", render::encode_effect_file(effect).value_or(Bytes{})) && ok;

  const std::filesystem::path group_boxes = root / "group_box";
  std::filesystem::create_directories(group_boxes);
  scene::GroupBoxList boxes;
  scene::GroupBox ocean;
  ocean.name = "ocean";
  ocean.transform = base::scaling(120, 54, 44) * base::translation(0, 30, 0);
  scene::GroupBox zone;
  zone.items = {{"reach", 2}, {"kind", 30001}};
  boxes.boxes() = {ocean, zone};
  ok = save(group_boxes / "two.bin", boxes.encode()) && ok;
  return ok ? 0 : 1;
}

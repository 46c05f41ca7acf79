// Writes the starting corpus of the fuzz targets: small packages of every
// block form and nesting, a text table with every kind of line, settings
// files of every length class, WAV files and playlists.
//   fuzz_seeds DIR   writes DIR/package_reader/*, DIR/text_table/*,
//                    DIR/settings/*, DIR/wave_file/*, DIR/playlist/* and
//                    DIR/image/*
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "audio/wave_file.h"
#include "host/settings_file.h"
#include "render/package_builder.h"

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

  return ok ? 0 : 1;
}

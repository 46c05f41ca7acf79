// Writes the starting corpus of the fuzz targets: small packages of every
// block form and nesting, and a text table with every kind of line.
//   fuzz_seeds DIR   writes DIR/package_reader/* and DIR/text_table/*
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "render/package_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

bool save(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
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
  return ok ? 0 : 1;
}

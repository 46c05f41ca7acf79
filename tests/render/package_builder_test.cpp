#include "render/package_builder.h"

#include <gtest/gtest.h>

#include <chrono>

#include "render/block.h"
#include "render/file_time.h"
#include "render/hand_package.h"
#include "render/package_reader.h"

namespace {

using namespace render_test;
using render::PackageBuilder;
using render::PackageReader;

Bytes contents(const render::Block* block) {
  if (block == nullptr) return {};
  return Bytes(block->bytes().begin(), block->bytes().end());
}

struct PackageBuilderTest : ::testing::Test {
  // The directory of a written package, unpacked independently of the reader.
  Bytes unpacked_directory(const Bytes& file) {
    EXPECT_EQ(file.at(0), 0x50);
    const std::uint32_t raw =
        file[1] | file[2] << 8 | file[3] << 16 | static_cast<std::uint32_t>(file[4]) << 24;
    const std::uint32_t stored =
        file[5] | file[6] << 8 | file[7] << 16 | static_cast<std::uint32_t>(file[8]) << 24;
    Bytes out(raw);
    if (raw == stored) {
      std::copy(file.begin() + 9, file.begin() + 9 + stored, out.begin());
      return out;
    }
    z_stream stream{};
    inflateInit2(&stream, -15);
    stream.next_in = const_cast<Bytef*>(file.data() + 9);
    stream.avail_in = stored;
    stream.next_out = out.data();
    stream.avail_out = raw;
    EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
    inflateEnd(&stream);
    return out;
  }

  TempFolder folder;
};

TEST_F(PackageBuilderTest, WhatIsWrittenReadsBackTheSame) {
  const Bytes text = bytes_of("0001 Hello\r\n0002 World\r\n");
  const Bytes compressible = repetitive(20000);
  const Bytes incompressible = noise(4096, 3);
  PackageBuilder builder;
  EXPECT_EQ(builder.add(text, "Language/System.txt", false), 0);
  EXPECT_EQ(builder.add(compressible, "body.m8", true), 1);
  EXPECT_EQ(builder.add(incompressible, "skin.bmp", true), 2);
  EXPECT_EQ(builder.add(Bytes{}, "empty", true), 3);
  const std::string path = folder.file("Tang.vmf");
  ASSERT_TRUE(builder.write(folder.file("Tang").c_str(), true, true));

  PackageReader reader;
  ASSERT_TRUE(reader.open_file(path.c_str(), false));
  EXPECT_EQ(reader.name(), "Tang");
  ASSERT_EQ(reader.count(), 4u);
  EXPECT_EQ(reader.entry(1)->name, "System.txt") << "the folder is not part of the name";
  EXPECT_EQ(contents(reader.read("system.TXT")), text);
  EXPECT_EQ(contents(reader.read("body.m8")), compressible);
  EXPECT_EQ(contents(reader.read("skin.bmp")), incompressible);
  const render::Block* empty = reader.read("empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->size(), 0u);
  EXPECT_EQ(empty->data()[0], 0);

  EXPECT_FALSE(reader.entry(1)->packed);
  EXPECT_TRUE(reader.entry(2)->packed);
  EXPECT_FALSE(reader.entry(3)->packed) << "data that does not shrink is stored plain";
  EXPECT_FALSE(reader.entry(4)->packed);
  EXPECT_EQ(reader.entry(2)->size, 20000u);
  // Offsets run on from 0 in table order: a plain block is 4 + size bytes.
  EXPECT_EQ(reader.entry(1)->offset, 0u);
  EXPECT_EQ(reader.entry(2)->offset, 4 + text.size());
  EXPECT_LT(std::filesystem::file_size(path), 20000u);

  const render::Block* last = reader.read(3);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->data()[last->size()], 0) << "the extra zero byte";
}

TEST_F(PackageBuilderTest, AnEmptyPackageIsTheHeaderRecordAlone) {
  PackageBuilder builder;
  builder.set_class_byte(3);
  const std::string path = folder.file("Nothing.vmf");
  ASSERT_TRUE(builder.write(path.c_str(), true, false));
  const Bytes file = read_bytes(path);
  const Bytes directory = unpacked_directory(file);
  ASSERT_EQ(directory.size(), 40u);
  EXPECT_EQ(std::string(directory.begin(), directory.begin() + 7), "Nothing");
  EXPECT_EQ(directory[22], 0);
  EXPECT_EQ(directory[23], 3);
  EXPECT_EQ(directory[24], 0);

  PackageReader reader;
  ASSERT_TRUE(reader.open_file(path.c_str(), false));
  EXPECT_EQ(reader.count(), 0u);
  EXPECT_EQ(reader.find("Nothing"), 0u);
  EXPECT_EQ(PackageReader::check_file(path.c_str()), 3);
}

TEST_F(PackageBuilderTest, NamesThatDifferOnlyInCaseAreOneEntry) {
  PackageBuilder builder;
  EXPECT_EQ(builder.add(bytes_of("first"), "Fish/Tang.att", false), 0);
  EXPECT_EQ(builder.add(bytes_of("second"), "TANG.ATT", true), 0);
  EXPECT_EQ(builder.count(), 1u);
  PackageReader reader;
  const std::optional<Bytes> file = builder.encode("");
  ASSERT_TRUE(file);
  ASSERT_TRUE(reader.open_memory(*file));
  ASSERT_EQ(reader.count(), 1u);
  EXPECT_EQ(reader.entry(1)->name, "Tang.att");
  EXPECT_EQ(contents(reader.read(1)), bytes_of("second"));
}

TEST_F(PackageBuilderTest, LongNamesAreCutAlikeOnAddAndFind) {
  const std::string long_name = "AVeryLongTextureNameForAFish.bmp";  // 32 characters
  PackageBuilder builder;
  EXPECT_EQ(builder.add(bytes_of("one"), long_name, false), 0);
  EXPECT_EQ(builder.add(bytes_of("two"), long_name, false), 0) << "the same name replaces, cut or not";
  const std::optional<Bytes> file = builder.encode("");
  ASSERT_TRUE(file);
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(*file));
  ASSERT_EQ(reader.count(), 1u);
  EXPECT_EQ(reader.entry(1)->name, long_name.substr(0, 22));
  EXPECT_EQ(contents(reader.read(long_name)), bytes_of("two"));

  // A package file named with more than 22 characters opens under that name.
  const std::string path = folder.file("AnUnusuallyLongPackageFileName.vmf");
  ASSERT_TRUE(builder.write(path.c_str(), true, false));
  EXPECT_TRUE(reader.open_file(path.c_str(), false));
  EXPECT_EQ(reader.name(), "AnUnusuallyLongPackage");
}

TEST_F(PackageBuilderTest, RemovedSlotsAreReusedAndTheOrderKept) {
  PackageBuilder builder;
  builder.add(bytes_of("a"), "a", false);
  builder.add(bytes_of("b"), "b", false);
  builder.add(bytes_of("c"), "c", false);
  EXPECT_TRUE(builder.remove("B"));
  EXPECT_FALSE(builder.remove("b"));
  EXPECT_EQ(builder.count(), 2u);
  EXPECT_EQ(builder.add(bytes_of("d"), "d", false), 1);
  builder.remove("a");
  const std::optional<Bytes> file = builder.encode("");
  ASSERT_TRUE(file);
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(*file));
  ASSERT_EQ(reader.count(), 2u);
  EXPECT_EQ(reader.entry(1)->name, "d");
  EXPECT_EQ(reader.entry(2)->name, "c");
  EXPECT_EQ(contents(reader.read("c")), bytes_of("c"));
}

TEST_F(PackageBuilderTest, AddFileTakesTheFileWithItsLastWriteTime) {
  const std::string source = folder.file("reef.txt");
  write_bytes(source, bytes_of("coral"));
  // 2001-09-09 01:46:40 UTC, one billion seconds after 1970.
  const auto when =
      std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{1'000'000'000}});
  std::filesystem::last_write_time(source, when);

  PackageBuilder builder;
  EXPECT_EQ(builder.add_file(source.c_str(), nullptr, true), 0);
  EXPECT_EQ(builder.add_file(source.c_str(), "Other/renamed.txt", false), 1);
  EXPECT_EQ(builder.add_file(folder.file("missing").c_str(), nullptr, false), -1);
  EXPECT_EQ(builder.add_file(folder.path().string().c_str(), nullptr, false), -1) << "a folder is no file";
  const std::optional<Bytes> file = builder.encode("");
  ASSERT_TRUE(file);
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(*file));
  ASSERT_EQ(reader.count(), 2u);
  EXPECT_EQ(reader.entry(1)->name, "reef.txt");
  EXPECT_EQ(reader.entry(2)->name, "renamed.txt");
  EXPECT_EQ(reader.entry(1)->time, (1'000'000'000ULL + 11'644'473'600ULL) * 10'000'000ULL);
  EXPECT_EQ(reader.entry(1)->size, 5u);
  EXPECT_EQ(contents(reader.read(2)), bytes_of("coral"));
}

TEST_F(PackageBuilderTest, AFixedTimeMakesTheOutputRepeatable) {
  auto build = [] {
    PackageBuilder builder;
    builder.set_fixed_time(render::file_time_from_unix(1'700'000'000));
    builder.add(repetitive(1000), "a", true);
    builder.add(noise(100, 4), "b", true);
    return builder.encode("Same");
  };
  const std::optional<Bytes> first = build();
  ASSERT_TRUE(first);
  EXPECT_EQ(first, build());
}

TEST_F(PackageBuilderTest, APackageNestsInsideAnother) {
  PackageBuilder model;
  model.add(repetitive(5000), "mesh.m8", true);
  model.add(noise(300, 5), "skin.bmp", false);
  const std::optional<Bytes> model_file = model.encode("Model");
  ASSERT_TRUE(model_file);

  PackageBuilder fish;
  fish.add(*model_file, "Model.vmf", true);
  fish.add(bytes_of("att"), "att", false);
  ASSERT_TRUE(fish.write(folder.file("Tang").c_str(), true, true));

  PackageReader reader;
  ASSERT_TRUE(reader.open_file(folder.file("Tang").c_str(), true));
  ASSERT_NE(reader.read(reader.find_by_extension("vmf")), nullptr);
  std::optional<render::Block> nested_block = reader.detach_current();
  ASSERT_TRUE(nested_block);
  EXPECT_EQ(contents(&*nested_block), *model_file);
  PackageReader nested;
  ASSERT_TRUE(nested.open_memory(std::move(*nested_block)));
  EXPECT_EQ(nested.name(), "Model");
  EXPECT_EQ(contents(nested.read("MESH.M8")), repetitive(5000));
  EXPECT_EQ(contents(nested.read("skin.bmp")), noise(300, 5));
}

TEST_F(PackageBuilderTest, SavingReplacesTheFileAtomically) {
  const std::string path = folder.file("Scene.vmf");
  PackageBuilder old_package;
  old_package.add(bytes_of("old"), "data", false);
  ASSERT_TRUE(old_package.write(path.c_str(), true, false));
  const Bytes old_bytes = read_bytes(path);
  // A second name for the old file: a writer that truncated the file in
  // place would change it too.
  std::filesystem::create_hard_link(path, folder.file("old-link"));

  PackageBuilder new_package;
  new_package.add(bytes_of("new"), "data", false);
  ASSERT_TRUE(new_package.write(path.c_str(), true, false));
  EXPECT_EQ(read_bytes(folder.file("old-link")), old_bytes);
  PackageReader reader;
  ASSERT_TRUE(reader.open_file(path.c_str(), false));
  EXPECT_EQ(contents(reader.read("data")), bytes_of("new"));

  // A target that cannot be replaced (a folder with content) fails and
  // leaves no temporary file behind.
  std::filesystem::create_directories(folder.file("Busy.vmf/inside"));
  EXPECT_FALSE(new_package.write(folder.file("Busy.vmf").c_str(), true, false));
  EXPECT_FALSE(new_package.write(folder.file("missing/Scene.vmf").c_str(), true, false));
  std::size_t files = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder.path())) files += item.is_regular_file();
  EXPECT_EQ(files, 2u) << "Scene.vmf and old-link only";
}

}  // namespace

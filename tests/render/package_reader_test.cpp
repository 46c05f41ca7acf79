#include "render/package_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "render/file_time.h"
#include "render/hand_package.h"

namespace {

using namespace render_test;
using render::PackageReader;

Bytes contents(const render::Block& block) { return Bytes(block.bytes().begin(), block.bytes().end()); }

// A fish-like package: a text entry stored plain, a raw-DEFLATE entry and a
// whole package nested in an entry.
struct HandMadePackageTest : ::testing::Test {
  HandMadePackageTest() {
    inner = make_package(
        "", 0, {{"body.m8", repetitive(3000), Form::Deflated}, {"skin.bmp", noise(100, 1), Form::Stored}});
    outer = make_package("Tang", 7,
                         {{"readme.txt", bytes_of("Hello, reef"), Form::Plain, kNoon2000},
                          {"att", repetitive(5000), Form::Deflated},
                          {"Model.vmf", inner.bytes, Form::Deflated}});
  }

  // 2000-01-01 12:00 UTC in 100-ns ticks since 1601.
  static constexpr std::uint64_t kNoon2000 = 125912016000000000ULL;
  HandPackage inner;
  HandPackage outer;
  TempFolder folder;
};

TEST_F(HandMadePackageTest, ReadsTheDirectoryAndEveryKindOfEntry) {
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(outer.bytes));
  EXPECT_EQ(reader.name(), "Tang");
  EXPECT_EQ(reader.class_byte(), 7);
  ASSERT_EQ(reader.count(), 3u);

  const render::PackageEntry* first = reader.entry(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->name, "readme.txt");
  EXPECT_FALSE(first->packed);
  EXPECT_EQ(first->size, 11u);
  EXPECT_EQ(first->offset, 0u);
  EXPECT_EQ(first->time, kNoon2000);
  EXPECT_EQ(render::unix_from_file_time(first->time), 946728000);
  EXPECT_TRUE(reader.entry(2)->packed);
  EXPECT_EQ(reader.entry(2)->offset, outer.entry_positions[1] - outer.data_start);
  EXPECT_EQ(reader.entry(0), nullptr);
  EXPECT_EQ(reader.entry(4), nullptr);

  const render::Block* text = reader.read("README.TXT");
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text->c_str(), "Hello, reef");
  const render::Block* packed = reader.read(2);
  ASSERT_NE(packed, nullptr);
  EXPECT_EQ(contents(*packed), repetitive(5000));
  EXPECT_EQ(packed->data()[packed->size()], 0) << "every block ends in an extra zero byte";

  EXPECT_EQ(reader.read(0u), nullptr);
  EXPECT_EQ(reader.read(4), nullptr);
  EXPECT_EQ(reader.read("missing"), nullptr);
}

TEST_F(HandMadePackageTest, OpensAPackageNestedInAnEntry) {
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(outer.bytes));
  ASSERT_NE(reader.read("model.VMF"), nullptr);
  std::optional<render::Block> nested_block = reader.detach_current();
  ASSERT_TRUE(nested_block);
  EXPECT_FALSE(reader.detach_current()) << "the block was handed over";

  PackageReader nested;
  ASSERT_TRUE(nested.open_memory(std::move(*nested_block)));
  EXPECT_EQ(nested.count(), 2u);
  EXPECT_EQ(nested.find_by_extension("M8"), 1u);
  const render::Block* body = nested.read(1);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(contents(*body), repetitive(3000));
  const render::Block* skin = nested.read("skin.bmp");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(contents(*skin), noise(100, 1));
}

TEST_F(HandMadePackageTest, FindsByNameAndByExtensionWithoutRegardToCase) {
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(outer.bytes));
  EXPECT_EQ(reader.find("ATT"), 2u);
  EXPECT_EQ(reader.find("att+"), 0u);
  EXPECT_EQ(reader.find_by_extension("vmf"), 3u);
  EXPECT_EQ(reader.find_by_extension("TXT"), 1u);
  EXPECT_EQ(reader.find_by_extension("t"), 0u) << "the whole extension must match";
  EXPECT_EQ(reader.find_by_extension(""), 0u) << "an entry without a dot has no extension";
}

TEST_F(HandMadePackageTest, OpensAFileWhoseNameMatchesTheHeaderOnly) {
  write_bytes(folder.file("tang.vmf"), outer.bytes);
  write_bytes(folder.file("Other.vmf"), outer.bytes);
  write_bytes(folder.file("Nameless.vmf"), inner.bytes);

  PackageReader reader;
  EXPECT_TRUE(reader.open_file(folder.file("tang").c_str(), true)) << "extension added, case ignored";
  EXPECT_EQ(reader.count(), 3u);
  EXPECT_FALSE(reader.open_file(folder.file("Other.vmf").c_str(), false));
  EXPECT_FALSE(reader.is_open());
  EXPECT_EQ(reader.read(1), nullptr);
  EXPECT_TRUE(reader.open_file(folder.file("Nameless.vmf").c_str(), false));
  EXPECT_FALSE(reader.open_file(folder.file("tang").c_str(), false)) << "no extension added";

  EXPECT_EQ(PackageReader::check_file(folder.file("tang.vmf").c_str()), 7);
  EXPECT_EQ(PackageReader::check_file(folder.file("Other.vmf").c_str()), std::nullopt);
  EXPECT_EQ(PackageReader::check_file(folder.file("missing.vmf").c_str()), std::nullopt);
}

TEST_F(HandMadePackageTest, ExtractsEntriesAsFiles) {
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(outer.bytes));
  EXPECT_TRUE(reader.extract(2, folder.file("attributes").c_str()));
  EXPECT_EQ(read_bytes(folder.file("attributes")), repetitive(5000));
  EXPECT_FALSE(reader.extract(9, folder.file("nothing").c_str()));
  EXPECT_FALSE(std::filesystem::exists(folder.file("nothing")));

  const std::string target = folder.file("all");
  std::filesystem::create_directory(target);
  EXPECT_TRUE(reader.extract_all(target.c_str()));
  EXPECT_EQ(read_bytes(target + "/readme.txt"), bytes_of("Hello, reef"));
  EXPECT_EQ(read_bytes(target + "/Model.vmf"), inner.bytes);
}

TEST(PackageReaderTest, NeverExtractsANameThatLeavesTheFolder) {
  TempFolder folder;
  const std::string target = folder.file("out");
  std::filesystem::create_directory(target);
  const HandPackage package = make_package("", 0,
                                           {{"../escaped", bytes_of("x"), Form::Plain},
                                            {"sub/inner", bytes_of("x"), Form::Plain},
                                            {"c:\\x", bytes_of("x"), Form::Plain},
                                            {"..", bytes_of("x"), Form::Plain},
                                            {"kept.txt", bytes_of("kept"), Form::Plain}});
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(package.bytes));
  EXPECT_FALSE(reader.extract_all(target.c_str())) << "unsafe entries count as not written";
  EXPECT_EQ(read_bytes(target + "/kept.txt"), bytes_of("kept"));
  EXPECT_FALSE(std::filesystem::exists(folder.file("escaped")));
  std::vector<std::string> written;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder.path())) {
    written.push_back(item.path().filename().string());
  }
  EXPECT_EQ(written, (std::vector<std::string>{"out", "kept.txt"}));
}

TEST(PackageReaderTest, AnEmptyPackageHasNoEntries) {
  const HandPackage package = make_package("Empty", 0, {});
  EXPECT_EQ(package.directory.size(), 40u);
  PackageReader reader;
  ASSERT_TRUE(reader.open_memory(package.bytes));
  EXPECT_EQ(reader.count(), 0u);
  EXPECT_EQ(reader.find("anything"), 0u);
  EXPECT_EQ(reader.read(1), nullptr);
}

}  // namespace

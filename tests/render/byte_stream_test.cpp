#include "render/byte_stream.h"

#include <gtest/gtest.h>

#include "render/file_time.h"
#include "render/hand_package.h"

namespace {

using namespace render_test;
using render::ByteStream;
using render::SeekOrigin;

TEST(ByteStreamTest, AReadTakesAllOrNothing) {
  const Bytes bytes = {1, 2, 3, 4, 5, 6};
  ByteStream stream;
  ASSERT_TRUE(stream.open_memory(bytes));
  std::uint8_t out[8] = {};
  EXPECT_TRUE(stream.read(out, 4));
  EXPECT_EQ(out[3], 4);
  EXPECT_FALSE(stream.read(out, 3)) << "only two bytes are left";
  EXPECT_EQ(stream.tell(), 4u);
  EXPECT_TRUE(stream.read(out, 2));
  EXPECT_EQ(out[1], 6);
  EXPECT_EQ(stream.remaining(), 0u);

  EXPECT_TRUE(stream.seek(-2, SeekOrigin::End));
  EXPECT_EQ(stream.tell(), 4u);
  EXPECT_TRUE(stream.seek(-4, SeekOrigin::Current));
  EXPECT_EQ(stream.tell(), 0u);
  EXPECT_FALSE(stream.seek(-1, SeekOrigin::Current));
  EXPECT_FALSE(stream.seek(7, SeekOrigin::Start));
  EXPECT_FALSE(stream.seek(INT64_MAX, SeekOrigin::End));
  EXPECT_EQ(stream.tell(), 0u);
}

TEST(ByteStreamTest, AFileThatEndsEarlyIsAFailedRead) {
  TempFolder folder;
  const std::string path = folder.file("short.bin");
  write_bytes(path, Bytes{9, 0, 0, 0, 'a', 'b'});
  ByteStream stream;
  ASSERT_TRUE(stream.open_file(path.c_str()));
  EXPECT_EQ(stream.size(), 6u);
  EXPECT_FALSE(stream.read_plain_block()) << "a size of 9 with 2 bytes left";
  ASSERT_TRUE(stream.seek(4, SeekOrigin::Start));
  std::uint8_t out[4] = {};
  EXPECT_FALSE(stream.read(out, 3));
  EXPECT_EQ(stream.tell(), 4u);
  EXPECT_TRUE(stream.read(out, 2));
  EXPECT_EQ(out[1], 'b');

  EXPECT_FALSE(stream.open_file(folder.file("missing").c_str()));
  EXPECT_FALSE(stream.open_file(folder.path().string().c_str())) << "a folder is no file";
  EXPECT_FALSE(stream.open_file(""));
  EXPECT_FALSE(stream.is_open());
}

TEST(ByteStreamTest, StringsAndBlocksAreCheckedAgainstWhatIsLeft) {
  Bytes bytes;
  put_u32(bytes, 5);
  for (char c : std::string("coral")) put_u8(bytes, static_cast<std::uint8_t>(c));
  put_u32(bytes, 0);           // an empty string is no string
  put_u32(bytes, 0xFFFFFFFF);  // a string far longer than the data
  ByteStream stream;
  ASSERT_TRUE(stream.open_memory(bytes));
  EXPECT_EQ(stream.read_string(), "coral");
  EXPECT_EQ(stream.read_string(), std::nullopt);
  EXPECT_EQ(stream.read_string(), std::nullopt);

  Bytes blocks;
  put_u32(blocks, 3);
  put_u8(blocks, 'a');
  put_u8(blocks, 'b');
  put_u8(blocks, 'c');
  put_u8(blocks, 0);  // packed block marker 0: no block
  put_u32(blocks, 0xFFFFFFFF);
  ASSERT_TRUE(stream.open_memory(blocks));
  std::optional<render::Block> block = stream.read_plain_block();
  ASSERT_TRUE(block);
  EXPECT_EQ(block->size(), 3u);
  EXPECT_STREQ(block->c_str(), "abc") << "the extra zero byte ends the text";
  EXPECT_FALSE(stream.read_packed_block());
  EXPECT_FALSE(stream.read_plain_block()) << "4 GiB announced, nothing there";

  std::optional<render::Block> all = stream.read_all();
  ASSERT_TRUE(all);
  EXPECT_EQ(all->size(), blocks.size());
  EXPECT_EQ(all->data()[all->size()], 0);
}

TEST(ByteStreamTest, WrittenBlocksReadBack) {
  TempFolder folder;
  const std::string path = folder.file("blocks.bin");
  const Bytes text = repetitive(3000);
  const Bytes random = noise(500, 7);
  ByteStream out;
  ASSERT_TRUE(out.create(path.c_str()));
  EXPECT_TRUE(out.write_plain_block(bytes_of("plain")));
  EXPECT_TRUE(out.write_packed_block(nullptr));
  EXPECT_TRUE(out.write_compressed(text));
  EXPECT_TRUE(out.write_compressed(random));
  EXPECT_TRUE(out.write_u32(0xA1B2C3D4));
  EXPECT_FALSE(out.read_plain_block()) << "a writing stream does not read";
  ASSERT_TRUE(out.close());
  EXPECT_TRUE(out.close()) << "closing twice is harmless";

  const Bytes file = read_bytes(path);
  EXPECT_EQ(file[9], 0) << "no block is the single marker byte 0";
  EXPECT_EQ(file[10], 0x50);

  ByteStream in;
  ASSERT_TRUE(in.open_file(path.c_str()));
  std::optional<render::Block> plain = in.read_plain_block();
  ASSERT_TRUE(plain);
  EXPECT_STREQ(plain->c_str(), "plain");
  EXPECT_FALSE(in.read_packed_block());
  const std::uint64_t packed_start = in.tell();
  std::optional<render::Block> unpacked = in.read_packed_block();
  ASSERT_TRUE(unpacked);
  EXPECT_EQ(Bytes(unpacked->bytes().begin(), unpacked->bytes().end()), text);
  EXPECT_LT(in.tell() - packed_start, 3000u);
  std::optional<render::Block> stored = in.read_packed_block();
  ASSERT_TRUE(stored);
  EXPECT_EQ(Bytes(stored->bytes().begin(), stored->bytes().end()), random);
  std::uint32_t tail = 0;
  EXPECT_TRUE(in.read_u32(tail));
  EXPECT_EQ(tail, 0xA1B2C3D4u);
}

TEST(ByteStreamTest, DataThatDoesNotShrinkIsStoredAsItIs) {
  const Bytes random = noise(80, 11);
  const Bytes block = render::encode_packed_block(random);
  ASSERT_EQ(block.size(), 9 + random.size());
  EXPECT_EQ(block[0], 0x50);
  EXPECT_EQ(block[1], 80);
  EXPECT_EQ(block[5], 80) << "stored size equals raw size";
  EXPECT_TRUE(std::equal(random.begin(), random.end(), block.begin() + 9));

  const Bytes empty = render::encode_packed_block({});
  ByteStream stream;
  ASSERT_TRUE(stream.open_memory(empty));
  std::optional<render::Block> read = stream.read_packed_block();
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), 0u);
}

TEST(ByteStreamTest, ReadCaptionReadsTheTextFileBesideADataFile) {
  TempFolder folder;
  write_bytes(folder.file("Reef.txt"), bytes_of(std::string_view("Coral Reef\0ignored", 18)));
  const std::string long_caption(300, 'x');
  write_bytes(folder.file("Long.txt"), bytes_of(long_caption));

  render::FilePath path(folder.file("Reef.tnk"));
  EXPECT_TRUE(render::read_caption(path));
  EXPECT_STREQ(path.c_str(), "Coral Reef");
  path.set(folder.file("Long"));
  EXPECT_TRUE(render::read_caption(path));
  EXPECT_EQ(path.length(), 259u);
  path.set(folder.file("Missing.tnk"));
  EXPECT_FALSE(render::read_caption(path));
  EXPECT_TRUE(path.empty());
}

TEST(FileTimeTest, ConvertsBetweenUnixTimeAndTicksSince1601) {
  EXPECT_EQ(render::file_time_from_unix(0), 116444736000000000ULL);
  EXPECT_EQ(render::unix_from_file_time(116444736000000000ULL), 0);
  EXPECT_EQ(render::file_time_from_unix(1, 500), 116444736010000005ULL);
  EXPECT_EQ(render::unix_from_file_time(render::file_time_from_unix(1'700'000'000, 999'999'999)),
            1'700'000'000);
  EXPECT_EQ(render::file_time_from_unix(-11644473600), 0u);
  EXPECT_EQ(render::file_time_from_unix(-11644473601), 0u) << "before 1601";
  EXPECT_EQ(render::unix_from_file_time(0), -11644473600);
}

}  // namespace

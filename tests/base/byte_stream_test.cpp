#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

namespace {

using base::ByteReader;
using base::ByteWriter;
using Bytes = std::vector<std::uint8_t>;

TEST(ByteReaderTest, ReadsLittleEndianValues) {
  const Bytes data = {
      0x7F,                                            // u8
      0x34, 0x12,                                      // u16 0x1234
      0x78, 0x56, 0x34, 0x12,                          // u32 0x12345678
      0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01,  // u64
      0xFF,                                            // i8 -1
      0xFE, 0xFF,                                      // i16 -2
      0xFD, 0xFF, 0xFF, 0xFF,                          // i32 -3
      0x00, 0x00, 0x80, 0x3F,                          // f32 1.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0xC0,  // f64 -2.5
  };
  ByteReader r(data);
  EXPECT_EQ(r.u8(), 0x7F);
  EXPECT_EQ(r.u16(), 0x1234);
  EXPECT_EQ(r.u32(), 0x12345678u);
  EXPECT_EQ(r.u64(), 0x0123456789ABCDEFull);
  EXPECT_EQ(r.i8(), -1);
  EXPECT_EQ(r.i16(), -2);
  EXPECT_EQ(r.i32(), -3);
  EXPECT_EQ(r.f32(), 1.0f);
  EXPECT_EQ(r.f64(), -2.5);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.position(), data.size());
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReaderTest, TruncatedInputFailsAndStaysFailed) {
  // Each read gets one byte fewer than it needs.
  struct Case {
    const char* what;
    std::size_t available;
    std::function<bool(ByteReader&)> read_returns_zero;
  };
  const Case cases[] = {
      {"u8 from nothing", 0, [](ByteReader& r) { return r.u8() == 0; }},
      {"u16", 1, [](ByteReader& r) { return r.u16() == 0; }},
      {"u32", 3, [](ByteReader& r) { return r.u32() == 0; }},
      {"u64", 7, [](ByteReader& r) { return r.u64() == 0; }},
      {"i16", 1, [](ByteReader& r) { return r.i16() == 0; }},
      {"i32", 3, [](ByteReader& r) { return r.i32() == 0; }},
      {"f32", 3, [](ByteReader& r) { return r.f32() == 0.0f; }},
      {"f64", 7, [](ByteReader& r) { return r.f64() == 0.0; }},
      {"bytes", 4, [](ByteReader& r) { return r.bytes(5).empty(); }},
      {"text", 2, [](ByteReader& r) { return r.text(3).empty(); }},
      {"skip", 4, [](ByteReader& r) { return !r.skip(5); }},
      {"sub reader", 4, [](ByteReader& r) { return r.sub_reader(5).failed(); }},
      {"read into", 3,
       [](ByteReader& r) {
         std::uint8_t out[4] = {9, 9, 9, 9};
         return !r.read_into(out) && out[0] == 0 && out[3] == 0;
       }},
  };
  const Bytes data(16, 0xAA);
  for (const Case& c : cases) {
    ByteReader r{std::span(data).first(c.available)};
    EXPECT_TRUE(c.read_returns_zero(r)) << c.what;
    EXPECT_TRUE(r.failed()) << c.what;
    EXPECT_EQ(r.position(), 0u) << c.what;
    EXPECT_EQ(r.remaining(), 0u) << c.what;
    // Sticky: even a read that would fit now fails.
    EXPECT_EQ(r.u8(), 0) << c.what;
    EXPECT_FALSE(r.seek(0)) << c.what;
    EXPECT_TRUE(r.failed()) << c.what;
  }
}

TEST(ByteReaderTest, HugeCountsDoNotWrap) {
  const Bytes data(16, 0x55);
  {
    ByteReader r(data);
    r.skip(8);
    // position + count would wrap to a small number in 64 bits.
    EXPECT_TRUE(r.bytes(std::numeric_limits<std::uint64_t>::max() - 3).empty());
    EXPECT_TRUE(r.failed());
  }
  {
    ByteReader r(data);
    EXPECT_FALSE(r.skip(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_TRUE(r.failed());
  }
  {
    ByteReader r(data);
    EXPECT_FALSE(r.seek(17));
    EXPECT_TRUE(r.failed());
  }
  struct FitsCase {
    std::uint64_t count, size;
    bool fits;
  };
  const FitsCase fits_cases[] = {
      {4, 4, true},
      {16, 1, true},
      {17, 1, false},
      {5, 4, false},
      {0, 1000, true},
      {1000, 0, true},
      // 0x100000001 * 0x100000000 wraps to 0x100000000 in 64 bits; still too big.
      {0x100000001ull, 0x100000000ull, false},
      {0xFFFFFFFFull, 0xFFFFFFFFull, false},
  };
  const ByteReader r(data);
  for (const FitsCase& c : fits_cases) {
    EXPECT_EQ(r.fits(c.count, c.size), c.fits) << c.count << " x " << c.size;
  }
}

TEST(ByteReaderTest, PositioningAndViews) {
  const Bytes data = {'a', 'b', 'c', 0, 'x', 1, 2, 3, 4, 5};
  ByteReader r(data);
  EXPECT_EQ(r.text(5), "abc");  // cut at the zero byte, all five consumed
  EXPECT_EQ(r.position(), 5u);
  const std::span<const std::uint8_t> view = r.bytes(2);
  ASSERT_EQ(view.size(), 2u);
  EXPECT_EQ(view[0], 1);
  EXPECT_EQ(view.data(), data.data() + 5);

  ByteReader sub = r.sub_reader(3);
  EXPECT_EQ(r.position(), 10u);
  EXPECT_EQ(sub.size(), 3u);
  EXPECT_EQ(sub.u16(), 0x0403);
  EXPECT_EQ(sub.u16(), 0);  // only one byte left in the sub reader
  EXPECT_TRUE(sub.failed());
  EXPECT_TRUE(r.ok());

  EXPECT_TRUE(r.seek(10));  // the end itself is a valid position
  EXPECT_TRUE(r.bytes(0).empty());
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.seek(1));
  EXPECT_EQ(r.u8(), 'b');
  EXPECT_EQ(r.remaining(), 8u);

  r.fail();
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.u8(), 0);

  ByteReader empty;
  EXPECT_TRUE(empty.skip(0));
  EXPECT_TRUE(empty.ok());
  EXPECT_EQ(empty.u8(), 0);
  EXPECT_TRUE(empty.failed());
}

TEST(ByteWriterTest, WritesWhatTheReaderReads) {
  ByteWriter w;
  w.u8(0xAB);
  w.u16(0x1234);
  w.u32(0xDEADBEEF);
  w.u64(0x0102030405060708ull);
  w.i8(-5);
  w.i16(-300);
  w.i32(-70000);
  w.i64(-1);
  w.f32(3.5f);
  w.f64(-0.125);
  w.text("name", 6);
  w.text("truncated", 3);
  const std::uint8_t raw[] = {9, 8};
  w.bytes(raw);
  w.zeros(2);

  EXPECT_EQ(w.size(), 1u + 2 + 4 + 8 + 1 + 2 + 4 + 8 + 4 + 8 + 6 + 3 + 2 + 2);
  EXPECT_EQ(w.data()[1], 0x34);  // low byte first
  EXPECT_EQ(w.data()[2], 0x12);

  ByteReader r(w.data());
  EXPECT_EQ(r.u8(), 0xAB);
  EXPECT_EQ(r.u16(), 0x1234);
  EXPECT_EQ(r.u32(), 0xDEADBEEFu);
  EXPECT_EQ(r.u64(), 0x0102030405060708ull);
  EXPECT_EQ(r.i8(), -5);
  EXPECT_EQ(r.i16(), -300);
  EXPECT_EQ(r.i32(), -70000);
  EXPECT_EQ(r.i64(), -1);
  EXPECT_EQ(r.f32(), 3.5f);
  EXPECT_EQ(r.f64(), -0.125);
  EXPECT_EQ(r.text(6), "name");
  EXPECT_EQ(r.text(3), "tru");
  EXPECT_EQ(r.u8(), 9);
  EXPECT_EQ(r.u8(), 8);
  EXPECT_EQ(r.u16(), 0);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteWriterTest, PatchU32StaysInsideTheBuffer) {
  ByteWriter w;
  w.zeros(8);
  struct Case {
    std::size_t offset;
    bool ok;
  };
  const Case cases[] = {
      {0, true}, {4, true}, {5, false}, {8, false}, {std::numeric_limits<std::size_t>::max() - 1, false}};
  for (const Case& c : cases) EXPECT_EQ(w.patch_u32(c.offset, 0x11223344), c.ok) << c.offset;
  EXPECT_EQ(w.data(), (Bytes{0x44, 0x33, 0x22, 0x11, 0x44, 0x33, 0x22, 0x11}));

  const Bytes taken = w.take();
  EXPECT_EQ(taken.size(), 8u);
  EXPECT_EQ(w.size(), 0u);
}

}  // namespace

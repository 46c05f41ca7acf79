#include "base/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/file_io.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using base::PngFilter;

// Pixels with gradients and noise, so that every row filter has something to
// predict; `stride` may leave padding after each row, filled with 0xEE.
Bytes test_pixels(std::uint32_t width, std::uint32_t height, int channels, std::size_t stride) {
  Bytes pixels(stride * height, 0xEE);
  std::uint32_t noise = 7;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        noise = noise * 1103515245u + 12345u;
        const std::uint32_t value =
            x * 37 + y * 11 + static_cast<std::uint32_t>(c) * 80 + ((noise >> 16) & 15);
        pixels[y * stride + x * static_cast<std::uint32_t>(channels) + static_cast<std::uint32_t>(c)] =
            static_cast<std::uint8_t>(value);
      }
    }
  }
  return pixels;
}

Bytes packed_rows(const Bytes& pixels, std::uint32_t width, std::uint32_t height, int channels,
                  std::size_t stride) {
  Bytes out;
  const std::size_t row = std::size_t{width} * static_cast<std::size_t>(channels);
  for (std::uint32_t y = 0; y < height; ++y) {
    out.insert(out.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * stride),
               pixels.begin() + static_cast<std::ptrdiff_t>(y * stride + row));
  }
  return out;
}

TEST(PngTest, RoundTripEveryFilter) {
  struct Shape {
    std::uint32_t width, height;
    int channels;
    std::size_t stride;
  };
  const Shape shapes[] = {{7, 5, 3, 7 * 3}, {7, 5, 4, 7 * 4 + 5}, {1, 1, 3, 3}, {33, 2, 4, 33 * 4}};
  const PngFilter filters[] = {PngFilter::adaptive, PngFilter::none,    PngFilter::sub,
                               PngFilter::up,       PngFilter::average, PngFilter::paeth};
  for (const Shape& s : shapes) {
    const Bytes pixels = test_pixels(s.width, s.height, s.channels, s.stride);
    for (PngFilter filter : filters) {
      const std::string what = std::to_string(s.width) + "x" + std::to_string(s.height) + "x" +
                               std::to_string(s.channels) + " filter " +
                               std::to_string(static_cast<int>(filter));
      const Bytes file = base::encode_png(s.width, s.height, s.channels, pixels, s.stride, filter);
      ASSERT_FALSE(file.empty()) << what;
      const std::optional<base::PngImage> image = base::decode_png(file);
      ASSERT_TRUE(image.has_value()) << what;
      EXPECT_EQ(image->width, s.width) << what;
      EXPECT_EQ(image->height, s.height) << what;
      EXPECT_EQ(image->channels, s.channels) << what;
      EXPECT_EQ(image->pixels, packed_rows(pixels, s.width, s.height, s.channels, s.stride)) << what;
    }
  }
}

TEST(PngTest, EncodedHeaderDescribesTheImage) {
  const Bytes pixels(300 * 2 * 4, 0x80);
  const Bytes file = base::encode_png(300, 2, 4, pixels, 300 * 4);
  ASSERT_GE(file.size(), 33u);
  const Bytes expected_start = {0x89, 'P', 'N',  'G',  '\r', '\n', 0x1A, '\n',  // signature
                                0,    0,   0,    13,   'I',  'H',  'D',  'R',   // chunk
                                0,    0,   0x01, 0x2C, 0,    0,    0,    2,     // 300 x 2
                                8,    6,   0,    0,    0};                      // RGBA, 8 bits
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 29), expected_start);
  const Bytes expected_end = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  EXPECT_EQ(Bytes(file.end() - 12, file.end()), expected_end);
}

TEST(PngTest, EncoderRefusesArgumentsThatDoNotFit) {
  const Bytes pixels(4 * 3 * 4, 1);
  struct Case {
    const char* what;
    std::uint32_t width, height;
    int channels;
    std::size_t stride, size;
    bool ok;
  };
  const Case cases[] = {
      {"fits exactly", 4, 3, 4, 16, 48, true},
      {"last row needs no padding", 4, 3, 3, 16, 2 * 16 + 12, true},
      {"one byte short", 4, 3, 3, 16, 2 * 16 + 11, false},
      {"two channels", 4, 3, 2, 16, 48, false},
      {"five channels", 4, 3, 5, 20, 48, false},
      {"zero width", 0, 3, 4, 16, 48, false},
      {"zero height", 4, 0, 4, 16, 48, false},
      {"stride shorter than a row", 4, 3, 4, 15, 48, false},
      {"rows far beyond the buffer", 4, 0x7FFFFFFF, 4, 16, 48, false},
  };
  for (const Case& c : cases) {
    const Bytes file =
        base::encode_png(c.width, c.height, c.channels, std::span(pixels).first(c.size), c.stride);
    EXPECT_EQ(!file.empty(), c.ok) << c.what;
  }
}

// Hand-built files for the decoder.
void put_be32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void put_chunk(Bytes& out, const char* type, const Bytes& data) {
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put_be32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

Bytes header(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8, std::uint8_t colour = 2,
             std::uint8_t interlace = 0) {
  Bytes h;
  put_be32(h, width);
  put_be32(h, height);
  h.insert(h.end(), {depth, colour, 0, 0, interlace});
  return h;
}

Bytes deflate(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

const Bytes kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A 2x2 RGB image: row 0 unfiltered, row 1 with the Up filter.
const Bytes kRawRows = {0, 10, 20, 30, 40, 50, 60, 2, 1, 1, 1, 2, 2, 2};
const Bytes kDecodedPixels = {10, 20, 30, 40, 50, 60, 11, 21, 31, 42, 52, 62};

Bytes file_with(const Bytes& ihdr, const Bytes& raw) {
  Bytes f = kSignature;
  put_chunk(f, "IHDR", ihdr);
  put_chunk(f, "IDAT", deflate(raw));
  put_chunk(f, "IEND", {});
  return f;
}

TEST(PngTest, DecodesHandBuiltFile) {
  // Split compressed data, an ancillary chunk and a palette suggestion are
  // all allowed.
  const Bytes z = deflate(kRawRows);
  Bytes f = kSignature;
  put_chunk(f, "IHDR", header(2, 2));
  put_chunk(f, "tEXt", {'a', 0, 'b'});
  put_chunk(f, "PLTE", {1, 2, 3});
  put_chunk(f, "IDAT", Bytes(z.begin(), z.begin() + 5));
  put_chunk(f, "IDAT", Bytes(z.begin() + 5, z.end()));
  put_chunk(f, "IEND", {});
  const std::optional<base::PngImage> image = base::decode_png(f);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 2u);
  EXPECT_EQ(image->height, 2u);
  EXPECT_EQ(image->channels, 3);
  EXPECT_EQ(image->pixels, kDecodedPixels);
}

TEST(PngTest, MalformedFilesAreRejected) {
  const Bytes good = file_with(header(2, 2), kRawRows);
  ASSERT_TRUE(base::decode_png(good).has_value());

  auto with_byte = [&](std::size_t at, std::uint8_t value) {
    Bytes f = good;
    f[at] = value;
    return f;
  };
  auto cut = [&](std::size_t keep) {
    return Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
  };
  auto chunks = [](std::initializer_list<std::pair<const char*, Bytes>> list) {
    Bytes f = kSignature;
    for (const auto& [type, data] : list) put_chunk(f, type, data);
    return f;
  };
  Bytes extra_row = kRawRows;
  extra_row.insert(extra_row.end(), {0, 1, 2, 3, 4, 5, 6});
  Bytes bad_filter = kRawRows;
  bad_filter[7] = 5;
  Bytes huge_length = kSignature;
  put_be32(huge_length, 0xFFFFFFF0u);
  huge_length.insert(huge_length.end(), {'I', 'H', 'D', 'R', 0, 0, 0, 0});

  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"empty", {}},
      {"signature only", kSignature},
      {"wrong signature", with_byte(1, 'p')},
      {"cut inside IHDR", cut(20)},
      {"cut inside IDAT", cut(good.size() - 20)},
      {"no IEND", cut(good.size() - 12)},
      {"last CRC byte missing", cut(good.size() - 1)},
      {"IHDR checksum wrong", with_byte(29, static_cast<std::uint8_t>(good[29] ^ 1))},
      {"IHDR data changed under its checksum", with_byte(19, 3)},
      {"chunk length beyond the file", huge_length},
      {"IDAT before IHDR", chunks({{"IDAT", deflate(kRawRows)}, {"IHDR", header(2, 2)}, {"IEND", {}}})},
      {"IHDR too short", chunks({{"IHDR", Bytes(12, 0)}, {"IDAT", deflate(kRawRows)}, {"IEND", {}}})},
      {"second IHDR",
       chunks({{"IHDR", header(2, 2)}, {"IHDR", header(2, 2)}, {"IDAT", deflate(kRawRows)}, {"IEND", {}}})},
      {"16 bits per channel", file_with(header(2, 2, 16), kRawRows)},
      {"palette image", file_with(header(2, 2, 8, 3), kRawRows)},
      {"grey image", file_with(header(2, 2, 8, 0), kRawRows)},
      {"interlaced", file_with(header(2, 2, 8, 2, 1), kRawRows)},
      {"zero width", file_with(header(0, 2), kRawRows)},
      {"width above 2^31-1", file_with(header(0x80000000u, 1), kRawRows)},
      {"dimensions far too large", file_with(header(100000, 100000), kRawRows)},
      {"no IDAT", chunks({{"IHDR", header(2, 2)}, {"IEND", {}}})},
      {"too little image data", file_with(header(2, 3), kRawRows)},
      {"too much image data", file_with(header(2, 2), extra_row)},
      {"unknown row filter", file_with(header(2, 2), bad_filter)},
      {"IDAT not a zlib stream", chunks({{"IHDR", header(2, 2)}, {"IDAT", Bytes(20, 0x5A)}, {"IEND", {}}})},
      {"unknown critical chunk",
       chunks({{"IHDR", header(2, 2)}, {"ZZZZ", {1}}, {"IDAT", deflate(kRawRows)}, {"IEND", {}}})},
  };
  for (const Case& c : cases) EXPECT_FALSE(base::decode_png(c.file).has_value()) << c.what;
}

class PngFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("png_test_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::size_t files_in_dir() const {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
  }

  std::filesystem::path dir_;
};

TEST_F(PngFileTest, WritesReplacesAndReadsBack) {
  const std::filesystem::path path = dir_ / "shot.png";
  {
    std::ofstream old(path, std::ios::binary);
    old << "previous contents";
  }
  const Bytes pixels = test_pixels(9, 4, 3, 9 * 3);
  ASSERT_TRUE(base::write_png_file(path, 9, 4, 3, pixels, 9 * 3));
  const std::optional<base::PngImage> image = base::read_png_file(path);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->pixels, pixels);
  EXPECT_EQ(files_in_dir(), 1u);  // no temporary file left beside it
}

TEST_F(PngFileTest, FailedWritesLeaveNothingBehind) {
  const Bytes pixels(4 * 4 * 3, 0);
  EXPECT_FALSE(base::write_png_file(dir_ / "missing" / "shot.png", 4, 4, 3, pixels, 12));
  EXPECT_FALSE(base::write_png_file(dir_ / "bad.png", 4, 4, 2, pixels, 12));
  EXPECT_EQ(files_in_dir(), 0u);
  EXPECT_FALSE(base::read_png_file(dir_ / "absent.png").has_value());
}

TEST_F(PngFileTest, AtomicWriteKeepsTheTargetWhenRenameFails) {
  // A folder in the way of the target: the rename fails, the folder stays
  // and the temporary file is removed.
  std::filesystem::create_directories(dir_ / "taken" / "inner");
  const Bytes data = {1, 2, 3};
  EXPECT_FALSE(base::write_file_atomically(dir_ / "taken", data));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken"));
  EXPECT_EQ(files_in_dir(), 1u);

  ASSERT_TRUE(base::write_file_atomically(dir_ / "data.bin", data));
  EXPECT_EQ(base::read_file(dir_ / "data.bin"), data);
}

}  // namespace

#include "base/png.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/file_io.h"

namespace base {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;
constexpr std::uint32_t kMaxDimension = 0x7FFFFFFFu;

enum FilterType : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

std::uint32_t load_be32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

void put_be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t crc_of(const std::uint8_t* p, std::size_t n, std::uint32_t crc) {
  // zlib takes a uInt length; chunks are below 2^31 bytes.
  return static_cast<std::uint32_t>(::crc32(crc, p, static_cast<uInt>(n)));
}

void put_chunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  put_be32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const std::uint32_t crc = crc_of(out.data() + type_at, 4 + data.size(), 0);
  put_be32(out, crc);
}

std::uint8_t paeth_predictor(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  if (pb <= pc) return static_cast<std::uint8_t>(b);
  return static_cast<std::uint8_t>(c);
}

// The predictor of byte i of a row from its left neighbour (a), the byte
// above (b) and the byte above-left (c); `prior` is all zeros for row 0.
std::uint8_t predict(std::uint8_t type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t i,
                     std::size_t bpp) {
  const int a = i >= bpp ? row[i - bpp] : 0;
  const int b = prior[i];
  const int c = i >= bpp ? prior[i - bpp] : 0;
  switch (type) {
    case kSub:
      return static_cast<std::uint8_t>(a);
    case kUp:
      return static_cast<std::uint8_t>(b);
    case kAverage:
      return static_cast<std::uint8_t>((a + b) / 2);
    case kPaeth:
      return paeth_predictor(a, b, c);
    default:
      return 0;
  }
}

void filter_row(std::uint8_t type, const std::uint8_t* row, const std::uint8_t* prior, std::size_t length,
                std::size_t bpp, std::uint8_t* out) {
  for (std::size_t i = 0; i < length; ++i) {
    out[i] = static_cast<std::uint8_t>(row[i] - predict(type, row, prior, i, bpp));
  }
}

std::uint64_t filter_cost(const std::uint8_t* filtered, std::size_t length) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < length; ++i) {
    sum += static_cast<std::uint64_t>(std::abs(static_cast<int>(static_cast<std::int8_t>(filtered[i]))));
  }
  return sum;
}

std::uint8_t fixed_filter_type(PngFilter filter) {
  switch (filter) {
    case PngFilter::sub:
      return kSub;
    case PngFilter::up:
      return kUp;
    case PngFilter::average:
      return kAverage;
    case PngFilter::paeth:
      return kPaeth;
    default:
      return kNone;
  }
}

// Inflates a zlib stream that must produce exactly `expected` bytes.
bool inflate_exact(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out, std::size_t expected) {
  // One spare byte: a stream that still has output when the buffer is full
  // carries more data than the image needs.
  out.assign(expected + 1, 0);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return false;
  zs.next_out = out.data();
  std::size_t in_done = 0;
  std::size_t out_done = 0;
  int status = Z_OK;
  while (status == Z_OK) {
    const std::size_t in_part = std::min<std::size_t>(in.size() - in_done, UINT_MAX);
    const std::size_t out_part = std::min<std::size_t>(out.size() - out_done, UINT_MAX);
    zs.next_in = const_cast<Bytef*>(in.data() + in_done);
    zs.avail_in = static_cast<uInt>(in_part);
    zs.next_out = out.data() + out_done;
    zs.avail_out = static_cast<uInt>(out_part);
    status = inflate(&zs, Z_NO_FLUSH);
    in_done += in_part - zs.avail_in;
    out_done += out_part - zs.avail_out;
    if (status == Z_OK && in_part == zs.avail_in && out_part == zs.avail_out) break;
  }
  inflateEnd(&zs);
  if (status != Z_STREAM_END || out_done != expected) return false;
  out.resize(expected);
  return true;
}

bool compress_all(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out) {
  uLongf size = compressBound(static_cast<uLong>(in.size()));
  out.resize(size);
  if (compress2(out.data(), &size, in.data(), static_cast<uLong>(in.size()), Z_DEFAULT_COMPRESSION) != Z_OK) {
    return false;
  }
  out.resize(size);
  return true;
}

}  // namespace

std::vector<std::uint8_t> encode_png(std::uint32_t width, std::uint32_t height, int channels,
                                     std::span<const std::uint8_t> pixels, std::size_t stride,
                                     PngFilter filter) {
  if (channels != 3 && channels != 4) return {};
  if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return {};
  const std::uint64_t row_bytes = std::uint64_t{width} * static_cast<std::uint64_t>(channels);
  if (stride < row_bytes) return {};
  const std::uint64_t filtered_size = (row_bytes + 1) * height;
  if (filtered_size > kPngMaxDataBytes) return {};
  // The last row needs only row_bytes, not a whole stride; stride is at
  // least row_bytes, so it is not zero.
  if (pixels.size() < row_bytes || (height - 1) > (pixels.size() - row_bytes) / stride) {
    return {};
  }

  const auto row_length = static_cast<std::size_t>(row_bytes);
  const auto bpp = static_cast<std::size_t>(channels);
  std::vector<std::uint8_t> filtered(static_cast<std::size_t>(filtered_size));
  const std::vector<std::uint8_t> zero_row(row_length, 0);
  std::vector<std::uint8_t> candidate(row_length);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* row = pixels.data() + std::size_t{y} * stride;
    const std::uint8_t* prior = y == 0 ? zero_row.data() : row - stride;
    std::uint8_t* out = filtered.data() + std::size_t{y} * (row_length + 1);
    if (filter != PngFilter::adaptive) {
      out[0] = fixed_filter_type(filter);
      filter_row(out[0], row, prior, row_length, bpp, out + 1);
      continue;
    }
    std::uint64_t best_cost = UINT64_MAX;
    for (std::uint8_t type = kNone; type <= kPaeth; ++type) {
      filter_row(type, row, prior, row_length, bpp, candidate.data());
      const std::uint64_t cost = filter_cost(candidate.data(), row_length);
      if (cost < best_cost) {
        best_cost = cost;
        out[0] = type;
        std::copy(candidate.begin(), candidate.end(), out + 1);
      }
    }
  }

  std::vector<std::uint8_t> compressed;
  if (!compress_all(filtered, compressed) || compressed.size() > kMaxChunkLength) return {};

  std::vector<std::uint8_t> file(kSignature.begin(), kSignature.end());
  std::vector<std::uint8_t> header;
  put_be32(header, width);
  put_be32(header, height);
  header.push_back(8);                      // bits per channel
  header.push_back(channels == 4 ? 6 : 2);  // colour type RGBA or RGB
  header.push_back(0);                      // deflate
  header.push_back(0);                      // adaptive filtering
  header.push_back(0);                      // not interlaced
  put_chunk(file, "IHDR", header);
  put_chunk(file, "IDAT", compressed);
  put_chunk(file, "IEND", {});
  return file;
}

bool write_png_file(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
                    int channels, std::span<const std::uint8_t> pixels, std::size_t stride) {
  const std::vector<std::uint8_t> file = encode_png(width, height, channels, pixels, stride);
  if (file.empty()) return false;
  return write_file_atomically(path, file);
}

std::optional<PngImage> decode_png(std::span<const std::uint8_t> file) {
  if (file.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
    return std::nullopt;
  }

  PngImage image;
  std::vector<std::uint8_t> compressed;
  bool have_header = false;
  bool have_end = false;
  std::size_t pos = kSignature.size();
  while (!have_end) {
    if (file.size() - pos < 12) return std::nullopt;
    const std::uint32_t length = load_be32(file.data() + pos);
    if (length > kMaxChunkLength || length > file.size() - pos - 12) return std::nullopt;
    const std::uint8_t* type = file.data() + pos + 4;
    const std::uint8_t* data = type + 4;
    const std::uint32_t stored_crc = load_be32(data + length);
    if (crc_of(type, 4 + std::size_t{length}, 0) != stored_crc) return std::nullopt;
    pos += 12 + std::size_t{length};

    const std::string_view name(reinterpret_cast<const char*>(type), 4);
    if (!have_header) {
      // IHDR must come first.
      if (name != "IHDR" || length != 13) return std::nullopt;
      image.width = load_be32(data);
      image.height = load_be32(data + 4);
      const std::uint8_t depth = data[8];
      const std::uint8_t colour = data[9];
      if (image.width == 0 || image.height == 0 || image.width > kMaxDimension ||
          image.height > kMaxDimension) {
        return std::nullopt;
      }
      if (depth != 8 || (colour != 2 && colour != 6)) return std::nullopt;
      if (data[10] != 0 || data[11] != 0 || data[12] != 0) return std::nullopt;
      image.channels = colour == 6 ? 4 : 3;
      have_header = true;
    } else if (name == "IDAT") {
      if (compressed.size() + length > kPngMaxDataBytes * 2) return std::nullopt;
      compressed.insert(compressed.end(), data, data + length);
    } else if (name == "IEND") {
      have_end = true;
    } else if (name == "IHDR") {
      return std::nullopt;
    } else if ((type[0] & 0x20) == 0 && name != "PLTE") {
      // An unknown chunk that is marked critical cannot be skipped.
      return std::nullopt;
    }
  }
  if (!have_header || compressed.empty()) return std::nullopt;

  const std::uint64_t row_bytes = std::uint64_t{image.width} * static_cast<std::uint64_t>(image.channels);
  const std::uint64_t filtered_size = (row_bytes + 1) * image.height;
  if (filtered_size > kPngMaxDataBytes) return std::nullopt;

  std::vector<std::uint8_t> filtered;
  if (!inflate_exact(compressed, filtered, static_cast<std::size_t>(filtered_size))) {
    return std::nullopt;
  }

  const auto row_length = static_cast<std::size_t>(row_bytes);
  const auto bpp = static_cast<std::size_t>(image.channels);
  image.pixels.resize(row_length * image.height);
  const std::vector<std::uint8_t> zero_row(row_length, 0);
  for (std::uint32_t y = 0; y < image.height; ++y) {
    const std::uint8_t* in = filtered.data() + std::size_t{y} * (row_length + 1);
    const std::uint8_t type = in[0];
    if (type > kPaeth) return std::nullopt;
    std::uint8_t* row = image.pixels.data() + std::size_t{y} * row_length;
    const std::uint8_t* prior = y == 0 ? zero_row.data() : row - row_length;
    for (std::size_t i = 0; i < row_length; ++i) {
      row[i] = static_cast<std::uint8_t>(in[1 + i] + predict(type, row, prior, i, bpp));
    }
  }
  return image;
}

std::optional<PngImage> read_png_file(const std::filesystem::path& path) {
  const std::optional<std::vector<std::uint8_t>> file = read_file(path);
  if (!file) return std::nullopt;
  return decode_png(*file);
}

}  // namespace base

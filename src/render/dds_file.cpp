#include "render/dds_file.h"

#include "base/byte_reader.h"

namespace render {

namespace {

constexpr std::uint32_t kHeaderFieldsSize = 124;
constexpr std::uint32_t kPixelFormatSize = 32;

void put_u32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::optional<Image> decode_dds(std::span<const std::uint8_t> file) {
  base::ByteReader reader(file);
  if (reader.u32() != kDdsMagic) return std::nullopt;
  base::ByteReader header = reader.sub_reader(kHeaderFieldsSize);
  const std::uint32_t header_size = header.u32();
  const std::uint32_t flags = header.u32();
  const std::uint32_t height = header.u32();
  const std::uint32_t width = header.u32();
  header.u32();  // pitch or linear size: the format says how big a level is
  const std::uint32_t depth = header.u32();
  const std::uint32_t mip_count = header.u32();
  header.skip(11 * 4);
  const std::uint32_t pixel_format_size = header.u32();
  DdsPixelFormatFields fields;
  fields.flags = header.u32();
  fields.fourcc = header.u32();
  fields.bit_count = header.u32();
  fields.red_mask = header.u32();
  fields.green_mask = header.u32();
  fields.blue_mask = header.u32();
  fields.alpha_mask = header.u32();
  header.u32();  // caps
  const std::uint32_t caps2 = header.u32();
  if (!header.ok() || header_size != kHeaderFieldsSize || pixel_format_size != kPixelFormatSize) {
    return std::nullopt;
  }
  if (width == 0 || height == 0 || width > kMaxImageExtent || height > kMaxImageExtent) return std::nullopt;
  if ((caps2 & (dds::kCaps2Cubemap | dds::kCaps2Volume)) != 0) return std::nullopt;
  if ((flags & dds::kFlagDepth) != 0 && depth > 1) return std::nullopt;

  const PixelFormat format = dds_pixel_format(fields);
  if (format == PixelFormat::Unknown || level_size(format, 1, 1) == 0) return std::nullopt;
  std::uint32_t levels = (flags & dds::kFlagMipCount) != 0 ? mip_count : 1;
  if (levels == 0) levels = 1;
  if (levels > full_chain_levels(width, height)) return std::nullopt;

  Image image;
  image.format = format;
  std::uint32_t level_width = width;
  std::uint32_t level_height = height;
  for (std::uint32_t i = 0; i < levels; ++i) {
    const std::span<const std::uint8_t> data = reader.bytes(level_size(format, level_width, level_height));
    if (!reader.ok()) return std::nullopt;
    ImageLevel level;
    level.width = level_width;
    level.height = level_height;
    level.pitch = surface_pitch(format, level_width);
    level.bytes.assign(data.begin(), data.end());
    image.levels.push_back(std::move(level));
    level_width = next_level_extent(level_width);
    level_height = next_level_extent(level_height);
  }
  return image;
}

std::vector<std::uint8_t> encode_dds(const Image& image) {
  const DdsPixelFormatFields fields = dds_fields_of(image.format);
  if (fields.flags == 0 || image.levels.empty()) return {};
  std::uint64_t total = kDdsHeaderSize;
  std::uint32_t width = image.width();
  std::uint32_t height = image.height();
  for (const ImageLevel& level : image.levels) {
    const std::uint64_t size = level_size(image.format, width, height);
    if (level.width != width || level.height != height || level.bytes.size() != size) return {};
    total += size;
    width = next_level_extent(width);
    height = next_level_extent(height);
  }

  std::vector<std::uint8_t> out(kDdsHeaderSize, 0);
  const bool chain = image.levels.size() > 1;
  const bool compressed = is_dxt(image.format);
  constexpr std::size_t h = 4;  // the header follows the magic
  put_u32(out, 0, kDdsMagic);
  put_u32(out, h + dds::kSize, kHeaderFieldsSize);
  put_u32(out, h + dds::kFlags,
          dds::kFlagCaps | dds::kFlagHeight | dds::kFlagWidth | dds::kFlagPixelFormat |
              (compressed ? dds::kFlagLinearSize : dds::kFlagPitch) | (chain ? dds::kFlagMipCount : 0));
  put_u32(out, h + dds::kHeight, image.height());
  put_u32(out, h + dds::kWidth, image.width());
  put_u32(out, h + dds::kPitch,
          static_cast<std::uint32_t>(compressed ? image.levels[0].bytes.size() : image.levels[0].pitch));
  put_u32(out, h + dds::kMipCount, chain ? image.level_count() : 0);
  put_u32(out, h + dds::kPixelFormat, kPixelFormatSize);
  put_u32(out, h + dds::kPixelFormat + 4, fields.flags);
  put_u32(out, h + dds::kPixelFormat + 8, fields.fourcc);
  put_u32(out, h + dds::kPixelFormat + 12, fields.bit_count);
  put_u32(out, h + dds::kPixelFormat + 16, fields.red_mask);
  put_u32(out, h + dds::kPixelFormat + 20, fields.green_mask);
  put_u32(out, h + dds::kPixelFormat + 24, fields.blue_mask);
  put_u32(out, h + dds::kPixelFormat + 28, fields.alpha_mask);
  put_u32(out, h + dds::kCaps, dds::kCapsTexture | (chain ? dds::kCapsComplex | dds::kCapsMipmap : 0));
  out.reserve(static_cast<std::size_t>(total));
  for (const ImageLevel& level : image.levels) out.insert(out.end(), level.bytes.begin(), level.bytes.end());
  return out;
}

}  // namespace render

#include "render/image.h"

#include <bit>
#include <utility>

#include "render/dxt_decoder.h"

namespace render {

namespace {

// One channel of a layout: where it sits and its largest value.
struct Channel {
  int shift = 0;
  std::uint32_t max = 0;
};

Channel channel_of(std::uint32_t mask) {
  if (mask == 0) return {};
  const int shift = std::countr_zero(mask);
  return {shift, mask >> shift};
}

std::uint32_t to_8_bits(std::uint32_t word, const Channel& c) {
  const std::uint32_t v = (word >> c.shift) & c.max;
  return static_cast<std::uint32_t>((std::uint64_t{v} * 255 + c.max / 2) / c.max);
}

std::uint32_t from_8_bits(std::uint32_t v8, const Channel& c) {
  return static_cast<std::uint32_t>((std::uint64_t{v8} * c.max + 127) / 255) << c.shift;
}

struct Codec {
  int bytes = 0;
  Channel a, r, g, b;
};

std::optional<Codec> codec_of(PixelFormat format) {
  const ChannelLayout* layout = channel_layout(format);
  if (layout == nullptr) return std::nullopt;
  return Codec{layout->bits / 8, channel_of(layout->alpha), channel_of(layout->red),
               channel_of(layout->green), channel_of(layout->blue)};
}

std::uint32_t load_word(const std::uint8_t* p, int bytes) {
  std::uint32_t word = 0;
  for (int i = 0; i < bytes; ++i) word |= std::uint32_t{p[i]} << (8 * i);
  return word;
}

void store_word(std::uint8_t* p, int bytes, std::uint32_t word) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

std::uint32_t decode_pixel(const Codec& codec, std::uint32_t word) {
  const std::uint32_t a = codec.a.max != 0 ? to_8_bits(word, codec.a) : 0xFF;
  const std::uint32_t r = codec.r.max != 0 ? to_8_bits(word, codec.r) : 0;
  const std::uint32_t g = codec.g.max != 0 ? to_8_bits(word, codec.g) : 0;
  const std::uint32_t b = codec.b.max != 0 ? to_8_bits(word, codec.b) : 0;
  return a << 24 | r << 16 | g << 8 | b;
}

std::uint32_t encode_pixel(const Codec& codec, std::uint32_t argb) {
  std::uint32_t word = 0;
  if (codec.a.max != 0) word |= from_8_bits(argb >> 24, codec.a);
  if (codec.r.max != 0) word |= from_8_bits((argb >> 16) & 0xFF, codec.r);
  if (codec.g.max != 0) word |= from_8_bits((argb >> 8) & 0xFF, codec.g);
  if (codec.b.max != 0) word |= from_8_bits(argb & 0xFF, codec.b);
  return word;
}

bool valid_extent(std::uint32_t width, std::uint32_t height) {
  return width > 0 && height > 0 && width <= kMaxImageExtent && height <= kMaxImageExtent;
}

// Sums of channels for the box filters.
struct ChannelSums {
  std::uint64_t a = 0, r = 0, g = 0, b = 0;

  void add(std::uint32_t p) {
    a += p >> 24;
    r += (p >> 16) & 0xFF;
    g += (p >> 8) & 0xFF;
    b += p & 0xFF;
  }
  std::uint32_t mean(std::uint64_t n) const {
    const auto round = [n](std::uint64_t sum) { return static_cast<std::uint32_t>((sum + n / 2) / n); };
    return round(a) << 24 | round(r) << 16 | round(g) << 8 | round(b);
  }
};

}  // namespace

std::optional<ImageLevel> make_level(PixelFormat format, std::uint32_t width, std::uint32_t height) {
  if (!valid_extent(width, height)) return std::nullopt;
  const std::uint64_t size = level_size(format, width, height);
  if (size == 0) return std::nullopt;
  ImageLevel level;
  level.width = width;
  level.height = height;
  level.pitch = surface_pitch(format, width);
  level.bytes.assign(static_cast<std::size_t>(size), 0);
  return level;
}

std::vector<std::uint32_t> level_to_argb(PixelFormat format, const ImageLevel& level) {
  if (!valid_extent(level.width, level.height)) return {};
  if (level.bytes.size() < level_size(format, level.width, level.height)) return {};
  std::vector<std::uint32_t> argb(std::size_t{level.width} * level.height);
  if (is_dxt(format)) {
    if (!decode_dxt(format, level.bytes, level.width, level.height, argb)) return {};
    return argb;
  }
  const std::optional<Codec> codec = codec_of(format);
  if (!codec) return {};
  const std::uint64_t pitch = surface_pitch(format, level.width);
  for (std::uint32_t y = 0; y < level.height; ++y) {
    const std::uint8_t* row = level.bytes.data() + y * pitch;
    for (std::uint32_t x = 0; x < level.width; ++x) {
      argb[std::size_t{y} * level.width + x] =
          decode_pixel(*codec, load_word(row + x * codec->bytes, codec->bytes));
    }
  }
  return argb;
}

std::optional<ImageLevel> level_from_argb(PixelFormat format, std::uint32_t width, std::uint32_t height,
                                          std::span<const std::uint32_t> argb) {
  const std::optional<Codec> codec = codec_of(format);
  if (!codec || argb.size() < std::uint64_t{width} * height) return std::nullopt;
  std::optional<ImageLevel> level = make_level(format, width, height);
  if (!level) return std::nullopt;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* row = level->bytes.data() + y * level->pitch;
    for (std::uint32_t x = 0; x < width; ++x) {
      store_word(row + x * codec->bytes, codec->bytes,
                 encode_pixel(*codec, argb[std::size_t{y} * width + x]));
    }
  }
  return level;
}

std::optional<Image> image_from_argb(PixelFormat format, std::uint32_t width, std::uint32_t height,
                                     std::span<const std::uint32_t> argb) {
  std::optional<ImageLevel> level = level_from_argb(format, width, height, argb);
  if (!level) return std::nullopt;
  Image image;
  image.format = format;
  image.levels.push_back(std::move(*level));
  return image;
}

std::optional<Image> convert_image(const Image& image, PixelFormat format) {
  if (image.format == format) return image;
  Image out;
  out.format = format;
  for (const ImageLevel& level : image.levels) {
    const std::vector<std::uint32_t> argb = level_to_argb(image.format, level);
    if (argb.empty()) return std::nullopt;
    std::optional<ImageLevel> converted = level_from_argb(format, level.width, level.height, argb);
    if (!converted) return std::nullopt;
    out.levels.push_back(std::move(*converted));
  }
  return out;
}

std::vector<std::uint32_t> box_resample(std::span<const std::uint32_t> argb, std::uint32_t width,
                                        std::uint32_t height, std::uint32_t new_width,
                                        std::uint32_t new_height) {
  if (!valid_extent(width, height) || !valid_extent(new_width, new_height) ||
      argb.size() < std::uint64_t{width} * height) {
    return {};
  }
  std::vector<std::uint32_t> out(std::size_t{new_width} * new_height);
  for (std::uint32_t y = 0; y < new_height; ++y) {
    const std::uint64_t y0 = std::uint64_t{y} * height / new_height;
    std::uint64_t y1 = (std::uint64_t{y} + 1) * height / new_height;
    if (y1 <= y0) y1 = y0 + 1;
    for (std::uint32_t x = 0; x < new_width; ++x) {
      const std::uint64_t x0 = std::uint64_t{x} * width / new_width;
      std::uint64_t x1 = (std::uint64_t{x} + 1) * width / new_width;
      if (x1 <= x0) x1 = x0 + 1;
      ChannelSums sums;
      for (std::uint64_t sy = y0; sy < y1; ++sy) {
        for (std::uint64_t sx = x0; sx < x1; ++sx) sums.add(argb[sy * width + sx]);
      }
      out[std::size_t{y} * new_width + x] = sums.mean((y1 - y0) * (x1 - x0));
    }
  }
  return out;
}

std::vector<std::uint32_t> half_level(std::span<const std::uint32_t> argb, std::uint32_t width,
                                      std::uint32_t height) {
  if (!valid_extent(width, height) || argb.size() < std::uint64_t{width} * height) return {};
  const std::uint32_t new_width = next_level_extent(width);
  const std::uint32_t new_height = next_level_extent(height);
  std::vector<std::uint32_t> out(std::size_t{new_width} * new_height);
  for (std::uint32_t y = 0; y < new_height; ++y) {
    const std::uint32_t y0 = height > 1 ? 2 * y : 0;
    const std::uint32_t y1 = height > 1 ? 2 * y + 1 : 0;
    for (std::uint32_t x = 0; x < new_width; ++x) {
      const std::uint32_t x0 = width > 1 ? 2 * x : 0;
      const std::uint32_t x1 = width > 1 ? 2 * x + 1 : 0;
      ChannelSums sums;
      sums.add(argb[std::size_t{y0} * width + x0]);
      sums.add(argb[std::size_t{y0} * width + x1]);
      sums.add(argb[std::size_t{y1} * width + x0]);
      sums.add(argb[std::size_t{y1} * width + x1]);
      out[std::size_t{y} * new_width + x] = sums.mean(4);
    }
  }
  return out;
}

bool build_mip_chain(Image& image, std::uint32_t levels) {
  if (image.levels.empty() || !codec_of(image.format)) return false;
  const std::uint32_t full = full_chain_levels(image.width(), image.height());
  if (levels == 0 || levels > full) levels = full;
  std::vector<ImageLevel> chain;
  chain.push_back(image.levels[0]);
  std::vector<std::uint32_t> argb = level_to_argb(image.format, chain[0]);
  if (argb.empty()) return false;
  std::uint32_t width = chain[0].width;
  std::uint32_t height = chain[0].height;
  while (chain.size() < levels) {
    argb = half_level(argb, width, height);
    width = next_level_extent(width);
    height = next_level_extent(height);
    std::optional<ImageLevel> level = level_from_argb(image.format, width, height, argb);
    if (!level) return false;
    chain.push_back(std::move(*level));
  }
  image.levels = std::move(chain);
  return true;
}

}  // namespace render

#include "render/tga_file.h"

#include <algorithm>

#include "base/byte_reader.h"

namespace render {

namespace {

constexpr std::uint8_t kTopFirst = 0x20;
constexpr std::uint8_t kRightToLeft = 0x10;
constexpr std::uint8_t kInterleave = 0xC0;

// How one stored value (a pixel or a colour-map entry) becomes 0xAARRGGBB.
struct ValueFormat {
  int bytes = 0;
  int bits = 0;
  bool grey = false;
  bool alpha_bit = false;  // 16-bit values whose top bit is alpha

  std::uint32_t decode(const std::uint8_t* p) const {
    if (grey) return 0xFF000000 | std::uint32_t{p[0]} * 0x010101;
    if (bytes == 2) {
      const std::uint32_t word = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
      const auto five = [](std::uint32_t v) { return (v << 3) | (v >> 2); };
      const std::uint32_t a = alpha_bit ? ((word & 0x8000) != 0 ? 0xFF : 0) : 0xFF;
      return a << 24 | five((word >> 10) & 0x1F) << 16 | five((word >> 5) & 0x1F) << 8 | five(word & 0x1F);
    }
    const std::uint32_t a = bytes == 4 ? p[3] : 0xFF;
    return a << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
};

std::optional<ValueFormat> colour_format(int bits, bool alpha_bit) {
  switch (bits) {
    case 15:
      return ValueFormat{2, 15, false, false};
    case 16:
      return ValueFormat{2, 16, false, alpha_bit};
    case 24:
      return ValueFormat{3, 24, false, false};
    case 32:
      return ValueFormat{4, 32, false, false};
    default:
      return std::nullopt;
  }
}

// Turns stored values into pixels: through the colour map, or directly.
struct PixelSource {
  ValueFormat value;
  const std::vector<std::uint32_t>* map = nullptr;
  std::uint32_t map_first = 0;

  bool decode(const std::uint8_t* p, std::uint32_t& pixel) const {
    if (map == nullptr) {
      pixel = value.decode(p);
      return true;
    }
    const std::uint32_t index = p[0];
    if (index < map_first || index - map_first >= map->size()) return false;
    pixel = (*map)[index - map_first];
    return true;
  }
};

// Places the i-th pixel of the file's order in a top-to-bottom picture.
struct Placement {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool top_first = false;
  bool right_to_left = false;

  std::size_t index(std::uint64_t i) const {
    const std::uint64_t row = i / width;
    const std::uint64_t column = i % width;
    const std::uint64_t y = top_first ? row : height - 1 - row;
    const std::uint64_t x = right_to_left ? width - 1 - column : column;
    return static_cast<std::size_t>(y * width + x);
  }
};

bool read_plain(base::ByteReader& reader, const PixelSource& source, const Placement& place,
                std::vector<std::uint32_t>& out) {
  const std::uint64_t count = out.size();
  const int bytes = source.value.bytes;
  const std::span<const std::uint8_t> data = reader.bytes(count * static_cast<std::uint64_t>(bytes));
  if (!reader.ok()) return false;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (!source.decode(data.data() + i * static_cast<std::uint64_t>(bytes), out[place.index(i)]))
      return false;
  }
  return true;
}

// Packets: a byte whose top bit marks a run of one value repeated and whose
// low 7 bits are the count less one, then the run's value or the count's
// values. A packet that reaches past the picture's end is cut there.
bool read_rle(base::ByteReader& reader, const PixelSource& source, const Placement& place,
              std::vector<std::uint32_t>& out) {
  const std::uint64_t count = out.size();
  const std::uint64_t bytes = static_cast<std::uint64_t>(source.value.bytes);
  std::uint64_t i = 0;
  while (i < count) {
    const std::uint8_t packet = reader.u8();
    const std::uint64_t length = std::min<std::uint64_t>((packet & 0x7F) + 1, count - i);
    if ((packet & 0x80) != 0) {
      const std::span<const std::uint8_t> value = reader.bytes(bytes);
      std::uint32_t pixel = 0;
      if (!reader.ok() || !source.decode(value.data(), pixel)) return false;
      for (std::uint64_t k = 0; k < length; ++k) out[place.index(i + k)] = pixel;
    } else {
      const std::span<const std::uint8_t> values = reader.bytes(((packet & 0x7F) + 1) * bytes);
      if (!reader.ok()) return false;
      for (std::uint64_t k = 0; k < length; ++k) {
        if (!source.decode(values.data() + k * bytes, out[place.index(i + k)])) return false;
      }
    }
    i += length;
  }
  return true;
}

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_pixel(std::vector<std::uint8_t>& out, std::uint32_t argb, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(argb >> (8 * i)));
}

}  // namespace

std::optional<TgaPicture> read_tga(std::span<const std::uint8_t> file) {
  base::ByteReader reader(file);
  const std::uint8_t id_length = reader.u8();
  const std::uint8_t map_type = reader.u8();
  const std::uint8_t image_type = reader.u8();
  const std::uint16_t map_first = reader.u16();
  const std::uint16_t map_length = reader.u16();
  const std::uint8_t map_bits = reader.u8();
  reader.u16();  // x origin
  reader.u16();  // y origin
  const std::uint16_t width = reader.u16();
  const std::uint16_t height = reader.u16();
  const std::uint8_t pixel_bits = reader.u8();
  const std::uint8_t descriptor = reader.u8();
  if (!reader.ok()) return std::nullopt;

  const int base_type = image_type & ~8;
  const bool mapped_type = base_type == 1;
  const bool type_allowed = map_type == 0
                                ? (image_type == 2 || image_type == 3 || image_type == 10 || image_type == 11)
                            : map_type == 1 ? mapped_type
                                            : false;
  if (!type_allowed) return std::nullopt;
  if (width == 0 || height == 0 || width > kMaxImageExtent || height > kMaxImageExtent) return std::nullopt;
  if ((descriptor & kInterleave) != 0) return std::nullopt;

  const bool alpha_bit = (descriptor & 0x0F) != 0;
  PixelSource source;
  std::vector<std::uint32_t> map;
  bool has_alpha = false;
  if (mapped_type) {
    const std::optional<ValueFormat> entry = colour_format(map_bits, alpha_bit);
    if (pixel_bits != 8 || !entry || map_length == 0) return std::nullopt;
    if (!reader.skip(id_length)) return std::nullopt;
    const std::span<const std::uint8_t> entries =
        reader.bytes(std::uint64_t{map_length} * static_cast<std::uint64_t>(entry->bytes));
    if (!reader.ok()) return std::nullopt;
    map.resize(map_length);
    for (std::size_t i = 0; i < map.size(); ++i) map[i] = entry->decode(entries.data() + i * entry->bytes);
    source.value = ValueFormat{1, 8, false, false};
    source.map = &map;
    source.map_first = map_first;
    has_alpha = entry->bits == 32 || (entry->bits == 16 && alpha_bit);
  } else {
    if (base_type == 3) {
      if (pixel_bits != 8) return std::nullopt;
      source.value = ValueFormat{1, 8, true, false};
    } else {
      const std::optional<ValueFormat> value = colour_format(pixel_bits, alpha_bit);
      if (!value) return std::nullopt;
      source.value = *value;
      has_alpha = value->bits == 32 || (value->bits == 16 && alpha_bit);
    }
    if (!reader.skip(id_length)) return std::nullopt;
  }

  // The file must be able to hold the declared picture before memory is
  // taken for it: every value for plain data, and for run-length data at
  // least one packet per 128 pixels.
  const std::uint64_t count = std::uint64_t{width} * height;
  const std::uint64_t value_bytes = static_cast<std::uint64_t>(source.value.bytes);
  const bool rle = (image_type & 8) != 0;
  if (rle ? reader.remaining() / (1 + value_bytes) < (count + 127) / 128 : !reader.fits(count, value_bytes)) {
    return std::nullopt;
  }

  TgaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.image_type = image_type;
  picture.pixel_bits = pixel_bits;
  picture.has_alpha = has_alpha;
  picture.argb.assign(static_cast<std::size_t>(count), 0);
  const Placement place{width, height, (descriptor & kTopFirst) != 0, (descriptor & kRightToLeft) != 0};
  const bool ok =
      rle ? read_rle(reader, source, place, picture.argb) : read_plain(reader, source, place, picture.argb);
  if (!ok) return std::nullopt;
  return picture;
}

std::optional<Image> decode_tga(std::span<const std::uint8_t> file) {
  const std::optional<TgaPicture> picture = read_tga(file);
  if (!picture) return std::nullopt;
  return image_from_argb(picture->has_alpha ? PixelFormat::A8R8G8B8 : PixelFormat::X8R8G8B8, picture->width,
                         picture->height, picture->argb);
}

std::vector<std::uint8_t> encode_tga(std::uint32_t width, std::uint32_t height,
                                     std::span<const std::uint32_t> argb, int bits, bool rle,
                                     bool top_first) {
  if (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF || (bits != 24 && bits != 32) ||
      argb.size() != std::size_t{width} * height) {
    return {};
  }
  const int bytes = bits / 8;
  std::vector<std::uint8_t> out;
  out.push_back(0);
  out.push_back(0);
  out.push_back(rle ? 10 : 2);
  put_u16(out, 0);
  put_u16(out, 0);
  out.push_back(0);
  put_u16(out, 0);
  put_u16(out, 0);
  put_u16(out, width);
  put_u16(out, height);
  out.push_back(static_cast<std::uint8_t>(bits));
  out.push_back(static_cast<std::uint8_t>((bits == 32 ? 8 : 0) | (top_first ? kTopFirst : 0)));
  for (std::uint32_t r = 0; r < height; ++r) {
    const std::uint32_t y = top_first ? r : height - 1 - r;
    const std::span<const std::uint32_t> row = argb.subspan(std::size_t{y} * width, width);
    if (!rle) {
      for (const std::uint32_t pixel : row) put_pixel(out, pixel, bytes);
      continue;
    }
    const auto same = [&](std::size_t a, std::size_t b) {
      return bits == 32 ? row[a] == row[b] : (row[a] & 0xFFFFFF) == (row[b] & 0xFFFFFF);
    };
    std::size_t x = 0;
    while (x < row.size()) {
      std::size_t run = 1;
      while (x + run < row.size() && run < 128 && same(x, x + run)) ++run;
      if (run >= 2) {
        out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
        put_pixel(out, row[x], bytes);
        x += run;
        continue;
      }
      std::size_t raw = 1;
      while (x + raw < row.size() && raw < 128 && !(x + raw + 1 < row.size() && same(x + raw, x + raw + 1))) {
        ++raw;
      }
      out.push_back(static_cast<std::uint8_t>(raw - 1));
      for (std::size_t k = 0; k < raw; ++k) put_pixel(out, row[x + k], bytes);
      x += raw;
    }
  }
  return out;
}

}  // namespace render

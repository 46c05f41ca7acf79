#include "render/pixel_format.h"

#include <array>
#include <bit>

namespace render {

namespace {

struct CatalogueEntry {
  PixelFormat format;
  std::string_view name;
  int bits;
  int alpha;
};

using F = PixelFormat;

constexpr std::array kCatalogue = {
    CatalogueEntry{F::Unknown, "UNKNOWN", 0, 0},
    CatalogueEntry{F::R8G8B8, "R8G8B8", 24, 0},
    CatalogueEntry{F::A8R8G8B8, "A8R8G8B8", 32, 8},
    CatalogueEntry{F::X8R8G8B8, "X8R8G8B8", 32, 0},
    CatalogueEntry{F::R5G6B5, "R5G6B5", 16, 0},
    CatalogueEntry{F::X1R5G5B5, "X1R5G5B5", 16, 0},
    CatalogueEntry{F::A1R5G5B5, "A1R5G5B5", 16, 1},
    CatalogueEntry{F::A4R4G4B4, "A4R4G4B4", 16, 4},
    CatalogueEntry{F::R3G3B2, "R3G3B2", 8, 0},
    CatalogueEntry{F::A8, "A8", 0, 0},
    CatalogueEntry{F::A8R3G3B2, "A8R3G3B2", 16, 8},
    CatalogueEntry{F::X4R4G4B4, "X4R4G4B4", 16, 0},
    CatalogueEntry{F::A2B10G10R10, "A2B10G10R10", 32, 2},
    CatalogueEntry{F::A8B8G8R8, "A8B8G8R8", 0, 0},
    CatalogueEntry{F::X8B8G8R8, "X8B8G8R8", 0, 0},
    CatalogueEntry{F::G16R16, "G16R16", 0, 0},
    CatalogueEntry{F::A2R10G10B10, "A2R10G10B10", 32, 2},
    CatalogueEntry{F::A16B16G16R16, "A16B16G16R16", 0, 16},
    CatalogueEntry{F::A8P8, "A8P8", 0, 0},
    CatalogueEntry{F::P8, "P8", 0, 0},
    CatalogueEntry{F::L8, "L8", 0, 0},
    CatalogueEntry{F::A8L8, "A8L8", 0, 0},
    CatalogueEntry{F::A4L4, "A4L4", 0, 0},
    CatalogueEntry{F::V8U8, "V8U8", 0, 0},
    CatalogueEntry{F::L6V5U5, "L6V5U5", 0, 0},
    CatalogueEntry{F::X8L8V8U8, "X8L8V8U8", 0, 0},
    CatalogueEntry{F::Q8W8V8U8, "Q8W8V8U8", 0, 0},
    CatalogueEntry{F::V16U16, "V16U16", 0, 0},
    CatalogueEntry{F::A2W10V10U10, "A2W10V10U10", 0, 0},
    CatalogueEntry{F::D16Lockable, "D16_LOCKABLE", 0, 0},
    CatalogueEntry{F::D32, "D32", 0, 0},
    CatalogueEntry{F::D15S1, "D15S1", 0, 0},
    CatalogueEntry{F::D24S8, "D24S8", 0, 0},
    CatalogueEntry{F::D24X8, "D24X8", 0, 0},
    CatalogueEntry{F::D24X4S4, "D24X4S4", 0, 0},
    CatalogueEntry{F::D16, "D16", 0, 0},
    CatalogueEntry{F::L16, "L16", 0, 0},
    CatalogueEntry{F::VertexData, "VERTEXDATA", 0, 0},
    CatalogueEntry{F::Index16, "INDEX16", 0, 0},
    CatalogueEntry{F::Index32, "INDEX32", 0, 0},
    CatalogueEntry{F::Q16W16V16U16, "Q16W16V16U16", 0, 0},
    CatalogueEntry{F::R16F, "R16F", 0, 0},
    CatalogueEntry{F::G16R16F, "G16R16F", 0, 0},
    CatalogueEntry{F::A16B16G16R16F, "A16B16G16R16F", 0, 0},
    CatalogueEntry{F::R32F, "R32F", 0, 0},
    CatalogueEntry{F::G32R32F, "G32R32F", 0, 0},
    CatalogueEntry{F::A32B32G32R32F, "A32B32G32R32F", 0, 0},
    CatalogueEntry{F::CxV8U8, "CxV8U8", 0, 0},
    CatalogueEntry{F::Multi2Argb8, "MULTI2_ARGB8", 0, 0},
    CatalogueEntry{F::Dxt1, "DXT1", 0, 1},
    CatalogueEntry{F::Dxt2, "DXT2", 0, 1},
    CatalogueEntry{F::Dxt3, "DXT3", 0, 4},
    CatalogueEntry{F::Dxt4, "DXT4", 0, 4},
    CatalogueEntry{F::Dxt5, "DXT5", 0, 8},
    CatalogueEntry{F::Yuy2, "YUY2", 0, 0},
    CatalogueEntry{F::Uyvy, "UYVY", 0, 0},
};

const CatalogueEntry* catalogue_entry(PixelFormat format) {
  for (const CatalogueEntry& entry : kCatalogue) {
    if (entry.format == format) return &entry;
  }
  return nullptr;
}

struct LayoutEntry {
  PixelFormat format;
  ChannelLayout layout;
};

constexpr std::array kLayouts = {
    LayoutEntry{F::R8G8B8, {24, 0, 0xFF0000, 0xFF00, 0xFF}},
    LayoutEntry{F::A8R8G8B8, {32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF}},
    LayoutEntry{F::X8R8G8B8, {32, 0, 0xFF0000, 0xFF00, 0xFF}},
    LayoutEntry{F::R5G6B5, {16, 0, 0xF800, 0x07E0, 0x001F}},
    LayoutEntry{F::X1R5G5B5, {16, 0, 0x7C00, 0x03E0, 0x001F}},
    LayoutEntry{F::A1R5G5B5, {16, 0x8000, 0x7C00, 0x03E0, 0x001F}},
    LayoutEntry{F::A4R4G4B4, {16, 0xF000, 0x0F00, 0x00F0, 0x000F}},
    LayoutEntry{F::R3G3B2, {8, 0, 0xE0, 0x1C, 0x03}},
    LayoutEntry{F::A8, {8, 0xFF, 0, 0, 0}},
    LayoutEntry{F::A8R3G3B2, {16, 0xFF00, 0xE0, 0x1C, 0x03}},
    LayoutEntry{F::X4R4G4B4, {16, 0, 0x0F00, 0x00F0, 0x000F}},
    LayoutEntry{F::A2B10G10R10, {32, 0xC0000000, 0x3FF, 0xFFC00, 0x3FF00000}},
    LayoutEntry{F::A8B8G8R8, {32, 0xFF000000, 0xFF, 0xFF00, 0xFF0000}},
    LayoutEntry{F::X8B8G8R8, {32, 0, 0xFF, 0xFF00, 0xFF0000}},
    LayoutEntry{F::A2R10G10B10, {32, 0xC0000000, 0x3FF00000, 0xFFC00, 0x3FF}},
};

// The formats a DDS file can describe with masks, each with the twin that
// carries alpha where there is one.
struct DdsMaskFormat {
  PixelFormat opaque;
  PixelFormat with_alpha;
};

constexpr std::array kDdsMaskFormats = {
    DdsMaskFormat{F::R3G3B2, F::Unknown},    DdsMaskFormat{F::R5G6B5, F::Unknown},
    DdsMaskFormat{F::X1R5G5B5, F::A1R5G5B5}, DdsMaskFormat{F::X4R4G4B4, F::A4R4G4B4},
    DdsMaskFormat{F::R8G8B8, F::Unknown},    DdsMaskFormat{F::X8R8G8B8, F::A8R8G8B8},
    DdsMaskFormat{F::X8B8G8R8, F::A8B8G8R8},
};

bool same_colour_masks(const ChannelLayout& layout, const DdsPixelFormatFields& fields) {
  return static_cast<std::uint32_t>(layout.bits) == fields.bit_count && layout.red == fields.red_mask &&
         layout.green == fields.green_mask && layout.blue == fields.blue_mask;
}

}  // namespace

std::string_view pixel_format_name(PixelFormat format) {
  const CatalogueEntry* entry = catalogue_entry(format);
  return entry != nullptr ? entry->name : "Unknown format";
}

int bits_per_pixel(PixelFormat format) {
  const CatalogueEntry* entry = catalogue_entry(format);
  return entry != nullptr ? entry->bits : 0;
}

int alpha_bits(PixelFormat format) {
  const CatalogueEntry* entry = catalogue_entry(format);
  return entry != nullptr ? entry->alpha : 0;
}

int depth_bits(PixelFormat format) {
  switch (format) {
    case F::D16Lockable:
    case F::D16:
      return 16;
    case F::D32:
    case F::D32FLockable:
      return 32;
    case F::D15S1:
      return 15;
    case F::D24S8:
    case F::D24X8:
    case F::D24X4S4:
    case F::D24FS8:
      return 24;
    default:
      return 0;
  }
}

int stencil_bits(PixelFormat format) {
  switch (format) {
    case F::D15S1:
      return 1;
    case F::D24S8:
    case F::D24FS8:
      return 8;
    case F::D24X4S4:
      return 4;
    default:
      return 0;
  }
}

bool is_dxt(PixelFormat format) {
  return format == F::Dxt1 || format == F::Dxt2 || format == F::Dxt3 || format == F::Dxt4 ||
         format == F::Dxt5;
}

const ChannelLayout* channel_layout(PixelFormat format) {
  for (const LayoutEntry& entry : kLayouts) {
    if (entry.format == format) return &entry.layout;
  }
  return nullptr;
}

int storage_bits(PixelFormat format) {
  const ChannelLayout* layout = channel_layout(format);
  return layout != nullptr ? layout->bits : 0;
}

std::uint64_t surface_pitch(PixelFormat format, std::uint32_t width) {
  if (is_dxt(format)) return (std::uint64_t{width} + 3) / 4 * (format == F::Dxt1 ? 8 : 16);
  const int bits = storage_bits(format);
  if (bits == 0) return 0;
  return (std::uint64_t{width} * static_cast<std::uint64_t>(bits) + 31) / 8 / 4 * 4;
}

std::uint64_t level_size(PixelFormat format, std::uint32_t width, std::uint32_t height) {
  const std::uint64_t rows = is_dxt(format) ? (std::uint64_t{height} + 3) / 4 : height;
  return rows * surface_pitch(format, width);
}

std::uint32_t full_chain_levels(std::uint32_t width, std::uint32_t height) {
  const std::uint32_t largest = width > height ? width : height;
  return largest == 0 ? 0 : static_cast<std::uint32_t>(std::bit_width(largest));
}

PixelFormat dds_pixel_format(const DdsPixelFormatFields& fields) {
  if ((fields.flags & kDdsFourcc) != 0) {
    const auto format = static_cast<PixelFormat>(fields.fourcc);
    return is_dxt(format) ? format : F::Unknown;
  }
  if (fields.bit_count == 8 && fields.red_mask == 0 && fields.green_mask == 0 && fields.blue_mask == 0 &&
      fields.alpha_mask == 0xFF) {
    return F::A8;
  }
  const bool has_alpha = (fields.flags & kDdsAlphaPixels) != 0;
  for (const DdsMaskFormat& candidate : kDdsMaskFormats) {
    if (!same_colour_masks(*channel_layout(candidate.opaque), fields)) continue;
    if (has_alpha && candidate.with_alpha != F::Unknown &&
        channel_layout(candidate.with_alpha)->alpha == fields.alpha_mask) {
      return candidate.with_alpha;
    }
    return candidate.opaque;
  }
  return F::Unknown;
}

DdsPixelFormatFields dds_fields_of(PixelFormat format) {
  DdsPixelFormatFields fields;
  if (is_dxt(format)) {
    fields.flags = kDdsFourcc;
    fields.fourcc = static_cast<std::uint32_t>(format);
    return fields;
  }
  const ChannelLayout* layout = channel_layout(format);
  if (layout == nullptr) return fields;
  fields.flags = (layout->red | layout->green | layout->blue) != 0 ? kDdsRgb : 0;
  if (layout->alpha != 0) fields.flags |= format == F::A8 ? 0x2 : kDdsAlphaPixels;
  fields.bit_count = static_cast<std::uint32_t>(layout->bits);
  fields.red_mask = layout->red;
  fields.green_mask = layout->green;
  fields.blue_mask = layout->blue;
  fields.alpha_mask = layout->alpha;
  // Only what a reader maps back to the same format.
  return dds_pixel_format(fields) == format ? fields : DdsPixelFormatFields{};
}

}  // namespace render

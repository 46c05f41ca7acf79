#include "render/texture_plan.h"

#include <algorithm>
#include <bit>
#include <initializer_list>

namespace render {

namespace {

using F = PixelFormat;

constexpr std::uint32_t kDefaultMaxExtent = 256;

PixelFormat first_accepted(const TextureCaps& caps, std::initializer_list<PixelFormat> formats) {
  for (const PixelFormat format : formats) {
    if (caps.accepts(format)) return format;
  }
  return F::Unknown;
}

PixelFormat accepted_or(const TextureCaps& caps, PixelFormat format, PixelFormat fallback) {
  return caps.accepts(format) ? format : fallback;
}

// The uncompressed entry a DXT image falls back to when its texture cannot
// be a copy of its blocks.
PixelFormat uncompressed_for(const TextureFormatTable& table, PixelFormat dxt) {
  switch (dxt) {
    case F::Dxt1:
      return table.alpha;
    case F::Dxt2:
    case F::Dxt3:
      return table.alpha4;
    default:
      return table.alpha8;
  }
}

std::uint32_t limit(std::uint32_t max) { return max == 0 ? kDefaultMaxExtent : max; }

}  // namespace

bool TextureCaps::accepts(PixelFormat format) const {
  return format != F::Unknown && std::find(formats.begin(), formats.end(), format) != formats.end();
}

TextureFormatTable build_texture_format_table(const TextureCaps& caps) {
  TextureFormatTable table;
  table.opaque = first_accepted(caps, {F::X8R8G8B8, F::R5G6B5, F::X1R5G5B5});
  table.alpha = first_accepted(caps, {F::A1R5G5B5, F::A4R4G4B4, F::A8R8G8B8});
  table.alpha4 = accepted_or(caps, F::A4R4G4B4, table.alpha);
  table.alpha8 = accepted_or(caps, F::A8R8G8B8, table.alpha4);
  table.dxt1 = accepted_or(caps, F::Dxt1, table.alpha);
  table.dxt2 = accepted_or(caps, F::Dxt2, F::Unknown);
  table.dxt3 = accepted_or(caps, F::Dxt3, table.alpha4);
  table.dxt4 = accepted_or(caps, F::Dxt4, F::Unknown);
  table.dxt5 = accepted_or(caps, F::Dxt5, table.alpha8);
  return table;
}

PixelFormat texture_format_for(const TextureFormatTable& table, PixelFormat image_format, bool alpha) {
  switch (image_format) {
    case F::A4R4G4B4:
      return table.alpha4;
    case F::A8R8G8B8:
      return table.alpha8;
    case F::A1R5G5B5:
      return table.alpha;
    case F::Dxt1:
      return table.dxt1;
    case F::Dxt2:
      return table.dxt2;
    case F::Dxt3:
      return table.dxt3;
    case F::Dxt4:
      return table.dxt4;
    case F::Dxt5:
      return table.dxt5;
    default:
      return alpha ? table.alpha : table.opaque;
  }
}

TextureExtent fit_texture_size(const TextureCaps& caps, std::uint32_t width, std::uint32_t height) {
  if (caps.pow2_required) {
    width = std::bit_ceil(std::min(width, 0x80000000u));
    height = std::bit_ceil(std::min(height, 0x80000000u));
  }
  width = std::min(width, limit(caps.max_width));
  height = std::min(height, limit(caps.max_height));
  if (caps.square_required) width = height = std::max(width, height);
  return {width, height};
}

std::optional<TexturePlan> plan_texture(const TextureCaps& caps, const TextureFormatTable& table,
                                        const Image& image, const TextureRequest& request) {
  if (image.levels.empty() || image.width() == 0 || image.height() == 0) return std::nullopt;
  TexturePlan plan;
  plan.format = texture_format_for(table, image.format, request.alpha);
  if (plan.format == F::Unknown) return std::nullopt;

  const bool explicit_size = request.size.width != 0 && request.size.height != 0;
  bool needs_filtering = true;
  if (image.level_count() >= 2 && !explicit_size) {
    std::uint32_t first = 0;
    while (first + 1 < image.level_count() && (image.levels[first].width > limit(caps.max_width) ||
                                               image.levels[first].height > limit(caps.max_height))) {
      ++first;
    }
    const ImageLevel& top = image.levels[first];
    const TextureExtent fitted = fit_texture_size(caps, top.width, top.height);
    plan.first_level = first;
    plan.width = fitted.width;
    plan.height = fitted.height;
    plan.levels = std::min(image.level_count() - first, full_chain_levels(fitted.width, fitted.height));
    plan.copy_chain = fitted == TextureExtent{top.width, top.height};
    needs_filtering = !plan.copy_chain;
  } else {
    const TextureExtent wanted = explicit_size ? request.size : TextureExtent{image.width(), image.height()};
    const TextureExtent fitted = fit_texture_size(caps, wanted.width, wanted.height);
    int levels = request.mip_levels;
    if (levels < 0) levels = request.default_mip_levels;
    const std::uint32_t full = full_chain_levels(fitted.width, fitted.height);
    plan.width = fitted.width;
    plan.height = fitted.height;
    plan.levels = levels <= 0 ? full : std::min(static_cast<std::uint32_t>(levels), full);
    needs_filtering = plan.levels > 1 || fitted != TextureExtent{image.width(), image.height()};
  }
  if (is_dxt(plan.format) && (needs_filtering || plan.format != image.format)) {
    plan.format = uncompressed_for(table, plan.format);
    if (plan.format == F::Unknown || is_dxt(plan.format)) return std::nullopt;
  }
  return plan;
}

std::optional<Image> build_texture_image(const Image& image, const TexturePlan& plan) {
  if (plan.first_level >= image.level_count() || plan.levels == 0) return std::nullopt;
  Image out;
  if (plan.copy_chain) {
    if (plan.first_level + plan.levels > image.level_count()) return std::nullopt;
    Image chain;
    chain.format = image.format;
    chain.levels.assign(image.levels.begin() + plan.first_level,
                        image.levels.begin() + plan.first_level + plan.levels);
    if (chain.width() != plan.width || chain.height() != plan.height) return std::nullopt;
    return convert_image(chain, plan.format);
  }

  const ImageLevel& source = image.levels[plan.first_level];
  out.format = plan.format;
  if (source.width == plan.width && source.height == plan.height && image.format == plan.format) {
    out.levels.push_back(source);
  } else {
    std::vector<std::uint32_t> argb = level_to_argb(image.format, source);
    if (argb.empty()) return std::nullopt;
    if (source.width != plan.width || source.height != plan.height) {
      argb = box_resample(argb, source.width, source.height, plan.width, plan.height);
    }
    std::optional<ImageLevel> level = level_from_argb(plan.format, plan.width, plan.height, argb);
    if (!level) return std::nullopt;
    out.levels.push_back(std::move(*level));
  }
  if (plan.levels > 1 && !build_mip_chain(out, plan.levels)) return std::nullopt;
  return out;
}

}  // namespace render

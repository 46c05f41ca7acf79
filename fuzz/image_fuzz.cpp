// Reads the input as a DDS, TGA and BMP file, into images and into packed
// bitmaps, and puts what reads through the conversions that follow loading.
#include <cstddef>
#include <cstdint>
#include <span>

#include "render/bmp_file.h"
#include "render/dds_file.h"
#include "render/image_loader.h"
#include "render/packed_dib.h"
#include "render/texture_plan.h"
#include "render/tga_file.h"

namespace {

// Enough to reach every path without spending the run on large pictures.
constexpr std::uint32_t kMaxConvertedPixels = 64 * 64;

void use(const std::optional<render::Image>& image) {
  if (!image || std::uint64_t{image->width()} * image->height() > kMaxConvertedPixels) return;
  std::optional<render::Image> argb = render::convert_image(*image, render::PixelFormat::A8R8G8B8);
  if (argb) render::build_mip_chain(*argb, 0);
  const render::TextureCaps caps{.max_width = 16,
                                 .max_height = 16,
                                 .pow2_required = true,
                                 .formats = {render::PixelFormat::R5G6B5, render::PixelFormat::A4R4G4B4}};
  const render::TextureFormatTable table = render::build_texture_format_table(caps);
  if (const std::optional<render::TexturePlan> plan =
          render::plan_texture(caps, table, *image, {.mip_levels = 0})) {
    render::build_texture_image(*image, *plan);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  use(render::decode_dds(file));
  use(render::decode_tga(file));
  use(render::decode_bmp(file));
  use(render::decode_image(file));
  render::PackedDib dib;
  dib.load_bmp(file);
  dib.load_tga(file);
  return 0;
}

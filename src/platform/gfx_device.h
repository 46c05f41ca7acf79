#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "base/vector.h"

namespace platform {
class Window;
}

namespace gfx {

// Clear flags, with the numbers the scene code uses.
enum ClearFlags : uint32_t { kClearTarget = 1, kClearZBuffer = 2, kClearStencil = 4 };

struct PresentParams {
  int width = 0;  // back buffer size; 0 = the window's client size
  int height = 0;
  bool vsync = false;
  int multisample = 0;  // samples, 0 = off
};

struct Viewport {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  float min_z = 0.0f;
  float max_z = 1.0f;
  bool operator==(const Viewport&) const = default;
};

// Pixels read back from the back buffer: 8-bit RGBA, rows top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  // 0xAARRGGBB of one pixel; (0, 0) is the top-left corner.
  uint32_t pixel(int x, int y) const;
};

struct DeviceInfo {
  std::string renderer;
  std::string version;
  int max_texture_size = 0;
  int max_samples = 0;
};

// Device objects are named by small handles; id 0 is "none".
template <class Tag>
struct Handle {
  std::uint32_t id = 0;
  explicit operator bool() const { return id != 0; }
  friend bool operator==(Handle, Handle) = default;
};
using VertexBufferHandle = Handle<struct VertexBufferTag>;
using IndexBufferHandle = Handle<struct IndexBufferTag>;  // 16-bit indices
using TextureHandle = Handle<struct TextureTag>;
using ProgramHandle = Handle<struct ProgramTag>;
using UniformHandle = Handle<struct UniformTag>;  // one uniform of one program
using UniformBufferHandle = Handle<struct UniformBufferTag>;

// Render states and their values, numbered as in the content and the scene
// code that sets them.
enum class RenderState : std::uint32_t {
  ZEnable = 7,           // 0 or 1 (default 1); the depth test passes less or equal
  FillMode = 8,          // FillMode values (default solid)
  ZWriteEnable = 14,     // 0 or 1 (default 1)
  AlphaTestEnable = 15,  // 0 or 1 (default 0), see kAlphaTestGlsl
  SrcBlend = 19,         // Blend values (default one)
  DestBlend = 20,        // Blend values (default zero)
  CullMode = 22,         // Cull values (default counter-clockwise)
  AlphaRef = 24,         // 0..255 (default 0)
  AlphaFunc = 25,        // Compare values (default always)
  AlphaBlendEnable = 27, // 0 or 1 (default 0)
};
// Which triangles are not drawn. Clockwise triangles, as seen on the screen,
// face the viewer, so the default culls the back faces.
enum Cull : std::uint32_t { kCullNone = 1, kCullClockwise = 2, kCullCounterClockwise = 3 };
enum FillMode : std::uint32_t { kFillPoint = 1, kFillWireframe = 2, kFillSolid = 3 };
enum Blend : std::uint32_t {
  kBlendZero = 1,
  kBlendOne = 2,
  kBlendSrcColor = 3,
  kBlendInvSrcColor = 4,
  kBlendSrcAlpha = 5,
  kBlendInvSrcAlpha = 6,
  kBlendDestAlpha = 7,
  kBlendInvDestAlpha = 8,
  kBlendDestColor = 9,
  kBlendInvDestColor = 10,
  kBlendSrcAlphaSat = 11,
};
enum Compare : std::uint32_t {
  kCompareNever = 1,
  kCompareLess = 2,
  kCompareEqual = 3,
  kCompareLessEqual = 4,
  kCompareGreater = 5,
  kCompareNotEqual = 6,
  kCompareGreaterEqual = 7,
  kCompareAlways = 8,
};

enum class PrimitiveType : std::uint32_t {
  PointList = 1,
  LineList = 2,
  LineStrip = 3,
  TriangleList = 4,
  TriangleStrip = 5,
  TriangleFan = 6,
};

// The byte order of the four bytes of one texture pixel.
enum class PixelOrder { Bgra, Rgba };

struct TextureDesc {
  int width = 0;
  int height = 0;
  int levels = 1;  // mip levels; 0 = the whole chain down to 1x1
};

inline constexpr int kTextureStages = 8;
// Binding points for uniform buffers.
inline constexpr int kUniformBufferBindings = 4;

// Vertex fields reach the vertex shader at fixed attribute locations, from
// the vertex format word (platform/vertex_format.h). Colours arrive as
// normalised r, g, b, a; blend indices as four floats of the byte values in
// memory order; fields the format lacks read as (0, 0, 0, 1).
namespace attribute {
inline constexpr int kPosition = 0;
inline constexpr int kBlendWeights = 1;
inline constexpr int kBlendIndices = 2;
inline constexpr int kNormal = 3;
inline constexpr int kPointSize = 4;
inline constexpr int kDiffuse = 5;
inline constexpr int kSpecular = 6;
inline constexpr int kTexCoord0 = 7;  // sets 0..7 at 7..14
}  // namespace attribute

// Alpha testing is done by the fragment shaders: a shader that honours the
// AlphaTestEnable, AlphaFunc and AlphaRef states pastes this text after its
// #version line and calls gfx_alpha_test(alpha) before writing its colour.
// The device keeps the two uniforms up to date in every program that has them.
inline constexpr const char* kAlphaTestGlsl = R"(
uniform int gfx_alpha_func;   // 0 when the test is off, else a Compare value
uniform float gfx_alpha_ref;  // AlphaRef / 255
void gfx_alpha_test(float alpha) {
  bool pass = true;
  if (gfx_alpha_func == 1) pass = false;
  else if (gfx_alpha_func == 2) pass = alpha < gfx_alpha_ref;
  else if (gfx_alpha_func == 3) pass = alpha == gfx_alpha_ref;
  else if (gfx_alpha_func == 4) pass = alpha <= gfx_alpha_ref;
  else if (gfx_alpha_func == 5) pass = alpha > gfx_alpha_ref;
  else if (gfx_alpha_func == 6) pass = alpha != gfx_alpha_ref;
  else if (gfx_alpha_func == 7) pass = alpha >= gfx_alpha_ref;
  if (!pass) discard;
}
)";

// The rendering device. Y grows downwards in every coordinate given to it
// (viewports, read-back), as on the rest of the program's surfaces.
class Device {
 public:
  virtual ~Device() = default;

  // Applies a new back buffer size, vsync or multisampling; false on failure.
  virtual bool reset(const PresentParams& params) = 0;
  virtual PresentParams params() const = 0;
  virtual DeviceInfo info() const = 0;

  virtual void set_viewport(const Viewport& viewport) = 0;
  virtual Viewport viewport() const = 0;
  // Clears the current viewport. color is 0xAARRGGBB.
  virtual void clear(uint32_t flags, uint32_t color, float depth, uint32_t stencil) = 0;
  // Shows the frame; false when the device was lost.
  virtual bool present() = 0;
  // The back buffer as drawn so far in this frame.
  virtual Image read_back() = 0;

  // Vertex and 16-bit index buffers of a size in bytes, contents undefined
  // until written; a handle of 0 when the device cannot make one. update
  // writes bytes at offset and fails, writing nothing, when they do not fit.
  virtual VertexBufferHandle create_vertex_buffer(std::uint32_t bytes) = 0;
  virtual bool update_vertex_buffer(VertexBufferHandle buffer, std::uint32_t offset,
                                    std::span<const std::uint8_t> bytes) = 0;
  virtual void release_vertex_buffer(VertexBufferHandle buffer) = 0;
  virtual IndexBufferHandle create_index_buffer(std::uint32_t bytes) = 0;
  virtual bool update_index_buffer(IndexBufferHandle buffer, std::uint32_t offset,
                                   std::span<const std::uint8_t> bytes) = 0;
  virtual void release_index_buffer(IndexBufferHandle buffer) = 0;

  // 2D textures of 32-bit pixels, rows top to bottom (texture coordinate
  // v = 0 is the top row), sampled with linear filtering and wrapping.
  // pixels hold level 0 (or are empty: contents undefined); the lower levels
  // are made from it. An update of a rectangle of level 0 rebuilds the lower
  // levels; an update of another level writes that level only.
  virtual TextureHandle create_texture(const TextureDesc& desc, PixelOrder order,
                                       std::span<const std::uint8_t> pixels) = 0;
  virtual bool update_texture(TextureHandle texture, int level, int x, int y, int width, int height,
                              PixelOrder order, std::span<const std::uint8_t> pixels) = 0;
  virtual void release_texture(TextureHandle texture) = 0;
  // The texture a stage (0..7) samples; a sampler uniform named
  // "gfx_stage0" .. "gfx_stage7" reads that stage.
  virtual void set_texture(int stage, TextureHandle texture) = 0;

  // Programs from GLSL 330 vertex and fragment sources; a handle of 0 and
  // the compiler's or linker's log in *error on failure.
  virtual ProgramHandle create_program(std::string_view vertex_source, std::string_view fragment_source,
                                       std::string* error) = 0;
  virtual void release_program(ProgramHandle program) = 0;
  virtual void set_program(ProgramHandle program) = 0;
  // A uniform of a program by name (an array by its name without "[0]");
  // 0 when the program has no such active uniform. Setting through 0 does
  // nothing. Values stay with their program. A matrix reaches GLSL as the
  // same matrix (row r, column c), so shaders transform row vectors: v * M.
  virtual UniformHandle find_uniform(ProgramHandle program, std::string_view name) = 0;
  virtual void set_uniform(UniformHandle uniform, std::span<const float> values) = 0;
  virtual void set_uniform(UniformHandle uniform, std::span<const std::int32_t> values) = 0;
  virtual void set_uniform(UniformHandle uniform, std::span<const base::Vec4> values) = 0;
  virtual void set_uniform(UniformHandle uniform, std::span<const base::Matrix> values) = 0;

  // Uniform buffers back the uniform blocks of programs, so that one set of
  // values reaches every program that declares the block. Contents are
  // undefined until written; update writes bytes at offset and fails,
  // writing nothing, when they do not fit. A program's block named
  // block_name reads binding point `binding` (0..kUniformBufferBindings-1)
  // once bind_uniform_block has succeeded (false when the program has no
  // such block); set_uniform_buffer attaches a buffer to a binding point.
  virtual UniformBufferHandle create_uniform_buffer(std::uint32_t bytes) = 0;
  virtual bool update_uniform_buffer(UniformBufferHandle buffer, std::uint32_t offset,
                                     std::span<const std::uint8_t> bytes) = 0;
  virtual void release_uniform_buffer(UniformBufferHandle buffer) = 0;
  virtual bool bind_uniform_block(ProgramHandle program, std::string_view block_name, int binding) = 0;
  virtual void set_uniform_buffer(int binding, UniformBufferHandle buffer) = 0;

  virtual void set_render_state(RenderState state, std::uint32_t value) = 0;
  virtual std::uint32_t render_state(RenderState state) const = 0;

  // The vertex format word of the vertex buffer; its stride and attributes
  // follow from it.
  virtual void set_vertex_format(std::uint32_t fvf) = 0;
  virtual void set_vertex_buffer(VertexBufferHandle buffer) = 0;
  virtual void set_index_buffer(IndexBufferHandle buffer) = 0;
  // Draws primitive_count primitives with the current program, buffers and
  // states. Indexed draws read indices from first_index on and add
  // base_vertex to each.
  virtual void draw_indexed(PrimitiveType type, std::int32_t base_vertex, std::uint32_t first_index,
                            std::uint32_t primitive_count) = 0;
  virtual void draw(PrimitiveType type, std::uint32_t first_vertex, std::uint32_t primitive_count) = 0;
};

// The number of vertices or indices that primitive_count primitives use.
std::uint32_t primitive_vertex_count(PrimitiveType type, std::uint32_t primitive_count);
// A render state's value on a new device.
std::uint32_t default_render_state(RenderState state);

// An OpenGL 3.3 core device drawing into a window of the SDL window system.
// nullptr and a reason in *error when no such context can be made.
std::unique_ptr<Device> create_gl_device(platform::Window& window, const PresentParams& params,
                                         std::string* error);

}  // namespace gfx

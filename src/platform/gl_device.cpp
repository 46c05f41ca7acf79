#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <optional>

#include "platform/gfx_device.h"
#include "platform/sdl_window.h"
#include "platform/vertex_format.h"

namespace gfx {
namespace {

// Device objects live in tables indexed by handle id - 1; freed slots are
// reused.
template <class T>
class SlotTable {
 public:
  std::uint32_t add(const T& value) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (!slots_[i]) {
        slots_[i] = value;
        return static_cast<std::uint32_t>(i + 1);
      }
    }
    slots_.push_back(value);
    return static_cast<std::uint32_t>(slots_.size());
  }
  T* find(std::uint32_t id) {
    if (id == 0 || id > slots_.size() || !slots_[id - 1]) return nullptr;
    return &*slots_[id - 1];
  }
  void remove(std::uint32_t id) {
    if (find(id) != nullptr) slots_[id - 1].reset();
  }
  template <class F>
  void for_each(F f) {
    for (auto& slot : slots_) {
      if (slot) f(*slot);
    }
  }
  // The id of the first live value that pred accepts, or 0.
  template <class F>
  std::uint32_t find_id(F pred) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (slots_[i] && pred(*slots_[i])) return static_cast<std::uint32_t>(i + 1);
    }
    return 0;
  }

 private:
  std::vector<std::optional<T>> slots_;
};

struct GlBuffer {
  GLuint name = 0;
  std::uint32_t size = 0;
};

struct GlTexture {
  GLuint name = 0;
  int width = 0;
  int height = 0;
  int levels = 1;
};

struct GlProgram {
  GLuint name = 0;
  GLint alpha_func = -1;  // locations of the alpha-test uniforms, -1 when absent
  GLint alpha_ref = -1;
  std::int32_t last_func = -1;
  float last_ref = -1.0f;
};

struct GlUniform {
  std::uint32_t program = 0;  // program handle id
  GLint location = -1;
  std::string name;
};

GLenum gl_blend(std::uint32_t blend) {
  switch (blend) {
    case kBlendZero: return GL_ZERO;
    case kBlendOne: return GL_ONE;
    case kBlendSrcColor: return GL_SRC_COLOR;
    case kBlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha: return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha: return GL_DST_ALPHA;
    case kBlendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case kBlendDestColor: return GL_DST_COLOR;
    case kBlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case kBlendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
  }
}

GLenum gl_primitive(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList: return GL_POINTS;
    case PrimitiveType::LineList: return GL_LINES;
    case PrimitiveType::LineStrip: return GL_LINE_STRIP;
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::TriangleFan: return GL_TRIANGLE_FAN;
  }
  return GL_TRIANGLES;
}

constexpr std::array<RenderState, 10> kAllStates = {
    RenderState::ZEnable,   RenderState::FillMode, RenderState::ZWriteEnable, RenderState::AlphaTestEnable,
    RenderState::SrcBlend,  RenderState::DestBlend, RenderState::CullMode,    RenderState::AlphaRef,
    RenderState::AlphaFunc, RenderState::AlphaBlendEnable};

// The index of a state in kAllStates, or kAllStates.size() for a number that
// is no state the device knows.
std::size_t state_index(RenderState state) {
  for (std::size_t i = 0; i < kAllStates.size(); ++i) {
    if (kAllStates[i] == state) return i;
  }
  return kAllStates.size();
}

// The texture unit used while creating and filling textures, so that the
// stages' bindings stay as they were set.
constexpr int kScratchUnit = kTextureStages;

bool compile_shader(GLuint shader, std::string_view source, std::string* error, const char* what) {
  const GLchar* text = source.data();
  const GLint length = static_cast<GLint>(source.size());
  glShaderSource(shader, 1, &text, &length);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == GL_TRUE) return true;
  GLint log_length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &log_length);
  std::string log(static_cast<std::size_t>(std::max(log_length, 1)), '\0');
  glGetShaderInfoLog(shader, log_length, nullptr, log.data());
  log.resize(std::char_traits<char>::length(log.c_str()));
  *error = std::string(what) + " shader: " + log;
  return false;
}

class GlDevice final : public Device {
 public:
  GlDevice(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~GlDevice() override { SDL_GL_DeleteContext(context_); }

  bool init(const PresentParams& params) {
    make_current();
    glEnable(GL_SCISSOR_TEST);
    // A core profile draws nothing without a bound vertex array.
    glGenVertexArrays(1, &vertex_array_);
    glBindVertexArray(vertex_array_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Clockwise triangles face the viewer. The picture reaches the window
    // with rows in the same order as the scene code counts them (read_back
    // turns GL's bottom-up rows round), so winding on screen is not mirrored.
    glFrontFace(GL_CW);
    glDepthFunc(GL_LEQUAL);
    for (RenderState state : kAllStates) {
      states_[state_index(state)] = default_render_state(state);
      apply_state(state);
    }
    SDL_GL_GetDrawableSize(window_, &params_.width, &params_.height);
    return reset(params);
  }

  bool reset(const PresentParams& params) override {
    make_current();
    int old_width = params_.width, old_height = params_.height;
    params_ = params;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    if (params_.width <= 0) params_.width = width;
    if (params_.height <= 0) params_.height = height;
    if (params_.width != old_width || params_.height != old_height) {
      // Software drivers learn a window's new size only at a swap; swap once
      // so the back buffer drawn next has the new size.
      SDL_GL_SwapWindow(window_);
    }
    // Adaptive vsync first, then plain vsync; without vsync, immediate.
    if (params_.vsync) {
      if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
    } else {
      SDL_GL_SetSwapInterval(0);
    }
    set_viewport(Viewport{0, 0, params_.width, params_.height, 0.0f, 1.0f});
    return glGetError() == GL_NO_ERROR;
  }

  PresentParams params() const override { return params_; }

  DeviceInfo info() const override {
    DeviceInfo info;
    auto text = [](GLenum name) {
      const GLubyte* value = glGetString(name);
      return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    info.renderer = text(GL_RENDERER);
    info.version = text(GL_VERSION);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &info.max_texture_size);
    glGetIntegerv(GL_MAX_SAMPLES, &info.max_samples);
    return info;
  }

  void set_viewport(const Viewport& viewport) override {
    viewport_ = viewport;
    // GL counts rows from the bottom.
    int y = params_.height - viewport.y - viewport.height;
    glViewport(viewport.x, y, viewport.width, viewport.height);
    glScissor(viewport.x, y, viewport.width, viewport.height);
    glDepthRange(viewport.min_z, viewport.max_z);
  }

  Viewport viewport() const override { return viewport_; }

  void clear(uint32_t flags, uint32_t color, float depth, uint32_t stencil) override {
    GLbitfield mask = 0;
    if (flags & kClearTarget) {
      glClearColor(
          static_cast<float>((color >> 16) & 0xFF) / 255.0f, static_cast<float>((color >> 8) & 0xFF) / 255.0f,
          static_cast<float>(color & 0xFF) / 255.0f, static_cast<float>((color >> 24) & 0xFF) / 255.0f);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & kClearZBuffer) {
      glClearDepth(depth);
      glDepthMask(GL_TRUE);
      mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & kClearStencil) {
      glClearStencil(static_cast<GLint>(stencil));
      glStencilMask(0xFF);
      mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask != 0) glClear(mask);
    glDepthMask(state(RenderState::ZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
  }

  bool present() override {
    SDL_GL_SwapWindow(window_);
    return true;
  }

  Image read_back() override {
    Image image;
    image.width = params_.width;
    image.height = params_.height;
    image.rgba.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    // GL's first row is the bottom one.
    size_t row = static_cast<size_t>(image.width) * 4;
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
      std::swap_ranges(image.rgba.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(top)),
                       image.rgba.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(top + 1)),
                       image.rgba.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(bottom)));
    }
    return image;
  }

  VertexBufferHandle create_vertex_buffer(std::uint32_t bytes) override {
    return VertexBufferHandle{create_buffer(bytes)};
  }
  bool update_vertex_buffer(VertexBufferHandle buffer, std::uint32_t offset,
                            std::span<const std::uint8_t> bytes) override {
    return update_buffer(buffer.id, offset, bytes);
  }
  void release_vertex_buffer(VertexBufferHandle buffer) override {
    if (buffer == vertex_buffer_) set_vertex_buffer({});
    release_buffer(buffer.id);
  }
  IndexBufferHandle create_index_buffer(std::uint32_t bytes) override {
    return IndexBufferHandle{create_buffer(bytes)};
  }
  bool update_index_buffer(IndexBufferHandle buffer, std::uint32_t offset,
                           std::span<const std::uint8_t> bytes) override {
    return update_buffer(buffer.id, offset, bytes);
  }
  void release_index_buffer(IndexBufferHandle buffer) override {
    if (buffer == index_buffer_) set_index_buffer({});
    release_buffer(buffer.id);
  }

  TextureHandle create_texture(const TextureDesc& desc, PixelOrder order,
                               std::span<const std::uint8_t> pixels) override {
    if (desc.width <= 0 || desc.height <= 0 || desc.levels < 0) return {};
    const std::size_t expected = static_cast<std::size_t>(desc.width) * static_cast<std::size_t>(desc.height) * 4;
    if (!pixels.empty() && pixels.size() != expected) return {};
    int full_chain = 1;
    for (int size = std::max(desc.width, desc.height); size > 1; size /= 2) ++full_chain;
    GlTexture texture;
    texture.width = desc.width;
    texture.height = desc.height;
    texture.levels = desc.levels == 0 ? full_chain : std::min(desc.levels, full_chain);
    glActiveTexture(GL_TEXTURE0 + kScratchUnit);
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    for (int level = 0; level < texture.levels; ++level) {
      const int w = std::max(1, desc.width >> level);
      const int h = std::max(1, desc.height >> level);
      const void* data = level == 0 && !pixels.empty() ? pixels.data() : nullptr;
      glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, w, h, 0, gl_order(order), GL_UNSIGNED_BYTE, data);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, texture.levels - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    texture.levels > 1 ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (texture.levels > 1 && !pixels.empty()) glGenerateMipmap(GL_TEXTURE_2D);
    if (glGetError() != GL_NO_ERROR) {
      glDeleteTextures(1, &texture.name);
      return {};
    }
    return TextureHandle{textures_.add(texture)};
  }

  bool update_texture(TextureHandle handle, int level, int x, int y, int width, int height, PixelOrder order,
                      std::span<const std::uint8_t> pixels) override {
    GlTexture* texture = textures_.find(handle.id);
    if (texture == nullptr || level < 0 || level >= texture->levels || width <= 0 || height <= 0) return false;
    const int level_width = std::max(1, texture->width >> level);
    const int level_height = std::max(1, texture->height >> level);
    if (x < 0 || y < 0 || x > level_width - width || y > level_height - height) return false;
    if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) return false;
    glActiveTexture(GL_TEXTURE0 + kScratchUnit);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexSubImage2D(GL_TEXTURE_2D, level, x, y, width, height, gl_order(order), GL_UNSIGNED_BYTE, pixels.data());
    if (level == 0 && texture->levels > 1) glGenerateMipmap(GL_TEXTURE_2D);
    return glGetError() == GL_NO_ERROR;
  }

  void release_texture(TextureHandle handle) override {
    GlTexture* texture = textures_.find(handle.id);
    if (texture == nullptr) return;
    for (TextureHandle& bound : stage_textures_) {
      if (bound == handle) bound = {};
    }
    glDeleteTextures(1, &texture->name);
    textures_.remove(handle.id);
  }

  void set_texture(int stage, TextureHandle handle) override {
    if (stage < 0 || stage >= kTextureStages) return;
    GlTexture* texture = textures_.find(handle.id);
    stage_textures_[static_cast<std::size_t>(stage)] = texture != nullptr ? handle : TextureHandle{};
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(stage));
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->name : 0);
  }

  ProgramHandle create_program(std::string_view vertex_source, std::string_view fragment_source,
                               std::string* error) override {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    GLuint name = 0;
    if (compile_shader(vertex, vertex_source, error, "vertex") &&
        compile_shader(fragment, fragment_source, error, "fragment")) {
      name = glCreateProgram();
      glAttachShader(name, vertex);
      glAttachShader(name, fragment);
      glLinkProgram(name);
      GLint ok = GL_FALSE;
      glGetProgramiv(name, GL_LINK_STATUS, &ok);
      if (ok != GL_TRUE) {
        GLint log_length = 0;
        glGetProgramiv(name, GL_INFO_LOG_LENGTH, &log_length);
        std::string log(static_cast<std::size_t>(std::max(log_length, 1)), '\0');
        glGetProgramInfoLog(name, log_length, nullptr, log.data());
        log.resize(std::char_traits<char>::length(log.c_str()));
        *error = "link: " + log;
        glDeleteProgram(name);
        name = 0;
      }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (name == 0) return {};

    GlProgram program;
    program.name = name;
    program.alpha_func = glGetUniformLocation(name, "gfx_alpha_func");
    program.alpha_ref = glGetUniformLocation(name, "gfx_alpha_ref");
    glUseProgram(name);
    for (int stage = 0; stage < kTextureStages; ++stage) {
      const std::string sampler = "gfx_stage" + std::to_string(stage);
      const GLint location = glGetUniformLocation(name, sampler.c_str());
      if (location >= 0) glUniform1i(location, stage);
    }
    glUseProgram(current_program_name());
    return ProgramHandle{programs_.add(program)};
  }

  UniformBufferHandle create_uniform_buffer(std::uint32_t bytes) override {
    return UniformBufferHandle{create_buffer(bytes)};
  }
  bool update_uniform_buffer(UniformBufferHandle buffer, std::uint32_t offset,
                             std::span<const std::uint8_t> bytes) override {
    return update_buffer(buffer.id, offset, bytes);
  }
  void release_uniform_buffer(UniformBufferHandle buffer) override {
    if (!buffer) return;
    for (std::size_t binding = 0; binding < uniform_bindings_.size(); ++binding) {
      if (uniform_bindings_[binding] == buffer) set_uniform_buffer(static_cast<int>(binding), {});
    }
    release_buffer(buffer.id);
  }
  bool bind_uniform_block(ProgramHandle handle, std::string_view block_name, int binding) override {
    GlProgram* program = programs_.find(handle.id);
    if (program == nullptr || binding < 0 || binding >= kUniformBufferBindings) return false;
    const std::string text(block_name);
    const GLuint index = glGetUniformBlockIndex(program->name, text.c_str());
    if (index == GL_INVALID_INDEX) return false;
    glUniformBlockBinding(program->name, index, static_cast<GLuint>(binding));
    return glGetError() == GL_NO_ERROR;
  }
  void set_uniform_buffer(int binding, UniformBufferHandle handle) override {
    if (binding < 0 || binding >= kUniformBufferBindings) return;
    GlBuffer* buffer = buffers_.find(handle.id);
    uniform_bindings_[static_cast<std::size_t>(binding)] = buffer != nullptr ? handle : UniformBufferHandle{};
    glBindBufferBase(GL_UNIFORM_BUFFER, static_cast<GLuint>(binding), buffer != nullptr ? buffer->name : 0);
  }

  void release_program(ProgramHandle handle) override {
    GlProgram* program = programs_.find(handle.id);
    if (program == nullptr) return;
    if (handle == program_) set_program({});
    glDeleteProgram(program->name);
    programs_.remove(handle.id);
    uniforms_.for_each([&](GlUniform& uniform) {
      if (uniform.program == handle.id) uniform.location = -1;
    });
  }

  void set_program(ProgramHandle handle) override {
    program_ = programs_.find(handle.id) != nullptr ? handle : ProgramHandle{};
    glUseProgram(current_program_name());
  }

  UniformHandle find_uniform(ProgramHandle handle, std::string_view name) override {
    GlProgram* program = programs_.find(handle.id);
    if (program == nullptr || name.empty()) return {};
    const std::uint32_t known = uniforms_.find_id(
        [&](const GlUniform& uniform) { return uniform.program == handle.id && uniform.name == name; });
    if (known != 0) return UniformHandle{known};
    std::string text(name);
    const GLint location = glGetUniformLocation(program->name, text.c_str());
    if (location < 0) return {};
    return UniformHandle{uniforms_.add(GlUniform{handle.id, location, std::move(text)})};
  }

  void set_uniform(UniformHandle handle, std::span<const float> values) override {
    with_uniform(handle, [&](GLint location) {
      glUniform1fv(location, static_cast<GLsizei>(values.size()), values.data());
    });
  }
  void set_uniform(UniformHandle handle, std::span<const std::int32_t> values) override {
    with_uniform(handle, [&](GLint location) {
      glUniform1iv(location, static_cast<GLsizei>(values.size()), values.data());
    });
  }
  void set_uniform(UniformHandle handle, std::span<const base::Vec4> values) override {
    with_uniform(handle, [&](GLint location) {
      glUniform4fv(location, static_cast<GLsizei>(values.size()), &values.data()->x);
    });
  }
  void set_uniform(UniformHandle handle, std::span<const base::Matrix> values) override {
    // Transposed on the way in, so that GLSL's mat4 has the same rows and
    // columns as base::Matrix.
    with_uniform(handle, [&](GLint location) {
      glUniformMatrix4fv(location, static_cast<GLsizei>(values.size()), GL_TRUE, &values.data()->m[0][0]);
    });
  }

  void set_render_state(RenderState which, std::uint32_t value) override {
    const std::size_t index = state_index(which);
    if (index == kAllStates.size()) return;
    states_[index] = value;
    apply_state(which);
  }
  std::uint32_t render_state(RenderState which) const override { return state(which); }

  void set_vertex_format(std::uint32_t fvf) override {
    if (fvf != fvf_) layout_dirty_ = true;
    fvf_ = fvf;
  }
  void set_vertex_buffer(VertexBufferHandle handle) override {
    vertex_buffer_ = buffers_.find(handle.id) != nullptr ? handle : VertexBufferHandle{};
    layout_dirty_ = true;
  }
  void set_index_buffer(IndexBufferHandle handle) override {
    GlBuffer* buffer = buffers_.find(handle.id);
    index_buffer_ = buffer != nullptr ? handle : IndexBufferHandle{};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer != nullptr ? buffer->name : 0);
  }

  void draw_indexed(PrimitiveType type, std::int32_t base_vertex, std::uint32_t first_index,
                    std::uint32_t primitive_count) override {
    const std::uint32_t count = primitive_vertex_count(type, primitive_count);
    GlBuffer* indices = buffers_.find(index_buffer_.id);
    if (count == 0 || indices == nullptr || !prepare_draw()) return;
    if (first_index > indices->size / 2 || count > indices->size / 2 - first_index) return;
    glDrawElementsBaseVertex(gl_primitive(type), static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<std::uintptr_t>(first_index) * 2),
                             base_vertex);
  }

  void draw(PrimitiveType type, std::uint32_t first_vertex, std::uint32_t primitive_count) override {
    const std::uint32_t count = primitive_vertex_count(type, primitive_count);
    if (count == 0 || !prepare_draw()) return;
    glDrawArrays(gl_primitive(type), static_cast<GLint>(first_vertex), static_cast<GLsizei>(count));
  }

 private:
  void make_current() { SDL_GL_MakeCurrent(window_, context_); }

  static GLenum gl_order(PixelOrder order) { return order == PixelOrder::Bgra ? GL_BGRA : GL_RGBA; }

  std::uint32_t state(RenderState which) const {
    const std::size_t index = state_index(which);
    return index < kAllStates.size() ? states_[index] : 0;
  }

  void apply_state(RenderState which) {
    const std::uint32_t value = state(which);
    switch (which) {
      case RenderState::ZEnable:
        value != 0 ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        break;
      case RenderState::ZWriteEnable:
        glDepthMask(value != 0 ? GL_TRUE : GL_FALSE);
        break;
      case RenderState::FillMode:
        glPolygonMode(GL_FRONT_AND_BACK, value == kFillPoint ? GL_POINT : value == kFillWireframe ? GL_LINE : GL_FILL);
        break;
      case RenderState::AlphaBlendEnable:
        value != 0 ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        break;
      case RenderState::SrcBlend:
      case RenderState::DestBlend:
        glBlendFunc(gl_blend(state(RenderState::SrcBlend)), gl_blend(state(RenderState::DestBlend)));
        break;
      case RenderState::CullMode:
        if (value == kCullClockwise || value == kCullCounterClockwise) {
          glEnable(GL_CULL_FACE);
          // Front faces are the clockwise ones (glFrontFace(GL_CW)).
          glCullFace(value == kCullClockwise ? GL_FRONT : GL_BACK);
        } else {
          glDisable(GL_CULL_FACE);
        }
        break;
      case RenderState::AlphaTestEnable:
      case RenderState::AlphaRef:
      case RenderState::AlphaFunc:
        break;  // reaches the shaders at the next draw
    }
  }

  std::uint32_t create_buffer(std::uint32_t bytes) {
    if (bytes == 0) return 0;
    GlBuffer buffer;
    buffer.size = bytes;
    glGenBuffers(1, &buffer.name);
    // The copy target leaves the vertex and index bindings alone.
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.name);
    glBufferData(GL_COPY_WRITE_BUFFER, bytes, nullptr, GL_DYNAMIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
      glDeleteBuffers(1, &buffer.name);
      return 0;
    }
    return buffers_.add(buffer);
  }

  bool update_buffer(std::uint32_t id, std::uint32_t offset, std::span<const std::uint8_t> bytes) {
    GlBuffer* buffer = buffers_.find(id);
    if (buffer == nullptr || offset > buffer->size || bytes.size() > buffer->size - offset) return false;
    if (bytes.empty()) return true;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer->name);
    glBufferSubData(GL_COPY_WRITE_BUFFER, offset, static_cast<GLsizeiptr>(bytes.size()), bytes.data());
    return true;
  }

  void release_buffer(std::uint32_t id) {
    GlBuffer* buffer = buffers_.find(id);
    if (buffer == nullptr) return;
    glDeleteBuffers(1, &buffer->name);
    buffers_.remove(id);
  }

  GLuint current_program_name() {
    GlProgram* program = programs_.find(program_.id);
    return program != nullptr ? program->name : 0;
  }

  template <class F>
  void with_uniform(UniformHandle handle, F set) {
    GlUniform* uniform = uniforms_.find(handle.id);
    if (uniform == nullptr || uniform->location < 0) return;
    GlProgram* program = programs_.find(uniform->program);
    if (program == nullptr) return;
    const bool other = uniform->program != program_.id;
    if (other) glUseProgram(program->name);
    set(uniform->location);
    if (other) glUseProgram(current_program_name());
  }

  // Points the attributes at the vertex buffer and brings the program's
  // alpha-test uniforms up to date; false when there is nothing to draw with.
  bool prepare_draw() {
    GlProgram* program = programs_.find(program_.id);
    GlBuffer* vertices = buffers_.find(vertex_buffer_.id);
    if (program == nullptr || vertices == nullptr) return false;
    if (layout_dirty_) {
      std::optional<VertexLayout> layout = decode_vertex_format(fvf_);
      if (!layout || layout->stride == 0) return false;
      apply_layout(*layout, vertices->name);
      layout_dirty_ = false;
    }
    if (program->alpha_func >= 0 || program->alpha_ref >= 0) {
      const std::int32_t func =
          state(RenderState::AlphaTestEnable) != 0 ? static_cast<std::int32_t>(state(RenderState::AlphaFunc)) : 0;
      const float ref = static_cast<float>(state(RenderState::AlphaRef) & 0xFF) / 255.0f;
      if (func != program->last_func && program->alpha_func >= 0) glUniform1i(program->alpha_func, func);
      if (ref != program->last_ref && program->alpha_ref >= 0) glUniform1f(program->alpha_ref, ref);
      program->last_func = func;
      program->last_ref = ref;
    }
    return true;
  }

  void apply_layout(const VertexLayout& layout, GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = static_cast<GLsizei>(layout.stride);
    bool used[attribute::kTexCoord0 + kMaxTextureSets] = {};
    auto floats = [&](int location, int count, int offset) {
      if (offset < 0 || count <= 0) return;
      glEnableVertexAttribArray(static_cast<GLuint>(location));
      glVertexAttribPointer(static_cast<GLuint>(location), count, GL_FLOAT, GL_FALSE, stride,
                            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)));
      used[location] = true;
    };
    auto colour = [&](int location, int offset) {
      if (offset < 0) return;
      glEnableVertexAttribArray(static_cast<GLuint>(location));
      // Colour values are stored as bytes B, G, R, A.
      glVertexAttribPointer(static_cast<GLuint>(location), GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)));
      used[location] = true;
    };
    floats(attribute::kPosition, layout.position_floats, 0);
    floats(attribute::kBlendWeights, layout.blend_weights, layout.blend_offset);
    if (layout.blend_indices) {
      glEnableVertexAttribArray(attribute::kBlendIndices);
      glVertexAttribPointer(attribute::kBlendIndices, 4, GL_UNSIGNED_BYTE, GL_FALSE, stride,
                            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(layout.indices_offset)));
      used[attribute::kBlendIndices] = true;
    }
    floats(attribute::kNormal, 3, layout.normal_offset);
    floats(attribute::kPointSize, 1, layout.point_size_offset);
    colour(attribute::kDiffuse, layout.diffuse_offset);
    colour(attribute::kSpecular, layout.specular_offset);
    for (int set = 0; set < layout.texture_sets; ++set)
      floats(attribute::kTexCoord0 + set, layout.texture_floats[set], layout.texture_offset[set]);
    for (int location = 0; location < attribute::kTexCoord0 + kMaxTextureSets; ++location) {
      if (!used[location]) glDisableVertexAttribArray(static_cast<GLuint>(location));
    }
  }

  SDL_Window* window_;
  SDL_GLContext context_;
  GLuint vertex_array_ = 0;
  PresentParams params_;
  Viewport viewport_;

  std::array<std::uint32_t, kAllStates.size()> states_{};
  SlotTable<GlBuffer> buffers_;
  SlotTable<GlTexture> textures_;
  SlotTable<GlProgram> programs_;
  SlotTable<GlUniform> uniforms_;
  std::array<TextureHandle, kTextureStages> stage_textures_{};
  std::array<UniformBufferHandle, kUniformBufferBindings> uniform_bindings_{};
  ProgramHandle program_;
  VertexBufferHandle vertex_buffer_;
  IndexBufferHandle index_buffer_;
  std::uint32_t fvf_ = 0;
  bool layout_dirty_ = true;
};

}  // namespace

std::unique_ptr<Device> create_gl_device(platform::Window& window, const PresentParams& params,
                                         std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  SDL_Window* sdl = platform::sdl_window_of(window);
  if (sdl == nullptr) {
    *error = "the window does not belong to the SDL window system";
    return nullptr;
  }
  SDL_GLContext context = SDL_GL_CreateContext(sdl);
  if (context == nullptr) {
    *error = SDL_GetError();
    return nullptr;
  }
  auto device = std::make_unique<GlDevice>(sdl, context);
  if (!device->init(params)) {
    *error = "the OpenGL context could not be set up";
    return nullptr;
  }
  return device;
}

}  // namespace gfx

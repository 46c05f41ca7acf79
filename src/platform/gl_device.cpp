#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>

#include "platform/gfx_device.h"
#include "platform/sdl_window.h"

namespace gfx {
namespace {

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

 private:
  void make_current() { SDL_GL_MakeCurrent(window_, context_); }

  SDL_Window* window_;
  SDL_GLContext context_;
  GLuint vertex_array_ = 0;
  PresentParams params_;
  Viewport viewport_;
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

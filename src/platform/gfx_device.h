#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
};

// An OpenGL 3.3 core device drawing into a window of the SDL window system.
// nullptr and a reason in *error when no such context can be made.
std::unique_ptr<Device> create_gl_device(platform::Window& window, const PresentParams& params,
                                         std::string* error);

}  // namespace gfx

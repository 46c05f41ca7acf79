#include "support/gl_window.h"

#include "support/headless_display.h"

namespace test_support {

bool GlWindow::open(int width, int height, std::string* why, const char* title) {
  if (!ensure_display(why)) return false;
  system = platform::create_sdl_window_system(queue, why);
  if (!system) return false;
  platform::WindowDesc desc;
  desc.title = title;
  desc.rect = base::Rect{0, 0, width, height};
  window = system->create_window(desc, why);
  if (!window) return false;
  device = gfx::create_gl_device(*window, gfx::PresentParams{}, why);
  return device != nullptr;
}

}  // namespace test_support

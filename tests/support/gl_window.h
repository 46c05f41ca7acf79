#pragma once
#include <memory>
#include <string>

#include "platform/gfx_device.h"
#include "platform/message_queue.h"
#include "platform/window_system.h"

namespace test_support {

// A real window with an OpenGL device on the test's display (a private Xvfb
// when there is none), for tests that draw and read the pixels back.
struct GlWindow {
  // False, with the reason in *why, when any step fails.
  bool open(int width, int height, std::string* why, const char* title = "gl test");

  platform::MessageQueue queue;
  std::unique_ptr<platform::WindowSystem> system;
  std::unique_ptr<platform::Window> window;
  std::unique_ptr<gfx::Device> device;
};

}  // namespace test_support

#include "platform/fake_window_system.h"

#include <algorithm>

#include "platform/window_messages.h"

namespace platform {

FakeWindow::FakeWindow(const WindowDesc& desc)
    : shape(desc.shape),
      min_width(desc.min_width),
      min_height(desc.min_height),
      title_(desc.title),
      parent_(desc.parent),
      x_(desc.rect.left),
      y_(desc.rect.top),
      width_(desc.rect.right - desc.rect.left),
      height_(desc.rect.bottom - desc.rect.top),
      visible_(desc.visible),
      fullscreen_(desc.fullscreen) {
  if (shape != WindowShape::Framed) frame_ = base::Rect{};
}

void FakeWindow::move_to(int x, int y) {
  x_ = x;
  y_ = y;
}

void FakeWindow::resize_client(int width, int height) {
  width_ = std::max(width, min_width);
  height_ = std::max(height, min_height);
}

void FakeWindow::set_min_size(int width, int height) {
  min_width = width;
  min_height = height;
}

base::Rect FakeWindow::window_rect() const {
  return base::Rect{x_ - frame_.left, y_ - frame_.top, x_ + width_ + frame_.right,
                    y_ + height_ + frame_.bottom};
}

FakeWindowSystem::FakeWindowSystem(MessageQueue& queue) : queue_(queue) {
  DisplayInfo primary;
  primary.name = "fake";
  primary.rect = base::Rect{0, 0, 1920, 1080};
  primary.desktop_mode = DisplayMode{1920, 1080, 60, 32};
  primary.modes = {DisplayMode{1280, 720, 60, 32}, DisplayMode{1920, 1080, 60, 32}};
  display_list.push_back(primary);
}

std::unique_ptr<Window> FakeWindowSystem::create_window(const WindowDesc& desc, std::string* error) {
  WindowDesc actual = desc;
  if (desc.shape == WindowShape::Popup) actual.rect = primary_screen();
  if (desc.shape == WindowShape::Child) {
    auto parent = foreign_client_rect(desc.parent);
    if (!parent) {
      if (error != nullptr) *error = "the parent window does not exist";
      return nullptr;
    }
    if (actual.rect.right <= actual.rect.left || actual.rect.bottom <= actual.rect.top) actual.rect = *parent;
  }
  auto window = std::make_unique<FakeWindow>(actual);
  last_window = window.get();
  return window;
}

std::optional<base::Rect> FakeWindowSystem::foreign_client_rect(uint64_t native_id) {
  auto found = foreign_windows.find(native_id);
  if (found == foreign_windows.end()) return std::nullopt;
  return found->second;
}

void FakeWindowSystem::wait(int) { ++waits; }

void FakeWindowSystem::fire_timers() {
  for (const auto& [id, interval] : timers) queue_.post(Message{WM_TIMER, id, 0, 0});
}

}  // namespace platform

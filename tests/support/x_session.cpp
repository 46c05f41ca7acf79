#include "support/x_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace test_support {
namespace {

Display* as_display(void* display) { return static_cast<Display*>(display); }

}  // namespace

XSession::XSession() : display_(XOpenDisplay(nullptr)) {}

XSession::~XSession() {
  if (display_ != nullptr) XCloseDisplay(as_display(display_));
}

uint64_t XSession::root() const { return DefaultRootWindow(as_display(display_)); }

uint64_t XSession::create_window(int x, int y, int width, int height) {
  Display* display = as_display(display_);
  ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

void XSession::destroy_window(uint64_t window) {
  XDestroyWindow(as_display(display_), static_cast<::Window>(window));
  XSync(as_display(display_), False);
}

std::vector<uint64_t> XSession::children(uint64_t window) {
  ::Window root_return = 0, parent = 0;
  ::Window* list = nullptr;
  unsigned count = 0;
  std::vector<uint64_t> result;
  if (XQueryTree(as_display(display_), static_cast<::Window>(window), &root_return, &parent, &list, &count) !=
      0) {
    for (unsigned i = 0; i < count; ++i) result.push_back(list[i]);
    if (list != nullptr) XFree(list);
  }
  return result;
}

std::optional<base::Rect> XSession::geometry(uint64_t window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(as_display(display_), static_cast<::Window>(window), &attributes) == 0) {
    return std::nullopt;
  }
  return base::Rect{attributes.x, attributes.y, attributes.x + attributes.width,
                    attributes.y + attributes.height};
}

std::optional<uint64_t> XSession::find_window(const std::string& title) {
  std::vector<uint64_t> pending = children(root());
  while (!pending.empty()) {
    uint64_t window = pending.back();
    pending.pop_back();
    char* name = nullptr;
    if (XFetchName(as_display(display_), static_cast<::Window>(window), &name) != 0 && name != nullptr) {
      bool match = title == name;
      XFree(name);
      if (match) return window;
    }
    for (uint64_t child : children(window)) pending.push_back(child);
  }
  return std::nullopt;
}

void XSession::press_key(const char* key_name) {
  Display* display = as_display(display_);
  KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key_name));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
}

void XSession::move_pointer(int x, int y) {
  Display* display = as_display(display_);
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XSync(display, False);
  // Separate moves must reach the program as separate events.
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
}

void XSession::sync() { XSync(as_display(display_), False); }

}  // namespace test_support

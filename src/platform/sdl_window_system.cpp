#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>

#include "platform/message_queue.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_window.h"
#include "platform/window_messages.h"
#include "platform/window_system.h"

namespace platform {
namespace {

bool is_x11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && SDL_strcmp(driver, "x11") == 0;
}

// An X11 window of our own inside a foreign parent. SDL draws into it; making
// our own child keeps the parent's attributes (visual, event mask) untouched.
class ForeignChild {
 public:
  ~ForeignChild() {
    if (display_ != nullptr) {
      if (child_ != 0) XDestroyWindow(display_, child_);
      XCloseDisplay(display_);
    }
  }

  bool create(uint64_t parent, const base::Rect& rect, std::string* error) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
      *error = "cannot open the X display";
      return false;
    }
    // Window 0 stands for the root window (a saver drawing on the whole screen).
    if (parent == 0) parent = DefaultRootWindow(display_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, static_cast<::Window>(parent), &attributes) == 0) {
      *error = "the parent window does not exist";
      return false;
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
      width = attributes.width;
      height = attributes.height;
    }
    child_ = XCreateSimpleWindow(display_, static_cast<::Window>(parent), rect.left, rect.top,
                                 static_cast<unsigned>(std::max(width, 1)),
                                 static_cast<unsigned>(std::max(height, 1)), 0, 0, 0);
    XMapWindow(display_, child_);
    XSync(display_, False);
    return child_ != 0;
  }

  uint64_t id() const { return child_; }

 private:
  Display* display_ = nullptr;
  ::Window child_ = 0;
};

class SdlWindow final : public Window {
 public:
  SdlWindow(SDL_Window* window, std::unique_ptr<ForeignChild> child, uint64_t parent)
      : window_(window), child_(std::move(child)), parent_(parent) {}
  ~SdlWindow() override {
    SDL_DestroyWindow(window_);
    child_.reset();
  }

  SDL_Window* sdl() const { return window_; }

  void show() override { SDL_ShowWindow(window_); }
  void hide() override { SDL_HideWindow(window_); }
  void minimize() override { SDL_MinimizeWindow(window_); }
  void restore() override { SDL_RestoreWindow(window_); }
  bool minimized() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0; }
  bool visible() const override { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }

  void move_to(int x, int y) override { SDL_SetWindowPosition(window_, x, y); }
  void resize_client(int width, int height) override { SDL_SetWindowSize(window_, width, height); }

  base::Rect window_rect() const override {
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_GetWindowSize(window_, &w, &h);
    base::Rect frame = frame_extents();
    return base::Rect{x - frame.left, y - frame.top, x + w + frame.right, y + h + frame.bottom};
  }

  base::Rect client_rect() const override {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return base::Rect{0, 0, w, h};
  }

  base::Rect frame_extents() const override {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) return base::Rect{};
    return base::Rect{left, top, right, bottom};
  }

  void set_fullscreen(bool on) override {
    SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }
  bool fullscreen() const override {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  }
  void set_topmost(bool on) override { SDL_SetWindowAlwaysOnTop(window_, on ? SDL_TRUE : SDL_FALSE); }
  void set_min_size(int width, int height) override { SDL_SetWindowMinimumSize(window_, width, height); }
  void set_title(const std::string& title) override { SDL_SetWindowTitle(window_, title.c_str()); }
  std::string title() const override { return SDL_GetWindowTitle(window_); }
  void raise() override { SDL_RaiseWindow(window_); }
  void focus() override { SDL_SetWindowInputFocus(window_); }

  uint64_t native_id() const override {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window_, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
      return static_cast<uint64_t>(info.info.x11.window);
    }
    return 0;
  }
  uint64_t parent_id() const override { return parent_; }

 private:
  SDL_Window* window_;
  std::unique_ptr<ForeignChild> child_;
  uint64_t parent_;
};

uint64_t mouse_key_state(Uint32 buttons) {
  uint64_t state = 0;
  if (buttons & SDL_BUTTON_LMASK) state |= MK_LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) state |= MK_RBUTTON;
  if (buttons & SDL_BUTTON_MMASK) state |= MK_MBUTTON;
  SDL_Keymod mods = SDL_GetModState();
  if (mods & KMOD_SHIFT) state |= MK_SHIFT;
  if (mods & KMOD_CTRL) state |= MK_CONTROL;
  return state;
}

class SdlWindowSystem final : public WindowSystem {
 public:
  explicit SdlWindowSystem(MessageQueue& queue) : queue_(queue) {
    timer_queue_.store(&queue);
    // A post from another thread (timers, other instances) writes a byte to
    // this pipe; wait() sleeps on it and on the X connection together.
    if (pipe2(wake_pipe_, O_NONBLOCK | O_CLOEXEC) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
    int writer = wake_pipe_[1];
    queue_.set_waker([writer] {
      if (writer < 0) return;
      char byte = 1;
      ssize_t ignored = write(writer, &byte, 1);
      (void)ignored;
    });
  }

  ~SdlWindowSystem() override {
    queue_.set_waker(nullptr);
    {
      std::lock_guard lock(timer_mutex_);
      for (auto& [id, timer] : timers_) SDL_RemoveTimer(timer.sdl_id);
      timers_.clear();
    }
    timer_queue_.store(nullptr);
    if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
    for (int fd : wake_pipe_) {
      if (fd >= 0) close(fd);
    }
    if (inhibited_) SDL_EnableScreenSaver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
  }

  std::unique_ptr<Window> create_window(const WindowDesc& desc, std::string* error) override {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    Uint32 flags = SDL_WINDOW_OPENGL | (desc.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    SDL_Window* window = nullptr;
    std::unique_ptr<ForeignChild> child;
    switch (desc.shape) {
      case WindowShape::Popup: {
        base::Rect screen = primary_screen();
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP;
        window = SDL_CreateWindow(desc.title.c_str(), screen.left, screen.top, screen.right - screen.left,
                                  screen.bottom - screen.top, flags);
        break;
      }
      case WindowShape::Framed: {
        flags |= SDL_WINDOW_RESIZABLE;
        base::Rect rect = desc.rect;
        if (desc.fullscreen) {
          // Made at the screen's size too, so it covers the screen even where
          // no window manager handles the full-screen request.
          flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
          rect = primary_screen();
        }
        window =
            SDL_CreateWindow(desc.title.c_str(), rect.left, rect.top, rect.width(), rect.height(), flags);
        break;
      }
      case WindowShape::Child: {
        if (!is_x11()) {
          *error = "a window inside another program's window needs an X11 display";
          return nullptr;
        }
        child = std::make_unique<ForeignChild>();
        if (!child->create(desc.parent, desc.rect, error)) return nullptr;
        SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
        window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(child->id())));
        if (window != nullptr) SDL_SetWindowTitle(window, desc.title.c_str());
        break;
      }
    }
    if (window == nullptr) {
      *error = SDL_GetError();
      return nullptr;
    }
    remember_x_display(window);
    if (desc.shape != WindowShape::Child && (desc.min_width > 0 || desc.min_height > 0)) {
      SDL_SetWindowMinimumSize(window, desc.min_width, desc.min_height);
    }
    return std::make_unique<SdlWindow>(window, std::move(child), desc.parent);
  }

  std::vector<DisplayInfo> displays() override {
    std::vector<DisplayInfo> list;
    int count = SDL_GetNumVideoDisplays();
    for (int index = 0; index < count; ++index) {
      DisplayInfo info;
      const char* name = SDL_GetDisplayName(index);
      info.name = name != nullptr ? name : "";
      SDL_Rect bounds{};
      SDL_GetDisplayBounds(index, &bounds);
      info.rect = base::Rect{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
      SDL_DisplayMode mode{};
      if (SDL_GetDesktopDisplayMode(index, &mode) == 0) info.desktop_mode = to_mode(mode);
      int modes = SDL_GetNumDisplayModes(index);
      for (int m = 0; m < modes; ++m) {
        if (SDL_GetDisplayMode(index, m, &mode) == 0) info.modes.push_back(to_mode(mode));
      }
      if (info.modes.empty()) info.modes.push_back(info.desktop_mode);
      list.push_back(std::move(info));
    }
    return list;
  }

  std::optional<base::Rect> foreign_client_rect(uint64_t native_id) override {
    if (!is_x11()) return std::nullopt;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return std::nullopt;
    if (native_id == 0) native_id = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    std::optional<base::Rect> result;
    if (XGetWindowAttributes(display, static_cast<::Window>(native_id), &attributes) != 0) {
      result = base::Rect{0, 0, attributes.width, attributes.height};
    }
    XCloseDisplay(display);
    return result;
  }

  void pump() override {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) translate(event);
  }

  void wait(int timeout_ms) override {
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return;
    if (queue_.size() > 0) {
      drain_wake_pipe();
      return;
    }
    pollfd fds[2] = {{wake_pipe_[0], POLLIN, 0}, {-1, POLLIN, 0}};
    int count = wake_pipe_[0] >= 0 ? 1 : 0;
    if (x_display_ != nullptr) {
      XFlush(x_display_);
      fds[count++] = pollfd{ConnectionNumber(x_display_), POLLIN, 0};
    }
    if (count == 0) {
      SDL_WaitEventTimeout(nullptr, timeout_ms < 0 ? 10 : std::min(timeout_ms, 10));
      return;
    }
    if (x_display_ == nullptr && (timeout_ms < 0 || timeout_ms > 10)) {
      // Without an X connection (offscreen rendering) SDL's own events still
      // need looking at now and then.
      timeout_ms = 10;
    }
    poll(fds, static_cast<nfds_t>(count), timeout_ms);
    drain_wake_pipe();
  }

  void start_timer(uint32_t id, int interval_ms) override {
    std::lock_guard lock(timer_mutex_);
    auto found = timers_.find(id);
    if (found != timers_.end()) {
      SDL_RemoveTimer(found->second.sdl_id);
      timers_.erase(found);
    }
    auto& timer = timers_[id];
    timer.interval = static_cast<Uint32>(std::max(interval_ms, 1));
    timer.sdl_id = SDL_AddTimer(timer.interval, &SdlWindowSystem::on_timer,
                                reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
  }

  void stop_timer(uint32_t id) override {
    std::lock_guard lock(timer_mutex_);
    auto found = timers_.find(id);
    if (found == timers_.end()) return;
    SDL_RemoveTimer(found->second.sdl_id);
    timers_.erase(found);
  }

  void show_cursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

  void set_cursor_image(const CursorImage* image) override {
    SDL_Cursor* next = nullptr;
    if (image != nullptr) {
      SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
          const_cast<uint32_t*>(image->pixels), CursorImage::kSize, CursorImage::kSize, 32,
          CursorImage::kSize * 4, SDL_PIXELFORMAT_ARGB8888);
      if (surface != nullptr) {
        next = SDL_CreateColorCursor(surface, image->hot_x, image->hot_y);
        SDL_FreeSurface(surface);
      }
    }
    SDL_SetCursor(next != nullptr ? next : SDL_GetDefaultCursor());
    if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
    cursor_ = next;
  }

  void warp_cursor(Window& window, int x, int y) override {
    if (SDL_Window* sdl = sdl_window_of(window)) SDL_WarpMouseInWindow(sdl, x, y);
  }

  void confine_cursor(Window& window, bool confine) override {
    if (SDL_Window* sdl = sdl_window_of(window)) {
      SDL_SetWindowMouseGrab(sdl, confine ? SDL_TRUE : SDL_FALSE);
    }
  }

  bool key_down(uint32_t vk) override {
    SDL_Keymod mods = SDL_GetModState();
    if (vk == VK_CONTROL) return (mods & KMOD_CTRL) != 0;
    if (vk == VK_SHIFT) return (mods & KMOD_SHIFT) != 0;
    if (vk == VK_MENU) return (mods & KMOD_ALT) != 0;
    SDL_Keycode key = sdl_key_of(vk);
    if (key == SDLK_UNKNOWN) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    SDL_Scancode code = SDL_GetScancodeFromKey(key);
    return code > 0 && code < count && state[code] != 0;
  }

  void inhibit_screen_blanking(bool inhibit) override {
    inhibited_ = inhibit;
    if (inhibit) {
      SDL_DisableScreenSaver();
    } else {
      SDL_EnableScreenSaver();
    }
  }

 private:
  struct Timer {
    Uint32 interval = 0;
    SDL_TimerID sdl_id = 0;
  };

  // Runs on SDL's timer thread: it may only post. The parameter is the timer
  // id itself, so a callback that races with stop_timer touches no freed data.
  static Uint32 on_timer(Uint32 interval, void* param) {
    if (MessageQueue* queue = timer_queue_.load()) {
      queue->post_once(Message{WM_TIMER, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(param)), 0, 0});
    }
    return interval;
  }
  static inline std::atomic<MessageQueue*> timer_queue_{nullptr};

  static DisplayMode to_mode(const SDL_DisplayMode& mode) {
    return DisplayMode{
        mode.w, mode.h, mode.refresh_rate,
        static_cast<int>(SDL_BITSPERPIXEL(mode.format) == 24 ? 32 : SDL_BITSPERPIXEL(mode.format))};
  }

  void post(uint32_t id, uint64_t wparam, int64_t lparam) { queue_.post(Message{id, wparam, lparam, 0}); }

  void translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_QUIT:
        // SIGTERM and SIGINT arrive here too: close the window the normal way.
        post(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        translate_window_event(event.window);
        break;
      case SDL_DISPLAYEVENT:
        post(WM_DISPLAYCHANGE, 0, 0);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        uint32_t vk = virtual_key_of(event.key.keysym.sym);
        if (vk == 0) break;
        bool down = event.type == SDL_KEYDOWN;
        bool alt = (event.key.keysym.mod & KMOD_ALT) != 0 && vk != VK_MENU;
        uint32_t id = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
        int64_t flags = 1;
        if (event.key.repeat != 0) flags |= int64_t{1} << 30;
        if (!down) flags |= (int64_t{1} << 30) | (int64_t{1} << 31);
        post(id, vk, flags);
        break;
      }
      case SDL_MOUSEMOTION:
        post(WM_MOUSEMOVE, mouse_key_state(event.motion.state),
             make_point_lparam(event.motion.x, event.motion.y));
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32_t id = 0;
        if (event.button.button == SDL_BUTTON_LEFT) {
          id = down ? (event.button.clicks >= 2 && event.button.clicks % 2 == 0 ? WM_LBUTTONDBLCLK
                                                                                : WM_LBUTTONDOWN)
                    : WM_LBUTTONUP;
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
          id = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        } else if (event.button.button == SDL_BUTTON_MIDDLE) {
          id = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        }
        if (id != 0) {
          post(id, mouse_key_state(SDL_GetMouseState(nullptr, nullptr)),
               make_point_lparam(event.button.x, event.button.y));
        }
        break;
      }
      case SDL_MOUSEWHEEL: {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        int delta = event.wheel.y * 120;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
        uint64_t wparam = (static_cast<uint64_t>(static_cast<uint16_t>(delta)) << 16) |
                          mouse_key_state(SDL_GetMouseState(nullptr, nullptr));
        post(WM_MOUSEWHEEL, wparam, make_point_lparam(x, y));
        break;
      }
      default:
        break;  // the wake-up event and everything we do not use
    }
  }

  void translate_window_event(const SDL_WindowEvent& event) {
    auto size_lparam = [&] { return make_point_lparam(event.data1, event.data2); };
    switch (event.event) {
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        post(WM_SIZE, SIZE_RESTORED, size_lparam());
        break;
      case SDL_WINDOWEVENT_RESIZED:
        // Only a change made from outside (the user or the window manager)
        // comes here; it is a whole move-size operation.
        post(WM_ENTERSIZEMOVE, 0, 0);
        post(WM_SIZE, SIZE_RESTORED, size_lparam());
        post(WM_EXITSIZEMOVE, 0, 0);
        break;
      case SDL_WINDOWEVENT_MINIMIZED:
        post(WM_SIZE, SIZE_MINIMIZED, 0);
        break;
      case SDL_WINDOWEVENT_MAXIMIZED:
        post(WM_SIZE, SIZE_MAXIMIZED, 0);
        break;
      case SDL_WINDOWEVENT_RESTORED:
        post(WM_SIZE, SIZE_RESTORED, 0);
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        post(WM_ACTIVATE, 1, 0);
        post(WM_ACTIVATEAPP, 1, 0);
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        post(WM_ACTIVATE, 0, 0);
        post(WM_ACTIVATEAPP, 0, 0);
        post(WM_KILLFOCUS, 0, 0);
        break;
      case SDL_WINDOWEVENT_CLOSE:
        post(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT_EXPOSED:
        post(WM_PAINT, 0, 0);
        break;
      default:
        break;
    }
  }

  void drain_wake_pipe() {
    char buffer[64];
    while (wake_pipe_[0] >= 0 && read(wake_pipe_[0], buffer, sizeof buffer) > 0) {
    }
  }

  void remember_x_display(SDL_Window* window) {
    if (x_display_ != nullptr) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
      x_display_ = info.info.x11.display;
    }
  }

  MessageQueue& queue_;
  int wake_pipe_[2] = {-1, -1};
  Display* x_display_ = nullptr;
  std::mutex timer_mutex_;
  std::map<uint32_t, Timer> timers_;
  SDL_Cursor* cursor_ = nullptr;
  bool inhibited_ = false;
};

}  // namespace

SDL_Window* sdl_window_of(Window& window) {
  auto* sdl = dynamic_cast<SdlWindow*>(&window);
  return sdl != nullptr ? sdl->sdl() : nullptr;
}

std::unique_ptr<WindowSystem> create_sdl_window_system(MessageQueue& queue, std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  // No environment means no display: fall back to rendering without one.
  if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("DISPLAY") == nullptr &&
      SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    *error = SDL_GetError();
    return nullptr;
  }
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Keep the desktop's own screen saver policy unless we ask otherwise.
  SDL_EnableScreenSaver();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  return std::make_unique<SdlWindowSystem>(queue);
}

}  // namespace platform

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/message_queue.h"
#include "platform/window_messages.h"
#include "platform/window_system.h"
#include "support/headless_display.h"

namespace {

using platform::Message;

class SdlEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(test_support::ensure_display(&why)) << why;
    std::string error;
    system_ = platform::create_sdl_window_system(queue_, &error);
    ASSERT_NE(system_, nullptr) << error;
    platform::WindowDesc desc;
    desc.title = "Pelorin Tessaly";
    desc.rect = base::Rect{10, 10, 330, 250};
    window_ = system_->create_window(desc, &error);
    ASSERT_NE(window_, nullptr) << error;
    system_->pump();
    Message ignored;
    while (queue_.peek(ignored, true)) {
    }
  }

  // The messages of the events a test made; the window's own life (exposure,
  // focus, size) goes on beside them on a real X server and is left out.
  std::vector<Message> drain() {
    system_->pump();
    std::vector<Message> out;
    Message message;
    while (queue_.peek(message, true)) {
      switch (message.id) {
        case platform::WM_PAINT:
        case platform::WM_SIZE:
        case platform::WM_ACTIVATE:
        case platform::WM_ACTIVATEAPP:
        case platform::WM_KILLFOCUS:
        case platform::WM_ENTERSIZEMOVE:
        case platform::WM_EXITSIZEMOVE:
          break;
        default:
          out.push_back(message);
      }
    }
    return out;
  }

  static void push(SDL_Event event) { SDL_PushEvent(&event); }

  platform::MessageQueue queue_;
  std::unique_ptr<platform::WindowSystem> system_;
  std::unique_ptr<platform::Window> window_;
};

TEST_F(SdlEventsTest, NativeInputBecomesMessages) {
  struct Case {
    const char* what;
    SDL_Event event;
    uint32_t id;
    uint64_t wparam;
    int64_t lparam;
  };
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_ESCAPE;
  SDL_Event page{};
  page.type = SDL_KEYDOWN;
  page.key.keysym.sym = SDLK_PAGEDOWN;
  SDL_Event f3{};
  f3.type = SDL_KEYUP;
  f3.key.keysym.sym = SDLK_F3;
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = 17;
  motion.motion.y = 23;
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_LEFT;
  press.button.clicks = 1;
  press.button.x = 5;
  press.button.y = 6;
  SDL_Event twice = press;
  twice.button.clicks = 2;
  SDL_Event right = press;
  right.button.button = SDL_BUTTON_RIGHT;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_Event quit{};
  quit.type = SDL_QUIT;

  const Case cases[] = {
      {"Esc", key, platform::WM_KEYDOWN, platform::VK_ESCAPE, 1},
      {"Page Down", page, platform::WM_KEYDOWN, platform::VK_NEXT, 1},
      {"F3 released", f3, platform::WM_KEYUP, platform::VK_F1 + 2, 1 | (int64_t{3} << 30)},
      {"move", motion, platform::WM_MOUSEMOVE, 0, platform::make_point_lparam(17, 23)},
      {"left press", press, platform::WM_LBUTTONDOWN, 0, platform::make_point_lparam(5, 6)},
      {"double click", twice, platform::WM_LBUTTONDBLCLK, 0, platform::make_point_lparam(5, 6)},
      {"right press", right, platform::WM_RBUTTONDOWN, 0, platform::make_point_lparam(5, 6)},
      {"close box", close, platform::WM_CLOSE, 0, 0},
      {"SIGTERM or quit", quit, platform::WM_CLOSE, 0, 0},
  };
  for (const Case& c : cases) {
    push(c.event);
    auto messages = drain();
    ASSERT_EQ(messages.size(), 1u) << c.what;
    EXPECT_EQ(messages[0].id, c.id) << c.what;
    uint64_t wparam = messages[0].wparam;
    // Held modifier keys show in a mouse message's key state; ignore them.
    if (c.id >= platform::WM_MOUSEMOVE) wparam &= ~uint64_t{platform::MK_SHIFT | platform::MK_CONTROL};
    EXPECT_EQ(wparam, c.wparam) << c.what;
    EXPECT_EQ(messages[0].lparam, c.lparam) << c.what;
  }
}

TEST_F(SdlEventsTest, MousePositionsKeepTheirSign) {
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = -3;
  motion.motion.y = 700;
  push(motion);
  auto messages = drain();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(platform::point_x(messages[0].lparam), -3);
  EXPECT_EQ(platform::point_y(messages[0].lparam), 700);
}

TEST_F(SdlEventsTest, APostFromAnotherThreadWakesTheWait) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    queue_.post(Message{platform::WM_APP + 5, 1, 2, 0});
  });
  system_->wait(-1);  // would block forever without the wake-up
  poster.join();
  auto messages = drain();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].id, platform::WM_APP + 5u);
}

TEST_F(SdlEventsTest, TimersPostTheirIdUntilStopped) {
  system_->start_timer(1, 5);
  Message message{};
  ASSERT_TRUE(queue_.wait(message, 5000));
  EXPECT_EQ(message.id, platform::WM_TIMER);
  EXPECT_EQ(message.wparam, 1u);
  system_->stop_timer(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  drain();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_TRUE(drain().empty());
}

}  // namespace

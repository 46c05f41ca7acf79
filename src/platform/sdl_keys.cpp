#include "platform/sdl_keys.h"

#include "platform/window_messages.h"

namespace platform {
namespace {

struct KeyPair {
  SDL_Keycode sdl;
  uint32_t vk;
};

constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_PLUS, VK_OEM_PLUS},
    {SDLK_MINUS, VK_OEM_MINUS},
};

}  // namespace

uint32_t virtual_key_of(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint32_t>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + static_cast<uint32_t>(key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + static_cast<uint32_t>(key - SDLK_KP_1);
  if (key == SDLK_KP_0) return VK_NUMPAD0;
  for (const auto& pair : kKeys) {
    if (pair.sdl == key) return pair.vk;
  }
  return 0;
}

SDL_Keycode sdl_key_of(uint32_t vk) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<SDL_Keycode>(SDLK_a + static_cast<int>(vk - 'A'));
  if (vk >= '0' && vk <= '9') return static_cast<SDL_Keycode>(SDLK_0 + static_cast<int>(vk - '0'));
  if (vk >= VK_F1 && vk <= VK_F12) return static_cast<SDL_Keycode>(SDLK_F1 + static_cast<int>(vk - VK_F1));
  for (const auto& pair : kKeys) {
    if (pair.vk == vk) return pair.sdl;
  }
  return SDLK_UNKNOWN;
}

}  // namespace platform

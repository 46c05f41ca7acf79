#pragma once
#include <SDL2/SDL_keycode.h>

#include <cstdint>

namespace platform {

// Virtual key of an SDL key, 0 when the key has none.
uint32_t virtual_key_of(SDL_Keycode key);
// SDL key of a virtual key, SDLK_UNKNOWN when there is none.
SDL_Keycode sdl_key_of(uint32_t virtual_key);

}  // namespace platform

#pragma once
// Internal to the platform layer: lets the GL device reach the SDL window
// behind a platform::Window.
#include <SDL2/SDL.h>

#include "platform/window.h"

namespace platform {

// The SDL window of a window made by the SDL window system, else nullptr.
SDL_Window* sdl_window_of(Window& window);

}  // namespace platform

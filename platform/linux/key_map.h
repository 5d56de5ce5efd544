// SDL's keys and mouse buttons as the platform delivers them: Windows' virtual-key codes and
// the button numbers of WindowHandlers.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace plat::linux_window {

int virtual_key(const SDL_Keysym& key);
int button_of(std::uint8_t sdl_button);  // 1 left, 2 right, 4 any other

}  // namespace plat::linux_window

// The contract's set-up on the Linux layer, run in a private Xvfb: keys enter as SDL
// key events on the window, which the layer turns into messages when it next looks
// at SDL's queue, as it does with the keys the X server sends.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/seam/seam_backend.h"

void seamPrepare() {
    if (!std::getenv("DISPLAY")) ADD_FAILURE() << "no DISPLAY: run it under scripts/with-xvfb";
}

void seamPressKey(HWND, UINT message, int letter) {
    // The layer makes its SDL window when the pixel format is set; the contract's
    // context is current on it.
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr) << "no SDL window to send keys to";
    const bool up = message == WM_KEYUP;
    SDL_Event event{};
    event.type = up ? SDL_KEYUP : SDL_KEYDOWN;
    event.key.type = event.type;
    event.key.windowID = SDL_GetWindowID(window);
    event.key.state = up ? SDL_RELEASED : SDL_PRESSED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (letter - 'A'));
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

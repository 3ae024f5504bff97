// Mouse: the cursor's position and visibility, and the window rectangle that the
// cursor is measured against.
//
// Provides:
// - Windows' screen coordinates, as in GetWindowRect: display 0's top-left corner
//   is (0, 0) wherever display 0 lies on the X screen (display.h). While the window
//   has the mouse, the cursor is the window's position plus SDL's position in the
//   window (SDL's global position goes stale when other programs move the pointer);
//   a SetCursorPos is what GetCursorPos reports until the next mouse motion arrives.
// - GetWindowRect of the desktop window is display 0's current mode at (0, 0).
// - ShowCursor keeps Windows' display counter (hidden while below 0).
//
// Leaves out: no mouse messages, no cursor shapes.
#include "shell/platform/sdl/state.h"

namespace sdlLayer {

void applyCursorVisibility() {
    if (videoRunning()) SDL_ShowCursor(g_layer.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

bool cursorPosition(POINT* point) {
    if (g_layer.cursorWarped) {
        *point = g_layer.cursorWarp;
        return true;
    }
    if (!videoRunning()) return false;
    int x = 0, y = 0;
    SDL_Window* window = g_layer.window.sdl;
    if (window && SDL_GetMouseFocus() == window) {
        int left = 0, top = 0;
        SDL_GetWindowPosition(window, &left, &top);
        SDL_GetMouseState(&x, &y);
        x += left;
        y += top;
    } else {
        SDL_GetGlobalMouseState(&x, &y);
    }
    *point = toDisplay(POINT{x, y}, displayOrigin());
    return true;
}

}  // namespace sdlLayer

using namespace sdlLayer;

int WINAPI ShowCursor(BOOL show) {
    g_layer.cursorCount += show ? 1 : -1;
    applyCursorVisibility();
    return g_layer.cursorCount;
}

BOOL WINAPI GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    // A motion that came after the last warp replaces the warp's position: take in
    // what SDL has waiting before trusting that position.
    if (g_layer.cursorWarped && videoRunning()) pumpSystem();
    if (!g_layer.cursorWarped && !videoUp()) return FALSE;
    return cursorPosition(point) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect) {
    if (!rect) return FALSE;
    if (window == &g_layer.desktopWindow) {
        SDL_DisplayMode mode;
        if (!videoUp() || !currentMode(&mode)) return FALSE;
        *rect = RECT{0, 0, mode.w, mode.h};
        return TRUE;
    }
    if (!isWindow(window)) return FALSE;
    const HWND__& record = g_layer.window;
    int x = record.x, y = record.y, width = record.width, height = record.height;
    if (record.sdl) {
        SDL_GetWindowPosition(record.sdl, &x, &y);
        SDL_GetWindowSize(record.sdl, &width, &height);
        const POINT place = toDisplay(POINT{x, y}, displayOrigin());
        x = place.x;
        y = place.y;
    }
    *rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    if (!videoUp()) return FALSE;
    const POINT screen = toScreen(POINT{x, y}, displayOrigin());
    if (SDL_WarpMouseGlobal(screen.x, screen.y) != 0) return FALSE;
    g_layer.cursorWarped = true;
    g_layer.cursorWarp = POINT{x, y};
    return TRUE;
}

// Display modes: the mode list of display 0 and the full-screen change.
//
// Provides:
// - EnumDisplaySettingsA: SDL's list of display 0 in reverse (rates rising within a
//   size, as Windows drivers list them; see display.h), ENUM_CURRENT_SETTINGS (the
//   current mode) and ENUM_REGISTRY_SETTINGS (the desktop's). Depths are 8 x the
//   bytes per pixel, as GetDeviceCaps(BITSPIXEL) counts them.
// - ChangeDisplaySettingsA: CDS_TEST matches a listed mode exactly (chooseListedMode
//   in display.h) and changes nothing; any other flags apply the mode through an
//   SDL full-screen window (remembered until the window exists); a NULL record
//   leaves full-screen, which restores the desktop mode and puts the window back
//   where its record says.
//
// Leaves out: only the NULL device (display 0); mode changes are never stored.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {

ListedMode listedModeOf(const SDL_DisplayMode& mode) {
    return ListedMode{static_cast<DWORD>(mode.w), static_cast<DWORD>(mode.h),
                      depthOfBytesPerPixel(SDL_BYTESPERPIXEL(mode.format)),
                      static_cast<DWORD>(mode.refresh_rate)};
}

void fillDevMode(const SDL_DisplayMode& mode, DEVMODEA* record) {
    const ListedMode listed = listedModeOf(mode);
    record->dmDriverExtra = 0;
    record->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    record->dmBitsPerPel = listed.depth;
    record->dmPelsWidth = listed.width;
    record->dmPelsHeight = listed.height;
    record->dmDisplayFlags = 0;
    record->dmDisplayFrequency = listed.rate;
    std::memset(record->dmDeviceName, 0, sizeof record->dmDeviceName);
    if (const char* name = SDL_GetDisplayName(0))
        std::strncpy(reinterpret_cast<char*>(record->dmDeviceName), name,
                     sizeof record->dmDeviceName - 1);
}

bool findListedMode(const DEVMODEA& wanted, SDL_DisplayMode* found) {
    SDL_DisplayMode current, desktop;
    if (SDL_GetCurrentDisplayMode(0, &current) != 0 || SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return false;
    std::vector<SDL_DisplayMode> modes;
    std::vector<ListedMode> listed;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        modes.push_back(mode);
        listed.push_back(listedModeOf(mode));
    }
    const int index = chooseListedMode(wanted, listedModeOf(current), listedModeOf(desktop), listed);
    if (index < 0) return false;
    *found = modes[static_cast<std::size_t>(index)];
    return true;
}

}  // namespace

bool enterFullScreen() {
    SDL_Window* window = g_layer.window.sdl;
    if (SDL_SetWindowDisplayMode(window, &g_layer.fullScreenMode) != 0 ||
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
        std::fprintf(stderr, "platform: full-screen mode refused: %s\n", SDL_GetError());
        return false;
    }
    g_layer.fullScreenPending = false;
    g_layer.fullScreenActive = true;
    return true;
}

}  // namespace sdlLayer

using namespace sdlLayer;

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    if (device || !mode || !videoUp()) return FALSE;
    SDL_DisplayMode found;
    int result;
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        result = SDL_GetCurrentDisplayMode(0, &found);
    } else if (modeNumber == ENUM_REGISTRY_SETTINGS) {
        result = SDL_GetDesktopDisplayMode(0, &found);
    } else {
        const int index = listedIndexOf(modeNumber, SDL_GetNumDisplayModes(0));
        if (index < 0) return FALSE;
        result = SDL_GetDisplayMode(0, index, &found);
    }
    if (result != 0) return FALSE;
    fillDevMode(found, mode);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    HWND__& record = g_layer.window;
    if (!mode) {
        g_layer.fullScreenPending = false;
        if (!g_layer.fullScreenActive) return DISP_CHANGE_SUCCESSFUL;
        g_layer.fullScreenActive = false;
        if (SDL_SetWindowFullscreen(record.sdl, 0) != 0) return DISP_CHANGE_FAILED;
        SDL_SetWindowPosition(record.sdl, record.x, record.y);
        SDL_SetWindowSize(record.sdl, std::max(record.width, 1), std::max(record.height, 1));
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!videoUp()) return DISP_CHANGE_FAILED;
    SDL_DisplayMode listed;
    if (!findListedMode(*mode, &listed)) return DISP_CHANGE_BADMODE;
    if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    g_layer.fullScreenMode = listed;
    if (!record.sdl) {
        g_layer.fullScreenPending = true;
        return DISP_CHANGE_SUCCESSFUL;
    }
    return enterFullScreen() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

// Display rules: which listed mode a DEVMODEA asks for, the order in which modes
// are listed, and where display 0 lies among the screens. Pure: no display, no SDL
// calls; called directly by the unit tests.
//
// Provides:
// - ListedMode: a mode as the layer reports it: width, height, depth (8 x the bytes
//   per pixel: 32 for 4-byte pixels, in the mode list and in GetDeviceCaps alike,
//   as Windows counts them) and refresh rate in whole hertz.
// - listedIndexOf: SDL lists each size's rates from the highest down; Windows
//   drivers list them rising, and the shell's choice among equal sizes follows the
//   listing order. Mode number n of EnumDisplaySettingsA is SDL's count - 1 - n.
// - chooseListedMode: the listed mode that a record asks for. Fields left out of
//   dmFields keep the current mode's values; the rate counts when it is named or not
//   0, and must then match exactly (SDL itself would take the closest larger mode).
//   Without a rate the desktop's rate is preferred, else the first listed.
// - chooseScreenMode: the X server's mode behind a listed one: the same size, and
//   the rate nearest to the listed whole hertz (SDL has rounded or cut the exact
//   rate, depending on its version; the nearest is right either way).
// - Display origin: Windows puts the primary display's top-left corner at (0, 0);
//   X puts the screen's there, and display 0 may lie anywhere on it. Window
//   positions, the window rectangle and the cursor are in display 0's coordinates
//   above the seam and in the screen's below it.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/platform/platform.h"

namespace sdlLayer {

struct ListedMode {
    DWORD width;
    DWORD height;
    DWORD depth;
    DWORD rate;
};

inline DWORD depthOfBytesPerPixel(int bytes) { return 8u * static_cast<DWORD>(bytes); }

// SDL's index of mode number `modeNumber` of EnumDisplaySettingsA, or -1 past the list.
int listedIndexOf(DWORD modeNumber, int count);

// The index in `listed` (SDL's order) of the mode that `wanted` asks for, or -1.
int chooseListedMode(const DEVMODEA& wanted, const ListedMode& current, const ListedMode& desktop,
                     const std::vector<ListedMode>& listed);

struct ScreenMode {
    unsigned width;
    unsigned height;
    double rate;  // hertz: dot clock / (horizontal total x vertical total); 0 unknown
};

// The index in `modes` of the mode behind the listed width x height at `rate`, or -1.
int chooseScreenMode(const std::vector<ScreenMode>& modes, DWORD width, DWORD height, DWORD rate);

struct DisplayOrigin {
    int x;
    int y;
};

inline POINT toScreen(POINT p, DisplayOrigin origin) { return POINT{p.x + origin.x, p.y + origin.y}; }
inline POINT toDisplay(POINT p, DisplayOrigin origin) { return POINT{p.x - origin.x, p.y - origin.y}; }

}  // namespace sdlLayer

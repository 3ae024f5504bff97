#include "shell/platform/sdl/display.h"

#include <cmath>

namespace sdlLayer {

int listedIndexOf(DWORD modeNumber, int count) {
    if (count <= 0 || modeNumber >= static_cast<DWORD>(count)) return -1;
    return count - 1 - static_cast<int>(modeNumber);
}

int chooseListedMode(const DEVMODEA& wanted, const ListedMode& current, const ListedMode& desktop,
                     const std::vector<ListedMode>& listed) {
    const DWORD width = wanted.dmFields & DM_PELSWIDTH ? wanted.dmPelsWidth : current.width;
    const DWORD height = wanted.dmFields & DM_PELSHEIGHT ? wanted.dmPelsHeight : current.height;
    const DWORD depth = wanted.dmFields & DM_BITSPERPEL ? wanted.dmBitsPerPel : current.depth;
    const bool rateCounts =
        (wanted.dmFields & DM_DISPLAYFREQUENCY) != 0 || wanted.dmDisplayFrequency != 0;
    int found = -1;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ListedMode& mode = listed[i];
        if (mode.width != width || mode.height != height || mode.depth != depth) continue;
        if (rateCounts && mode.rate != wanted.dmDisplayFrequency) continue;
        if (found < 0 || (!rateCounts && mode.rate == desktop.rate &&
                          listed[static_cast<std::size_t>(found)].rate != desktop.rate))
            found = static_cast<int>(i);
    }
    return found;
}

int chooseScreenMode(const std::vector<ScreenMode>& modes, DWORD width, DWORD height, DWORD rate) {
    int found = -1;
    double nearest = 0.0;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const ScreenMode& mode = modes[i];
        if (mode.width != width || mode.height != height) continue;
        const double distance = std::fabs(mode.rate - static_cast<double>(rate));
        if (found < 0 || distance < nearest) {
            found = static_cast<int>(i);
            nearest = distance;
        }
    }
    return found;
}

}  // namespace sdlLayer

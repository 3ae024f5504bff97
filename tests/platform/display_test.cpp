// The Linux layer's display rules: listing order, the mode a record asks for, the
// X mode behind a listed one, and display 0's origin.
#include <gtest/gtest.h>

#include <vector>

#include "shell/platform/sdl/display.h"

namespace {
using sdlLayer::ListedMode;

// A mode list in SDL's order (sizes falling, rates falling within a size), as the
// dummy Xorg driver of the tests lists it in part.
const std::vector<ListedMode> kListed = {
    {1280, 1024, 32, 75}, {1280, 1024, 32, 60}, {1024, 768, 32, 85}, {1024, 768, 32, 75},
    {1024, 768, 32, 70},  {1024, 768, 32, 60},  {800, 600, 32, 85},  {800, 600, 32, 60},
};
const ListedMode kDesktop = {1280, 1024, 32, 75};

DEVMODEA record(DWORD fields, DWORD width, DWORD height, DWORD depth, DWORD rate) {
    DEVMODEA mode{};
    mode.dmSize = 148;
    mode.dmFields = fields;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = depth;
    mode.dmDisplayFrequency = rate;
    return mode;
}

TEST(PlatformDisplay, ModesAreListedWithRatesRisingAsWindowsDriversListThem) {
    const int count = static_cast<int>(kListed.size());
    std::vector<DWORD> rates1024;
    for (DWORD n = 0;; ++n) {
        const int index = sdlLayer::listedIndexOf(n, count);
        if (index < 0) break;
        const ListedMode& m = kListed[static_cast<std::size_t>(index)];
        if (m.width == 1024) rates1024.push_back(m.rate);
    }
    EXPECT_EQ(rates1024, (std::vector<DWORD>{60, 70, 75, 85}));
    EXPECT_EQ(sdlLayer::listedIndexOf(0, 0), -1);
    EXPECT_EQ(sdlLayer::listedIndexOf(ENUM_CURRENT_SETTINGS, count), -1);
}

TEST(PlatformDisplay, RecordsAskForExactlyOneListedMode) {
    const DWORD all = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
    const DWORD noRate = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    const ListedMode current = {1024, 768, 32, 70};  // after a switch
    const struct {
        const char* what;
        DEVMODEA wanted;
        ListedMode current;
        int index;
    } cases[] = {
        {"exact", record(all, 1024, 768, 32, 75), kDesktop, 3},
        {"rate not listed", record(all, 1024, 768, 32, 72), kDesktop, -1},
        // SDL would take the closest larger mode; Windows' test does not.
        {"size not listed", record(all, 1000, 700, 32, 60), kDesktop, -1},
        {"depth counted as 24", record(all, 1024, 768, 24, 60), kDesktop, -1},
        {"rate 0 named: a mode without a rate", record(all, 1024, 768, 32, 0), kDesktop, -1},
        {"rate not named but set", record(noRate, 1024, 768, 32, 60), kDesktop, 5},
        // Without a rate: the desktop's rate where the size has it, else the first.
        {"no rate, desktop's rate listed", record(noRate, 1024, 768, 32, 0), kDesktop, 3},
        {"no rate, desktop's rate missing", record(noRate, 800, 600, 32, 0), kDesktop, 6},
        {"no rate, the desktop's size", record(noRate, 1280, 1024, 32, 0), kDesktop, 0},
        // Fields left out keep the current mode's values.
        {"depth only", record(DM_BITSPERPEL, 0, 0, 32, 0), current, 3},
        {"width left out", record(DM_PELSHEIGHT | DM_BITSPERPEL, 1, 768, 32, 0), current, 3},
        {"nothing named", record(0, 0, 0, 0, 0), kDesktop, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sdlLayer::chooseListedMode(c.wanted, c.current, kDesktop, kListed), c.index) << c.what;
}

TEST(PlatformDisplay, TheServersModeIsTheNearestRateOfTheSize) {
    // The dummy driver's 1024x768 modes and their exact rates, and two other sizes.
    const std::vector<sdlLayer::ScreenMode> modes = {
        {1280, 1024, 75.025}, {1024, 768, 84.997}, {1024, 768, 75.029}, {1024, 768, 70.069},
        {1024, 768, 60.004},  {640, 480, 59.940},  {640, 480, 60.000},  {320, 200, 0.0},
    };
    const struct {
        DWORD width, height, rate;
        int index;
    } cases[] = {
        {1024, 768, 85, 1}, {1024, 768, 75, 2}, {1024, 768, 70, 3}, {1024, 768, 60, 4},
        {1280, 1024, 75, 0},
        // 59.94 cut to 59 or 60 rounded: each finds its own mode.
        {640, 480, 59, 5}, {640, 480, 60, 6},
        {320, 200, 0, 7},   {800, 600, 60, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sdlLayer::chooseScreenMode(modes, c.width, c.height, c.rate), c.index)
            << c.width << "x" << c.height << "@" << c.rate;
}

TEST(PlatformDisplay, DisplayZerosOriginMovesEveryPointTheSameWay) {
    const sdlLayer::DisplayOrigin origins[] = {{0, 0}, {1280, 0}, {-1024, 0}, {256, 128}, {0, -768}};
    const POINT points[] = {{0, 0}, {10, 20}, {-5, 700}, {1023, 767}};
    for (const auto& o : origins) {
        for (const POINT& p : points) {
            const POINT screen = sdlLayer::toScreen(p, o);
            EXPECT_EQ(screen.x - p.x, o.x);
            EXPECT_EQ(screen.y - p.y, o.y);
            const POINT back = sdlLayer::toDisplay(screen, o);
            EXPECT_EQ(back.x, p.x);
            EXPECT_EQ(back.y, p.y);
        }
    }
}
}  // namespace

// Display 0 away from the X screen's origin (a private Xorg with the dummy driver,
// its one monitor moved to (256, 128) on a larger screen before the layer starts):
// Windows puts display 0's corner at (0, 0), so the window, its rectangle and the
// cursor must all be offset by display 0's origin below the seam and by nothing
// above it. The X server's own view is read with Xlib.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "shell/platform/platform.h"

// After GoogleTest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {
constexpr int kOriginX = 256, kOriginY = 128;

LRESULT CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return 1; }

struct Server {
    Display* display = XOpenDisplay(nullptr);
    ~Server() {
        if (display) XCloseDisplay(display);
    }
    Window root() const { return DefaultRootWindow(display); }
};

// The primary output's CRTC, or the first one in use.
RRCrtc displayZeroCrtc(const Server& x, XRRScreenResources* resources) {
    const RROutput primary = XRRGetOutputPrimary(x.display, x.root());
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(x.display, resources, resources->outputs[i]);
        const RRCrtc crtc = output->crtc;
        XRRFreeOutputInfo(output);
        if (crtc && (resources->outputs[i] == primary || !primary)) return crtc;
    }
    return 0;
}

struct CrtcPlace {
    int x, y;
    unsigned width, height;
};

CrtcPlace crtcPlace(const Server& x) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x.display, x.root());
    XRRCrtcInfo* info = XRRGetCrtcInfo(x.display, resources, displayZeroCrtc(x, resources));
    const CrtcPlace place = {info->x, info->y, info->width, info->height};
    XRRFreeCrtcInfo(info);
    XRRFreeScreenResources(resources);
    return place;
}

// Moves display 0 to (kOriginX, kOriginY), growing the screen to keep it whole.
bool moveDisplayZero(const Server& x) {
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(x.display, x.root());
    const RRCrtc crtc = displayZeroCrtc(x, resources);
    if (!crtc) return false;
    XRRCrtcInfo* info = XRRGetCrtcInfo(x.display, resources, crtc);
    XRRSetScreenSize(x.display, x.root(), static_cast<int>(info->width) + kOriginX,
                     static_cast<int>(info->height) + kOriginY, 400, 300);
    const Status status = XRRSetCrtcConfig(x.display, resources, crtc, CurrentTime, kOriginX, kOriginY,
                                           info->mode, info->rotation, info->outputs, info->noutput);
    XRRFreeCrtcInfo(info);
    XRRFreeScreenResources(resources);
    XSync(x.display, False);
    return status == RRSetConfigSuccess;
}

// Where the window named `title` lies on the screen, by the server's account.
bool windowOnScreen(const Server& x, const char* title, int* left, int* top, unsigned* width,
                    unsigned* height) {
    Window rootReturn, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(x.display, x.root(), &rootReturn, &parent, &children, &count);
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(x.display, children[i], &name) && name) {
            if (std::string(name) == title) {
                XWindowAttributes attributes;
                XGetWindowAttributes(x.display, children[i], &attributes);
                Window child;
                XTranslateCoordinates(x.display, children[i], x.root(), 0, 0, left, top, &child);
                *width = static_cast<unsigned>(attributes.width);
                *height = static_cast<unsigned>(attributes.height);
                found = true;
            }
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

POINT pointerOnScreen(const Server& x) {
    Window rootReturn, child;
    int rootX = 0, rootY = 0, winX, winY;
    unsigned mask;
    XQueryPointer(x.display, x.root(), &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask);
    return POINT{rootX, rootY};
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Pumps until `done` holds or a generous deadline passes.
template <typename Done>
bool pumpUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(PlatformOrigin, WindowRectangleAndCursorAreInDisplayZerosCoordinates) {
    Server x;
    ASSERT_NE(x.display, nullptr);
    ASSERT_TRUE(moveDisplayZero(x));
    const CrtcPlace desktop = crtcPlace(x);
    ASSERT_EQ(desktop.x, kOriginX);
    ASSERT_EQ(desktop.y, kOriginY);

    // The desktop as the layer reports it: display 0 alone, at (0, 0).
    RECT screen{};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &screen));
    EXPECT_PRED2(sameRect, screen, (RECT{0, 0, static_cast<LONG>(desktop.width),
                                         static_cast<LONG>(desktop.height)}));

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = quietProc;
    windowClass.lpszClassName = "origin test";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "origin test", "origin test", WS_POPUP | WS_VISIBLE, 10, 20,
                                  320, 240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    const int format = ChoosePixelFormat(dc, &request);
    ASSERT_GT(format, 0);
    ASSERT_TRUE(SetPixelFormat(dc, format, &request));

    int left = 0, top = 0;
    unsigned width = 0, height = 0;
    ASSERT_TRUE(pumpUntil([&] { return windowOnScreen(x, "origin test", &left, &top, &width, &height); }));
    EXPECT_EQ(left, kOriginX + 10);
    EXPECT_EQ(top, kOriginY + 20);
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 240u);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_PRED2(sameRect, rect, (RECT{10, 20, 330, 260}));

    // Moved after it exists: the same offset.
    ASSERT_TRUE(MoveWindow(window, 40, 50, 300, 200, FALSE));
    EXPECT_TRUE(pumpUntil([&] {
        return windowOnScreen(x, "origin test", &left, &top, &width, &height) &&
               left == kOriginX + 40 && top == kOriginY + 50;
    })) << left << "," << top;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_PRED2(sameRect, rect, (RECT{40, 50, 340, 250}));

    // The cursor: set in display 0's coordinates, found on the screen offset.
    const POINT places[] = {{100, 60}, {0, 0}, {1000, 900}};
    for (const POINT& p : places) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        ASSERT_TRUE(SetCursorPos(p.x, p.y));
        XSync(x.display, False);
        const POINT onScreen = pointerOnScreen(x);
        EXPECT_EQ(onScreen.x, kOriginX + p.x);
        EXPECT_EQ(onScreen.y, kOriginY + p.y);
        POINT at{};
        ASSERT_TRUE(GetCursorPos(&at));
        EXPECT_EQ(at.x, p.x);
        EXPECT_EQ(at.y, p.y);
    }

    // Moved by another program over the window: read back in display 0's terms.
    XWarpPointer(x.display, None, x.root(), 0, 0, 0, 0, kOriginX + 140, kOriginY + 90);
    XSync(x.display, False);
    POINT at{};
    EXPECT_TRUE(pumpUntil([&] { return GetCursorPos(&at) && at.x == 140 && at.y == 90; }))
        << at.x << "," << at.y;

    // A full-screen switch keeps display 0 where it is and covers it.
    DEVMODEA mode{};
    mode.dmSize = 148;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = 1024;
    mode.dmPelsHeight = 768;
    mode.dmBitsPerPel = 32;
    ASSERT_TRUE(MoveWindow(window, 0, 0, 1024, 768, FALSE));
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(pumpUntil([&] {
        const CrtcPlace now = crtcPlace(x);
        return now.width == 1024 && now.height == 768;
    }));
    const CrtcPlace switched = crtcPlace(x);
    EXPECT_EQ(switched.x, kOriginX);
    EXPECT_EQ(switched.y, kOriginY);
    EXPECT_TRUE(pumpUntil([&] {
        return windowOnScreen(x, "origin test", &left, &top, &width, &height) &&
               left == kOriginX && top == kOriginY && width == 1024 && height == 768;
    })) << left << "," << top << " " << width << "x" << height;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_PRED2(sameRect, rect, (RECT{0, 0, 1024, 768}));
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &screen));
    EXPECT_PRED2(sameRect, screen, (RECT{0, 0, 1024, 768}));

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(pumpUntil([&] {
        const CrtcPlace now = crtcPlace(x);
        return now.width == desktop.width && now.height == desktop.height;
    }));
    const CrtcPlace restored = crtcPlace(x);
    EXPECT_EQ(restored.x, kOriginX);
    EXPECT_EQ(restored.y, kOriginY);
}
}  // namespace

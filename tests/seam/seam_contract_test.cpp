// The seam's contract: what the shell relies on from a platform backend, as Windows
// does it. The same tests run against the scripted stand-in and, in a private Xvfb,
// against the Linux layer; each backend's set-up is in its own file
// (seam_backend.h). Where the two disagree, Windows decides which one is wrong.
//
// One window for the whole run (the Linux layer makes one per process): a class is
// registered, the window made from the atom that the registration returned, its
// pixel format set and a GL context made current on it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "shell/platform/platform.h"
#include "tests/seam/seam_backend.h"

namespace {

constexpr const char* kClassName = "Seam Contract";
constexpr ATOM kFirstAtom = 0xC000;  // Windows numbers registered classes from here
constexpr LRESULT kProcResult = 0x5A5A;
HWND const kNoWindowMessages = reinterpret_cast<HWND>(~std::uintptr_t{0});  // (HWND)-1

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};
std::vector<Received> s_received;

LRESULT CALLBACK recordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    s_received.push_back({message, wParam, lParam});
    return kProcResult;
}

LPCSTR atomName(ATOM atom) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(atom)); }

struct Seam {
    ATOM atom = 0;
    HWND window = nullptr;
    HDC dc = nullptr;
    int format = 0;
    HGLRC context = nullptr;
};

Seam openSeam() {
    seamPrepare();
    Seam s;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = kClassName;
    s.atom = RegisterClassA(&windowClass);
    if (!s.atom) return s;
    s.window = CreateWindowExA(0, atomName(s.atom), "seam contract", WS_POPUP | WS_VISIBLE, 0, 0,
                               320, 240, nullptr, nullptr, nullptr, nullptr);
    if (!s.window) return s;
    s.dc = GetDC(s.window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    request.iLayerType = PFD_MAIN_PLANE;
    s.format = ChoosePixelFormat(s.dc, &request);
    DescribePixelFormat(s.dc, s.format, sizeof request, &request);
    if (!SetPixelFormat(s.dc, s.format, &request)) return s;
    s.context = wglCreateContext(s.dc);
    wglMakeCurrent(s.dc, s.context);
    return s;
}

const Seam& seam() {
    static const Seam opened = openSeam();
    return opened;
}

// A message as PeekMessageA handed it out.
struct Taken {
    UINT message;
    WPARAM wParam;
    HWND window;
    bool operator==(const Taken&) const = default;
};

void PrintTo(const Taken& t, std::ostream* out) {
    char text[80];
    std::snprintf(text, sizeof text, "{0x%04x, %lu, %s}", t.message,
                  static_cast<unsigned long>(t.wParam), t.window ? "window" : "NULL");
    *out << text;
}

// Takes messages with these filters until PeekMessageA finds none (at most 100, so
// that a quit message that never goes does not loop for ever).
std::vector<Taken> takeAll(HWND window = nullptr, UINT filterMin = 0, UINT filterMax = 0) {
    std::vector<Taken> taken;
    MSG msg{};
    while (taken.size() < 100 && PeekMessageA(&msg, window, filterMin, filterMax, PM_REMOVE))
        taken.push_back({msg.message, msg.wParam, msg.hwnd});
    return taken;
}

class SeamContract : public testing::Test {
protected:
    void SetUp() override {
        s = &seam();
        ASSERT_NE(s->window, nullptr) << "the window was not made from the class's atom";
        ASSERT_NE(s->context, nullptr);
        takeAll();
        s_received.clear();
    }
    void press(UINT message, int letter) { seamPressKey(s->window, message, letter); }
    const Seam* s = nullptr;
};

// --- Quit ordering ---------------------------------------------------------------

TEST_F(SeamContract, QuitComesAfterTheWaitingMessagesAndThosePostedAfterIt) {
    press(WM_KEYDOWN, 'A');
    PostQuitMessage(3);
    press(WM_KEYDOWN, 'B');
    press(WM_KEYUP, 'B');
    const HWND w = s->window;
    const std::vector<Taken> expected = {
        {WM_KEYDOWN, 'A', w}, {WM_KEYDOWN, 'B', w}, {WM_KEYUP, 'B', w}, {WM_QUIT, 3, nullptr}};
    EXPECT_EQ(takeAll(), expected);
    EXPECT_TRUE(s_received.empty());  // peeking dispatches nothing
}

TEST_F(SeamContract, QuitStaysUntilTakenAndRepeatedQuitsMakeOne) {
    PostQuitMessage(4);
    PostQuitMessage(5);  // the last code counts
    for (int look = 0; look < 2; ++look) {
        SCOPED_TRACE(look);
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(msg.wParam, 5u);
    }
    EXPECT_EQ(takeAll(), (std::vector<Taken>{{WM_QUIT, 5, nullptr}}));
}

// Windows hands the quit message out once nothing that passes the filters is
// waiting, whatever window the caller filters on.
TEST_F(SeamContract, QuitIgnoresTheWindowFilter) {
    press(WM_KEYDOWN, 'A');
    PostQuitMessage(6);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, GetDesktopWindow(), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 6u);
    EXPECT_EQ(takeAll(),
              (std::vector<Taken>{{WM_KEYDOWN, 'A', s->window}, {WM_QUIT, 6, nullptr}}));
}

// ... and whatever range of messages it asks for.
TEST_F(SeamContract, QuitIgnoresTheRangeFilter) {
    press(WM_KEYDOWN, 'A');
    PostQuitMessage(7);
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE))
        << "no quit message for a range without WM_QUIT";
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(takeAll(),
              (std::vector<Taken>{{WM_KEYDOWN, 'A', s->window}, {WM_QUIT, 7, nullptr}}));
}

// --- Filters and removal ---------------------------------------------------------

TEST_F(SeamContract, RangeFilterTakesMatchingMessagesOutOfTheMiddle) {
    press(WM_KEYDOWN, 'A');
    press(WM_KEYUP, 'A');
    press(WM_KEYDOWN, 'B');
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYUP, PM_REMOVE));
    for (int look = 0; look < 2; ++look) {  // PM_NOREMOVE leaves it in place
        SCOPED_TRACE(look);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE));
        EXPECT_EQ((Taken{msg.message, msg.wParam, msg.hwnd}), (Taken{WM_KEYUP, 'A', s->window}));
    }
    EXPECT_EQ(takeAll(nullptr, WM_KEYUP, WM_KEYUP),
              (std::vector<Taken>{{WM_KEYUP, 'A', s->window}}));
    // Both ends of a range count; the rest kept its order.
    press(WM_KEYUP, 'C');
    const std::vector<Taken> expected = {
        {WM_KEYDOWN, 'A', s->window}, {WM_KEYDOWN, 'B', s->window}, {WM_KEYUP, 'C', s->window}};
    EXPECT_EQ(takeAll(nullptr, WM_KEYDOWN, WM_KEYUP), expected);
    EXPECT_TRUE(takeAll().empty());
}

TEST_F(SeamContract, WindowFilterTakesOnlyThatWindowsMessages) {
    press(WM_KEYDOWN, 'A');
    press(WM_KEYUP, 'A');
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, GetDesktopWindow(), 0, 0, PM_REMOVE));  // another window
    EXPECT_FALSE(PeekMessageA(&msg, kNoWindowMessages, 0, 0, PM_REMOVE));   // no window's
    const std::vector<Taken> expected = {{WM_KEYDOWN, 'A', s->window}, {WM_KEYUP, 'A', s->window}};
    EXPECT_EQ(takeAll(s->window), expected);
    EXPECT_TRUE(takeAll().empty());
}

// --- Classes ---------------------------------------------------------------------

TEST_F(SeamContract, ClassNamesCompareWithoutCaseAndRegisterOnce) {
    EXPECT_GE(s->atom, kFirstAtom);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    for (const char* name : {"Seam Contract", "SEAM CONTRACT", "seam contract"}) {
        windowClass.lpszClassName = name;
        EXPECT_EQ(RegisterClassA(&windowClass), 0) << name;
    }
    windowClass.lpszClassName = "Seam Contract Two";
    const ATOM second = RegisterClassA(&windowClass);
    EXPECT_GE(second, kFirstAtom);
    EXPECT_NE(second, s->atom);
    windowClass.lpszClassName = "seam contract two";
    EXPECT_EQ(RegisterClassA(&windowClass), 0);

    EXPECT_EQ(CreateWindowExA(0, "never registered", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

TEST_F(SeamContract, WindowMadeFromTheAtomUsesTheClassProcedure) {
    EXPECT_EQ(SendMessageA(s->window, 0x0400, 5, 6), kProcResult);
    MSG msg{};
    msg.hwnd = s->window;
    msg.message = WM_KEYDOWN;
    msg.wParam = 'A';
    msg.lParam = 1;
    EXPECT_EQ(DispatchMessageA(&msg), kProcResult);
    const std::vector<Received> expected = {{0x0400, 5, 6}, {WM_KEYDOWN, 'A', 1}};
    EXPECT_EQ(s_received, expected);
}

// --- Pixel formats ---------------------------------------------------------------

TEST_F(SeamContract, DescribePixelFormatKeepsToTheFormatCount) {
    ASSERT_GT(s->format, 0);
    PIXELFORMATDESCRIPTOR description{};
    const int count = DescribePixelFormat(s->dc, s->format, 0, nullptr);  // only counts
    ASSERT_GE(count, s->format);
    EXPECT_EQ(DescribePixelFormat(s->dc, s->format, sizeof description, &description), count);
    EXPECT_EQ(description.nSize, sizeof description);
    EXPECT_EQ(description.iPixelType, PFD_TYPE_RGBA);
    EXPECT_TRUE(description.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_EQ(DescribePixelFormat(s->dc, 0, 0, nullptr), count);  // whatever the format

    const struct {
        const char* what;
        int format;
        UINT bytes;
    } failures[] = {
        {"format 0", 0, sizeof description},
        {"past the count", count + 1, sizeof description},
        {"too few bytes", s->format, sizeof description - 1},
    };
    for (const auto& f : failures)
        EXPECT_EQ(DescribePixelFormat(s->dc, f.format, f.bytes, &description), 0) << f.what;
}

// --- Cursor ----------------------------------------------------------------------

TEST_F(SeamContract, ShowCursorKeepsTheDisplayCounter) {
    const struct {
        BOOL show;
        int count;
    } steps[] = {{FALSE, -1}, {FALSE, -2}, {TRUE, -1}, {TRUE, 0}, {TRUE, 1}, {FALSE, 0}};
    for (const auto& step : steps) EXPECT_EQ(ShowCursor(step.show), step.count);
}

TEST_F(SeamContract, SetCursorPosIsReadBackByGetCursorPos) {
    const POINT places[] = {{100, 60}, {5, 5}, {200, 150}, {1023, 767}};
    for (const POINT& p : places) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        ASSERT_TRUE(SetCursorPos(p.x, p.y));
        POINT at{};
        ASSERT_TRUE(GetCursorPos(&at));
        EXPECT_EQ(at.x, p.x);
        EXPECT_EQ(at.y, p.y);
    }
}

// --- Display modes ---------------------------------------------------------------

DEVMODEA emptyMode() {
    DEVMODEA mode{};
    mode.dmSize = 148;
    return mode;
}

bool sameMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel && a.dmDisplayFrequency == b.dmDisplayFrequency;
}

TEST_F(SeamContract, ModeTestIsExactAndChangesNothing) {
    std::vector<DEVMODEA> listed;
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode = emptyMode();
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) break;
        listed.push_back(mode);
    }
    DEVMODEA current = emptyMode();
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    const DEVMODEA* base = nullptr;
    for (const DEVMODEA& mode : listed)
        if (sameMode(mode, current)) base = &mode;
    ASSERT_NE(base, nullptr) << "the current mode is not listed";
    auto rateListed = [&](DWORD rate) {
        DEVMODEA other = *base;
        other.dmDisplayFrequency = rate;
        for (const DEVMODEA& mode : listed)
            if (sameMode(mode, other)) return true;
        return false;
    };
    DWORD unlistedRate = base->dmDisplayFrequency + 1;
    while (rateListed(unlistedRate)) ++unlistedRate;

    const struct {
        const char* what;
        DWORD widthAdded;
        DWORD rate;
        LONG result;
    } cases[] = {
        {"as listed", 0, base->dmDisplayFrequency, DISP_CHANGE_SUCCESSFUL},
        {"one pixel wider", 1, base->dmDisplayFrequency, DISP_CHANGE_BADMODE},
        {"a rate not listed", 0, unlistedRate, DISP_CHANGE_BADMODE},
    };
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DEVMODEA mode = *base;
        mode.dmPelsWidth += c.widthAdded;
        mode.dmDisplayFrequency = c.rate;
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_TEST), c.result);
        DEVMODEA after = emptyMode();
        ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &after));
        EXPECT_TRUE(sameMode(after, current)) << "a test changed the mode";
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screenHeight);
    }
    for (DEVMODEA mode : listed)
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
}

}  // namespace

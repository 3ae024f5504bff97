// The Linux platform layer against a real X server (a private Xvfb started by the
// test command) and Mesa: one window per process, opened on first use the way the
// shell opens it, then the operations that the shell and the demo rely on.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool) would rename its declarations.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "shell/platform/platform.h"

namespace {
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

bool operator==(const Received& a, const Received& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

void PrintTo(const Received& r, std::ostream* out) {
    char text[64];
    std::snprintf(text, sizeof text, "{0x%04x, 0x%02lx, 0x%08lx}", r.message,
                  static_cast<unsigned long>(r.wParam), static_cast<unsigned long>(r.lParam));
    *out << text;
}

constexpr LRESULT kProcResult = 0x5A5A;  // tells the procedure's answer from DefWindowProcA's 0
std::vector<Received> s_received;
bool s_passToDefault = false;  // whether the procedure hands messages on as the shell's does

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    s_received.push_back({message, wParam, lParam});
    if (s_passToDefault && message != WM_CLOSE) DefWindowProcA(window, message, wParam, lParam);
    return kProcResult;
}

// Where the test window is put (MoveWindow before the SDL window exists).
constexpr RECT kPlace = {10, 20, 330, 260};

struct TestWindow {
    HWND window = nullptr;
    HDC dc = nullptr;
    int format = 0;
    PIXELFORMATDESCRIPTOR described{};
    RECT rectBeforeCreation{};
    RECT rectAfterCreation{};
    HGLRC context = nullptr;
    bool currentRightAfterCreate = true;
};

PIXELFORMATDESCRIPTOR formatRequest(BYTE depthBits, BYTE stencilBits) {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cDepthBits = depthBits;
    request.cStencilBits = stencilBits;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

TestWindow openTestWindow() {
    TestWindow t;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = "platform test";
    if (!RegisterClassA(&windowClass)) return t;
    t.window = CreateWindowExA(0, "platform test", "platform test", WS_POPUP | WS_VISIBLE, 0, 0,
                               64, 64, nullptr, nullptr, nullptr, nullptr);
    if (!t.window) return t;
    MoveWindow(t.window, kPlace.left, kPlace.top, kPlace.right - kPlace.left,
               kPlace.bottom - kPlace.top, FALSE);
    GetWindowRect(t.window, &t.rectBeforeCreation);
    t.dc = GetDC(t.window);
    PIXELFORMATDESCRIPTOR request = formatRequest(24, 0);
    t.format = ChoosePixelFormat(t.dc, &request);
    DescribePixelFormat(t.dc, t.format, sizeof t.described, &t.described);
    if (!SetPixelFormat(t.dc, t.format, &t.described)) return t;
    GetWindowRect(t.window, &t.rectAfterCreation);
    t.context = wglCreateContext(t.dc);
    t.currentRightAfterCreate = glGetString(GL_VERSION) != nullptr;
    wglMakeCurrent(t.dc, t.context);
    SetFocus(t.window);
    return t;
}

const TestWindow& testWindow() {
    static const TestWindow opened = openTestWindow();
    return opened;
}

using Clock = std::chrono::steady_clock;
// How long a wait for a condition may take before it counts as a hang: generous,
// for a slow or busy machine; the waits end as soon as their condition holds.
constexpr std::chrono::seconds kDeadline{30};

// Takes messages off the queue until `done` says so or `limit` has passed;
// WM_QUIT included, nothing dispatched.
template <typename Done>
std::vector<MSG> takeMessages(std::chrono::milliseconds limit, Done done) {
    std::vector<MSG> taken;
    const auto end = Clock::now() + limit;
    while (!done(taken) && Clock::now() < end) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            taken.push_back(msg);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return taken;
}

// Takes off the queue everything that the X server had for the window by now: a
// round trip on the layer's own connection brings in every event that the server
// sent before it (keys typed and warps made by earlier steps included), and the
// queue is then read until it is empty. No time is waited.
void drainMessages() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        XSync(info.info.x11.display, False);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// Whether the X server has the test window at `r`, by xdotool's account.
bool serverPlaces(const RECT& r) {
    const std::string geometry =
        output("xdotool search --name '^platform test$' getwindowgeometry %1");
    const std::string position =
        "Position: " + std::to_string(r.left) + "," + std::to_string(r.top);
    const std::string size = "Geometry: " + std::to_string(r.right - r.left) + "x" +
                             std::to_string(r.bottom - r.top);
    const bool placed = geometry.find(position) != std::string::npos && geometry.find(size) != std::string::npos;
    if (!placed) std::fprintf(stderr, "xdotool: %s", geometry.c_str());
    return placed;
}

// Waits for the window's rectangle to become `wanted` (the X server confirms
// geometry changes asynchronously), pumping meanwhile.
RECT rectAfterPumping(HWND window, const RECT& wanted) {
    RECT rect{};
    const auto end = Clock::now() + kDeadline;
    do {
        drainMessages();
        GetWindowRect(window, &rect);
    } while (!sameRect(rect, wanted) && Clock::now() < end);
    return rect;
}

class PlatformTest : public testing::Test {
protected:
    void SetUp() override {
        w = &testWindow();
        ASSERT_NE(w->window, nullptr);
        ASSERT_NE(w->context, nullptr);
        drainMessages();
        s_received.clear();
    }
    const TestWindow* w = nullptr;
};

// Window, pixel format, context

TEST_F(PlatformTest, WindowKeepsTheGeometryMoveWindowGaveBeforeItExisted) {
    EXPECT_PRED2(sameRect, w->rectBeforeCreation, kPlace) << describe(w->rectBeforeCreation);
    EXPECT_PRED2(sameRect, w->rectAfterCreation, kPlace) << describe(w->rectAfterCreation);
    const std::string geometry =
        output("xdotool search --name '^platform test$' getwindowgeometry %1");
    EXPECT_NE(geometry.find("Position: 10,20"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 320x240"), std::string::npos) << geometry;
}

TEST_F(PlatformTest, MoveWindowMovesTheRealWindow) {
    const RECT moved = {30, 40, 330, 240};
    ASSERT_TRUE(MoveWindow(w->window, 30, 40, 300, 200, FALSE));
    RECT rect = rectAfterPumping(w->window, moved);
    EXPECT_PRED2(sameRect, rect, moved) << describe(rect);
    const std::string geometry =
        output("xdotool search --name '^platform test$' getwindowgeometry %1");
    EXPECT_NE(geometry.find("Position: 30,40"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 300x200"), std::string::npos) << geometry;

    MoveWindow(w->window, kPlace.left, kPlace.top, kPlace.right - kPlace.left,
               kPlace.bottom - kPlace.top, FALSE);
    rect = rectAfterPumping(w->window, kPlace);
    EXPECT_PRED2(sameRect, rect, kPlace) << describe(rect);
}

TEST_F(PlatformTest, PixelFormatDescribesWhatTheContextReallyHas) {
    ASSERT_GT(w->format, 0);
    const PIXELFORMATDESCRIPTOR& d = w->described;
    EXPECT_EQ(d.nSize, sizeof d);
    EXPECT_EQ(d.iPixelType, PFD_TYPE_RGBA);
    EXPECT_TRUE(d.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_TRUE(d.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_GE(d.cDepthBits, 24);

    GLint red = 0, depth = 0, stencil = 0;
    GLboolean doubleBuffer = GL_FALSE;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_EQ(d.cRedBits, red);
    EXPECT_EQ(d.cDepthBits, depth);
    EXPECT_EQ(d.cStencilBits, stencil);
    EXPECT_EQ(doubleBuffer, GL_TRUE);
}

TEST_F(PlatformTest, PixelFormatIsSetOnceAndFormatsAreNumberedByWhatTheyGet) {
    PIXELFORMATDESCRIPTOR same = formatRequest(24, 0);
    EXPECT_EQ(ChoosePixelFormat(w->dc, &same), w->format);
    EXPECT_TRUE(SetPixelFormat(w->dc, w->format, &w->described));

    PIXELFORMATDESCRIPTOR withStencil = formatRequest(24, 8);
    const int other = ChoosePixelFormat(w->dc, &withStencil);
    ASSERT_GT(other, 0);
    ASSERT_NE(other, w->format);
    PIXELFORMATDESCRIPTOR described{};
    EXPECT_GE(DescribePixelFormat(w->dc, other, sizeof described, &described), other);
    EXPECT_GE(described.cStencilBits, 8);
    EXPECT_FALSE(SetPixelFormat(w->dc, other, &described));
    EXPECT_EQ(DescribePixelFormat(w->dc, 0, sizeof described, &described), 0);
    EXPECT_EQ(DescribePixelFormat(w->dc, 99, sizeof described, &described), 0);

    // The probing left our context current.
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
}

TEST_F(PlatformTest, ContextCreationLeavesTheCurrentContextAlone) {
    EXPECT_FALSE(w->currentRightAfterCreate);

    HGLRC second = wglCreateContext(w->dc);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, w->context);
    EXPECT_NE(glGetString(GL_VERSION), nullptr);  // still the first one
    EXPECT_TRUE(wglMakeCurrent(w->dc, second));
    EXPECT_TRUE(wglDeleteContext(second));
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);  // deleting the current one released it
    EXPECT_FALSE(wglDeleteContext(second));
    EXPECT_FALSE(wglMakeCurrent(w->dc, second));
    EXPECT_TRUE(wglMakeCurrent(w->dc, w->context));
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
}

TEST_F(PlatformTest, ProcAddressKnowsOnlyTheSwapIntervalExtension) {
    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"wglSwapIntervalEXT", true},
        {"wglChoosePixelFormatARB", false},
        {"glBegin", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(wglGetProcAddress(c.name) != nullptr, c.found) << c.name;

    typedef BOOL (*SwapInterval)(int);
    auto swapInterval = reinterpret_cast<SwapInterval>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglSwapIntervalEXT")));
    // What the call reports is what happened: success leaves SDL reading back the
    // interval asked for, failure (Xvfb's llvmpipe cannot set one) leaves the
    // interval as it was. 1 first, so that a report of success that is not true shows
    // even where the interval already is 0; 0 last, as the demo leaves it.
    for (int interval : {1, 0}) {
        const int before = SDL_GL_GetSwapInterval();
        if (swapInterval(interval)) {
            EXPECT_EQ(SDL_GL_GetSwapInterval(), interval) << "reported as set";
        } else {
            EXPECT_EQ(SDL_GL_GetSwapInterval(), before)
                << "reported as refused, asked " << interval;
        }
    }
    EXPECT_TRUE(SwapBuffers(w->dc));
    EXPECT_FALSE(SwapBuffers(GetDC(GetDesktopWindow())));
}

// Classes and messages

TEST_F(PlatformTest, ClassNamesRegisterOnceAndOneWindowExists) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordingProc;
    windowClass.lpszClassName = "PLATFORM Test";  // names compare without case
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    windowClass.lpszClassName = "platform test 2";
    const ATOM atom = RegisterClassA(&windowClass);
    EXPECT_NE(atom, 0);
    EXPECT_EQ(RegisterClassA(&windowClass), 0);
    windowClass.lpszClassName = "platform test 3";
    windowClass.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassA(&windowClass), 0);

    EXPECT_EQ(CreateWindowExA(0, "never registered", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "platform test 2", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

TEST_F(PlatformTest, SendAndDispatchCallTheWindowProcedureAtOnce) {
    EXPECT_EQ(SendMessageA(w->window, 0x0400, 5, 6), kProcResult);
    ASSERT_EQ(s_received.size(), 1u);
    EXPECT_EQ(s_received[0], (Received{0x0400, 5, 6}));

    MSG msg{};
    msg.hwnd = w->window;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_SPACE;
    msg.lParam = 1;
    EXPECT_EQ(DispatchMessageA(&msg), kProcResult);
    ASSERT_EQ(s_received.size(), 2u);
    EXPECT_EQ(s_received[1], (Received{WM_KEYDOWN, VK_SPACE, 1}));

    EXPECT_EQ(DefWindowProcA(w->window, WM_CLOSE, 0, 0), 0);
    msg.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(SendMessageA(GetDesktopWindow(), WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(s_received.size(), 2u);
}

TEST_F(PlatformTest, SignalBecomesCloseAndQuitComesLastAndOnce) {
    std::raise(SIGTERM);
    PostQuitMessage(7);
    MSG msg{};
    // Nothing waiting in the range: the quit message, which no filter holds back.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    ASSERT_TRUE(PeekMessageA(&msg, w->window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(msg.hwnd, w->window);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(s_received.empty());  // peeking dispatches nothing
}

// Keys typed with xdotool reach the queue with Windows' codes and flags.
TEST_F(PlatformTest, KeysArriveWithWindowsVirtualKeysAndFlags) {
    const struct {
        const char* keys;
        std::vector<Received> expected;
    } cases[] = {
        {"key Up", {{WM_KEYDOWN, VK_UP, 0x01000001}, {WM_KEYUP, VK_UP, 0xC1000001}}},
        {"key a", {{WM_KEYDOWN, 'A', 0x00000001}, {WM_KEYUP, 'A', 0xC0000001}}},
        {"key Control_L",
         {{WM_KEYDOWN, VK_CONTROL, 0x00000001}, {WM_KEYUP, VK_CONTROL, 0xC0000001}}},
        {"key Escape", {{WM_KEYDOWN, VK_ESCAPE, 0x00000001}, {WM_KEYUP, VK_ESCAPE, 0xC0000001}}},
        {"key F5", {{WM_KEYDOWN, VK_F1 + 4, 0x00000001}, {WM_KEYUP, VK_F1 + 4, 0xC0000001}}},
        // While Alt is held keys are system keys with the context bit (29).
        {"keydown Alt_L key x keyup Alt_L",
         {{WM_SYSKEYDOWN, VK_MENU, 0x20000001},
          {WM_SYSKEYDOWN, 'X', 0x20000001},
          {WM_SYSKEYUP, 'X', 0xE0000001},
          {WM_SYSKEYUP, VK_MENU, 0xC0000001}}},
        // Once Alt is up, the key still held comes up as an ordinary key.
        {"keydown Alt_L keydown x keyup Alt_L keyup x",
         {{WM_SYSKEYDOWN, VK_MENU, 0x20000001},
          {WM_SYSKEYDOWN, 'X', 0x20000001},
          {WM_SYSKEYUP, VK_MENU, 0xC0000001},
          {WM_KEYUP, 'X', 0xC0000001}}},
        // With Ctrl held Alt makes no system keys.
        {"keydown Control_L keydown Alt_L keyup Alt_L keyup Control_L",
         {{WM_KEYDOWN, VK_CONTROL, 0x00000001},
          {WM_KEYDOWN, VK_MENU, 0x00000001},
          {WM_KEYUP, VK_MENU, 0xC0000001},
          {WM_KEYUP, VK_CONTROL, 0xC0000001}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        ASSERT_EQ(std::system((std::string("xdotool ") + c.keys).c_str()), 0);
        const std::size_t wanted = c.expected.size();
        std::vector<MSG> taken =
            takeMessages(kDeadline, [wanted](const std::vector<MSG>& got) {
                std::size_t keys = 0;
                for (const MSG& m : got) keys += isKeyMessage(m.message);
                return keys >= wanted;
            });
        std::vector<Received> got;
        for (const MSG& m : taken) {
            if (!isKeyMessage(m.message)) continue;
            EXPECT_EQ(m.hwnd, w->window);
            got.push_back({m.message, m.wParam, m.lParam});
        }
        EXPECT_EQ(got, c.expected);
    }
}

// xset's view of a keyboard lock, "on" or "off".
std::string lockState(const char* lock) {
    const std::string settings = output("xset q");
    const std::size_t at = settings.find(lock);
    if (at == std::string::npos) return "unknown";
    const std::size_t colon = settings.find(':', at);
    const std::size_t value = settings.find_first_not_of(' ', colon + 1);
    return settings.substr(value, settings.find_first_of(" \n", value) - value);
}

// Presses Num Lock until xset reports `wanted`, and returns the key messages taken.
void setNumLock(const char* wanted) {
    for (int presses = 0; presses < 2 && lockState("Num Lock") != wanted; ++presses) {
        ASSERT_EQ(std::system("xdotool key Num_Lock"), 0);
        takeMessages(kDeadline, [](const std::vector<MSG>& got) {
            return !got.empty() && got.back().message == WM_KEYUP && got.back().wParam == VK_NUMLOCK;
        });
    }
    ASSERT_EQ(lockState("Num Lock"), wanted);
}

std::vector<Received> keyMessagesAfter(const std::string& keys, std::size_t wanted) {
    EXPECT_EQ(std::system(("xdotool " + keys).c_str()), 0);
    std::vector<MSG> taken =
        takeMessages(kDeadline, [wanted](const std::vector<MSG>& got) {
            std::size_t count = 0;
            for (const MSG& m : got) count += isKeyMessage(m.message);
            return count >= wanted;
        });
    std::vector<Received> got;
    for (const MSG& m : taken)
        if (isKeyMessage(m.message)) got.push_back({m.message, m.wParam, m.lParam});
    return got;
}

// With Num Lock off the keypad's digits are the navigation keys they carry, as on
// Windows (keypad 8 flies forward); with it on they are digits.
TEST_F(PlatformTest, KeypadFollowsNumLock) {
    const std::string before = lockState("Num Lock");
    ASSERT_NE(before, "unknown");
    const struct {
        const char* numLock;
        const char* keys;
        std::vector<Received> expected;
    } cases[] = {
        {"off", "key KP_Up KP_Left KP_Begin",
         {{WM_KEYDOWN, VK_UP, 0x00000001}, {WM_KEYUP, VK_UP, 0xC0000001},
          {WM_KEYDOWN, VK_LEFT, 0x00000001}, {WM_KEYUP, VK_LEFT, 0xC0000001},
          {WM_KEYDOWN, VK_CLEAR, 0x00000001}, {WM_KEYUP, VK_CLEAR, 0xC0000001}}},
        {"off", "key KP_Delete Up",
         {{WM_KEYDOWN, VK_DELETE, 0x00000001}, {WM_KEYUP, VK_DELETE, 0xC0000001},
          {WM_KEYDOWN, VK_UP, 0x01000001}, {WM_KEYUP, VK_UP, 0xC1000001}}},
        // xdotool names a key by its first keysym; the keypad's first is the
        // navigation key whatever Num Lock says, and the server applies the lock.
        {"on", "key KP_Up KP_Insert",
         {{WM_KEYDOWN, VK_NUMPAD0 + 8, 0x00000001}, {WM_KEYUP, VK_NUMPAD0 + 8, 0xC0000001},
          {WM_KEYDOWN, VK_NUMPAD0, 0x00000001}, {WM_KEYUP, VK_NUMPAD0, 0xC0000001}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Num Lock ") + c.numLock + ": " + c.keys);
        setNumLock(c.numLock);
        EXPECT_EQ(keyMessagesAfter(c.keys, c.expected.size()), c.expected);
    }
    setNumLock(before.c_str());
}

// Alt+F4 closes the window through the default processing, as on Windows: the
// system key reaches DefWindowProcA, which posts WM_SYSCOMMAND(SC_CLOSE), whose
// default processing sends WM_CLOSE.
TEST_F(PlatformTest, AltF4ReachesTheWindowAsCloseThroughTheDefaultProcessing) {
    s_passToDefault = true;
    ASSERT_EQ(std::system("xdotool keydown Alt_L key F4 keyup Alt_L"), 0);
    auto seen = [](UINT message, WPARAM wParam) {
        for (std::size_t i = 0; i < s_received.size(); ++i)
            if (s_received[i].message == message && s_received[i].wParam == wParam) return i;
        return s_received.size();
    };
    const auto end = Clock::now() + kDeadline;
    while (Clock::now() < end &&
           (seen(WM_CLOSE, 0) == s_received.size() || seen(WM_SYSKEYUP, VK_MENU) == s_received.size())) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    s_passToDefault = false;
    // The keys as they came; the command, posted, comes behind whatever key messages
    // were already waiting, and WM_CLOSE right after it.
    std::vector<Received> keys, others;
    for (const Received& r : s_received) (isKeyMessage(r.message) ? keys : others).push_back(r);
    const std::vector<Received> expectedKeys = {
        {WM_SYSKEYDOWN, VK_MENU, 0x20000001},
        {WM_SYSKEYDOWN, VK_F4, 0x20000001},
        {WM_SYSKEYUP, VK_F4, 0xE0000001},
        {WM_SYSKEYUP, VK_MENU, 0xC0000001},
    };
    const std::vector<Received> expectedOthers = {{WM_SYSCOMMAND, SC_CLOSE, 0}, {WM_CLOSE, 0, 0}};
    EXPECT_EQ(keys, expectedKeys);
    EXPECT_EQ(others, expectedOthers);
    EXPECT_GT(seen(WM_SYSCOMMAND, SC_CLOSE), seen(WM_SYSKEYDOWN, VK_F4));
    EXPECT_EQ(seen(WM_CLOSE, 0), seen(WM_SYSCOMMAND, SC_CLOSE) + 1);

    // A procedure that does not pass the system key on is not closed.
    ASSERT_EQ(std::system("xdotool keydown Alt_L key F4 keyup Alt_L"), 0);
    std::vector<MSG> taken =
        takeMessages(kDeadline, [](const std::vector<MSG>& got) {
            return !got.empty() && got.back().message == WM_SYSKEYUP && got.back().wParam == VK_MENU;
        });
    for (const MSG& m : taken) {
        DispatchMessageA(&m);
        EXPECT_TRUE(isKeyMessage(m.message)) << std::hex << m.message;
    }
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// Far more keys than the queue was made for arrive while nobody takes them out (a
// frame that takes long); a close signal comes on top. Nothing may be lost: every
// key-up, the close, in order.
TEST_F(PlatformTest, AFloodedQueueLosesNoMessage) {
    // Two keys by turns, 1 ms apart: SDL takes a key's release and press at the same
    // server time for auto-repeat (and without a pause xdotool's releases go astray).
    constexpr int kTaps = 200;  // 800 key messages
    ASSERT_EQ(std::system(("xdotool key --delay 1 --repeat " + std::to_string(kTaps) + " a s").c_str()), 0);
    ASSERT_EQ(std::system("xdotool key Alt_L"), 0);  // the end of the flood, as WM_SYSKEYUP
    // Look for the marker without taking anything: every look moves what has arrived
    // into the queue and leaves it there.
    MSG msg;
    const auto end = Clock::now() + kDeadline;
    bool marker = false;
    while (!(marker = PeekMessageA(&msg, nullptr, WM_SYSKEYUP, WM_SYSKEYUP, PM_NOREMOVE)) && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(marker) << "the end of the flood never reached the queue";
    std::raise(SIGTERM);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "the close was lost";

    std::vector<Received> expected;
    for (int i = 0; i < kTaps; ++i) {
        for (WPARAM key : {'A', 'S'}) {
            expected.push_back({WM_KEYDOWN, key, 0x00000001});
            expected.push_back({WM_KEYUP, key, 0xC0000001});
        }
    }
    expected.push_back({WM_SYSKEYDOWN, VK_MENU, 0x20000001});
    expected.push_back({WM_SYSKEYUP, VK_MENU, 0xC0000001});
    expected.push_back({WM_CLOSE, 0, 0});
    std::vector<Received> got;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) got.push_back({msg.message, msg.wParam, msg.lParam});
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
}

TEST_F(PlatformTest, HeldKeyRepeatsWithThePreviousStateBit) {
    ASSERT_EQ(std::system("xdotool keydown Right sleep 1 keyup Right"), 0);
    std::vector<MSG> taken = takeMessages(kDeadline, [](const std::vector<MSG>& got) {
        return !got.empty() && got.back().message == WM_KEYUP;
    });
    std::vector<LPARAM> downs;
    for (const MSG& m : taken)
        if (m.message == WM_KEYDOWN && m.wParam == VK_RIGHT) downs.push_back(m.lParam);
    ASSERT_GE(downs.size(), 2u) << "no autorepeat seen";
    EXPECT_EQ(downs.front(), 0x01000001);
    for (std::size_t i = 1; i < downs.size(); ++i) EXPECT_EQ(downs[i], 0x41000001) << i;
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back().message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(taken.back().lParam, static_cast<LPARAM>(0xC1000001));
}

// Mouse

TEST_F(PlatformTest, SetCursorPosIsReadBackAtOnceAndAfterItsEvents) {
    const POINT places[] = {{100, 60}, {5, 5}, {200, 150}, {100, 60}};
    for (const POINT& p : places) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        ASSERT_TRUE(SetCursorPos(p.x, p.y));
        POINT at{};
        ASSERT_TRUE(GetCursorPos(&at));
        EXPECT_EQ(at.x, p.x);
        EXPECT_EQ(at.y, p.y);
        drainMessages();  // the warp's own motion events come in
        ASSERT_TRUE(GetCursorPos(&at));
        EXPECT_EQ(at.x, p.x);
        EXPECT_EQ(at.y, p.y);
    }
}

TEST_F(PlatformTest, CursorFollowsThePointerMovedByAnotherProgram) {
    // A place no other test uses, so that the warp really moves the pointer.
    ASSERT_TRUE(SetCursorPos(120, 70));
    drainMessages();
    POINT at{};
    ASSERT_TRUE(GetCursorPos(&at));  // SDL's global position is cached from here on
    EXPECT_EQ(at.x, 120);
    EXPECT_EQ(at.y, 70);
    ASSERT_EQ(std::system("xdotool mousemove 250 180"), 0);
    const auto end = Clock::now() + kDeadline;
    do {
        drainMessages();
        GetCursorPos(&at);
    } while ((at.x != 250 || at.y != 180) && Clock::now() < end);
    EXPECT_EQ(at.x, 250);
    EXPECT_EQ(at.y, 180);
    RECT rect{};
    GetWindowRect(w->window, &rect);
    EXPECT_TRUE(at.x >= rect.left && at.x < rect.right && at.y >= rect.top && at.y < rect.bottom);
}

TEST_F(PlatformTest, ShowCursorKeepsWindowsDisplayCounter) {
    const struct {
        BOOL show;
        int count;
    } steps[] = {{FALSE, -1}, {FALSE, -2}, {TRUE, -1}, {TRUE, 0}, {TRUE, 1}, {FALSE, 0}};
    for (const auto& s : steps) {
        EXPECT_EQ(ShowCursor(s.show), s.count);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), s.count >= 0 ? SDL_ENABLE : SDL_DISABLE) << s.count;
    }
}

// Display modes

bool listedModes(std::vector<DEVMODEA>* modes) {
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode{};
        mode.dmSize = 148;
        if (!EnumDisplaySettingsA(nullptr, i, &mode)) return !modes->empty();
        modes->push_back(mode);
    }
}

TEST_F(PlatformTest, ModesAndDesktopDepthCountTheSameWay) {
    std::vector<DEVMODEA> modes;
    ASSERT_TRUE(listedModes(&modes));
    DEVMODEA current{};
    current.dmSize = 148;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    HDC desktop = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetDeviceCaps(desktop, BITSPIXEL), 32);  // Xvfb's 24-bit visual has 4-byte pixels
    EXPECT_EQ(current.dmBitsPerPel, static_cast<DWORD>(GetDeviceCaps(desktop, BITSPIXEL)));
    EXPECT_EQ(current.dmPelsWidth, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(current.dmPelsHeight, static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(current.dmPelsWidth, 1024u);
    EXPECT_EQ(current.dmPelsHeight, 768u);
    EXPECT_EQ(ReleaseDC(GetDesktopWindow(), desktop), 1);
    bool listed = false;
    for (const DEVMODEA& m : modes) {
        listed |= m.dmPelsWidth == current.dmPelsWidth && m.dmPelsHeight == current.dmPelsHeight &&
                  m.dmBitsPerPel == current.dmBitsPerPel &&
                  m.dmDisplayFrequency == current.dmDisplayFrequency;
        EXPECT_EQ(m.dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL),
                  DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL);
    }
    EXPECT_TRUE(listed) << "the current mode is not in the list";
    DEVMODEA beyond{};
    EXPECT_FALSE(EnumDisplaySettingsA(nullptr, static_cast<DWORD>(modes.size()), &beyond));
    EXPECT_FALSE(EnumDisplaySettingsA("\\\\.\\DISPLAY9", 0, &beyond));
}

TEST_F(PlatformTest, ModeTestMatchesExactlyAndChangesNothing) {
    std::vector<DEVMODEA> modes;
    ASSERT_TRUE(listedModes(&modes));
    for (DEVMODEA m : modes) EXPECT_EQ(ChangeDisplaySettingsA(&m, CDS_TEST), DISP_CHANGE_SUCCESSFUL);

    const DEVMODEA base = modes.front();
    const struct {
        const char* what;
        void (*edit)(DEVMODEA*);
        LONG result;
    } cases[] = {
        {"as listed", [](DEVMODEA*) {}, DISP_CHANGE_SUCCESSFUL},
        {"wider", [](DEVMODEA* m) { m->dmPelsWidth += 8; }, DISP_CHANGE_BADMODE},
        {"taller", [](DEVMODEA* m) { m->dmPelsHeight += 8; }, DISP_CHANGE_BADMODE},
        {"16-bit", [](DEVMODEA* m) { m->dmBitsPerPel = 16; }, DISP_CHANGE_BADMODE},
        {"24-bit", [](DEVMODEA* m) { m->dmBitsPerPel = 24; }, DISP_CHANGE_BADMODE},
        {"other rate", [](DEVMODEA* m) { m->dmDisplayFrequency += 1; }, DISP_CHANGE_BADMODE},
        {"other rate, not named",
         [](DEVMODEA* m) {
             m->dmFields &= ~DM_DISPLAYFREQUENCY;
             m->dmDisplayFrequency += 1;
         },
         DISP_CHANGE_BADMODE},
        {"no rate",
         [](DEVMODEA* m) {
             m->dmFields &= ~DM_DISPLAYFREQUENCY;
             m->dmDisplayFrequency = 0;
         },
         DISP_CHANGE_SUCCESSFUL},
        {"size and depth only",
         [](DEVMODEA* m) {
             const DEVMODEA listed = *m;
             *m = DEVMODEA{};
             m->dmSize = 148;
             m->dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
             m->dmPelsWidth = listed.dmPelsWidth;
             m->dmPelsHeight = listed.dmPelsHeight;
             m->dmBitsPerPel = listed.dmBitsPerPel;
         },
         DISP_CHANGE_SUCCESSFUL},
    };
    for (const auto& c : cases) {
        DEVMODEA m = base;
        c.edit(&m);
        EXPECT_EQ(ChangeDisplaySettingsA(&m, CDS_TEST), c.result) << c.what;
    }

    drainMessages();
    RECT rect{};
    GetWindowRect(w->window, &rect);
    EXPECT_PRED2(sameRect, rect, kPlace) << "a test went full-screen: " << describe(rect);
    EXPECT_PRED1(serverPlaces, kPlace);
}

TEST_F(PlatformTest, FullScreenChangeCoversTheScreenAndRestoreUndoesIt) {
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);  // nothing to undo
    DEVMODEA mode{};
    mode.dmSize = 148;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    const RECT screen = {0, 0, static_cast<LONG>(mode.dmPelsWidth),
                         static_cast<LONG>(mode.dmPelsHeight)};
    RECT rect = rectAfterPumping(w->window, screen);
    EXPECT_PRED2(sameRect, rect, screen) << describe(rect);
    EXPECT_PRED1(serverPlaces, screen);
    // While full-screen the record still moves, and applies on leaving.
    EXPECT_TRUE(MoveWindow(w->window, kPlace.left, kPlace.top, kPlace.right - kPlace.left,
                           kPlace.bottom - kPlace.top, FALSE));
    EXPECT_PRED1(serverPlaces, screen);

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    rect = rectAfterPumping(w->window, kPlace);
    EXPECT_PRED2(sameRect, rect, kPlace) << describe(rect);
    EXPECT_PRED1(serverPlaces, kPlace);

    DEVMODEA missing = mode;
    missing.dmPelsWidth = 1000;
    EXPECT_EQ(ChangeDisplaySettingsA(&missing, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_PRED1(serverPlaces, kPlace);
}

// Font lists

struct GlyphDraw {
    int advance;
    int lit;  // pixels drawn
    int bottom, top;  // lowest and highest lit rows
    int bottomRowLit, topRowLit;
};

// Draws one list at (20, 100) in window pixels and reads back what it did.
GlyphDraw drawGlyph(const TestWindow& w, GLuint list) {
    RECT rect{};
    GetWindowRect(w.window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glRasterPos2i(20, 100);
    glCallList(list);
    GLfloat position[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    std::vector<GLubyte> pixels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    GlyphDraw d{static_cast<int>(position[0] + 0.5f) - 20, 0, height, -1, 0, 0};
    std::vector<int> rowLit(static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[(static_cast<std::size_t>(y) * width + x) * 3] > 128) {
                ++d.lit;
                ++rowLit[static_cast<std::size_t>(y)];
                d.bottom = std::min(d.bottom, y);
                d.top = std::max(d.top, y);
            }
    if (d.lit) {
        d.bottomRowLit = rowLit[static_cast<std::size_t>(d.bottom)];
        d.topRowLit = rowLit[static_cast<std::size_t>(d.top)];
    }
    return d;
}

TEST_F(PlatformTest, FontListsDrawGlyphsOnTheBaselineAndAdvance) {
    const GLuint base = glGenLists(256);
    ASSERT_NE(base, 0u);
    EXPECT_EQ(SelectObject(w->dc, GetStockObject(SYSTEM_FONT)), GetStockObject(SYSTEM_FONT));
    ASSERT_TRUE(wglUseFontBitmapsA(w->dc, 0, 256, base));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const struct {
        unsigned code;
        bool advances;
        bool draws;
    } cases[] = {
        {'A', true, true},   {'L', true, true},    {'g', true, true},   {' ', true, false},
        {0x80, true, true},  {0xE9, true, true},   {0x9F, true, true},  {0xA0, true, false},
        {0, false, false},   {0x1F, false, false}, {0x7F, false, false}, {0x81, false, false},
        {0x8D, false, false}, {0x90, false, false},
    };
    for (const auto& c : cases) {
        const GlyphDraw d = drawGlyph(*w, base + c.code);
        EXPECT_EQ(d.advance > 0, c.advances) << "code " << c.code << " advance " << d.advance;
        EXPECT_EQ(d.lit > 0, c.draws) << "code " << c.code;
        if (!c.advances) {
            EXPECT_EQ(d.advance, 0) << "code " << c.code;
        }
    }

    // Rows bottom-up: 'L' stands on the baseline with its foot at the bottom.
    const GlyphDraw l = drawGlyph(*w, base + 'L');
    EXPECT_EQ(l.bottom, 100);
    EXPECT_GT(l.bottomRowLit, l.topRowLit);
    EXPECT_GE(l.top - l.bottom + 1, 9);  // a 16-pixel cell has caps about 11 high
    EXPECT_LE(l.top - l.bottom + 1, 14);
    EXPECT_LT(drawGlyph(*w, base + 'g').bottom, 100);  // a descender goes below it
    EXPECT_GT(drawGlyph(*w, base + 'W').advance, drawGlyph(*w, base + 'i').advance);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Any DC starts with the system font selected, the desktop's too.
    EXPECT_TRUE(wglUseFontBitmapsA(GetDC(GetDesktopWindow()), 'A', 1, base + 'A'));
    EXPECT_GT(drawGlyph(*w, base + 'A').lit, 0);
    glDeleteLists(base, 256);
}

// Time and dialogue

TEST_F(PlatformTest, CounterRunsInNanoseconds) {
    LARGE_INTEGER frequency{}, before{}, after{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_GE(after.QuadPart - before.QuadPart, 5000000);
    EXPECT_LT(after.QuadPart - before.QuadPart, 60LL * 1000000000);
}

TEST_F(PlatformTest, MessageBoxWritesToStandardErrorAndReturnsInAutomatedRuns) {
    setenv("CI", "1", 1);  // never a dialog here, even when started from a terminal
    testing::internal::CaptureStderr();
    const int answer =
        MessageBoxA(nullptr, "Failed To Register The Window Class.", "Error", MB_OK | MB_ICONERROR);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(written, "Error: Failed To Register The Window Class.\n");
}

TEST_F(PlatformTest, IconsAndStockObjects) {
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(1)), nullptr);  // no resources on Linux
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_NE(GetStockObject(SYSTEM_FONT), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetStockObject(12345), nullptr);
    EXPECT_EQ(SelectObject(w->dc, GetStockObject(BLACK_BRUSH)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(w->dc, GetStockObject(WHITE_BRUSH)), GetStockObject(BLACK_BRUSH));
}
}  // namespace

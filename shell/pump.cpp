// Application callbacks, the message pump and the frame timer.
#include "shell/pump.h"

#include <chrono>

#include "shell/window.h"

namespace {
constexpr std::int64_t kSteadyClockRate = 1000000000;  // nanoseconds per second
constexpr double kFpsWindowSeconds = 0.25;

ShellCallbacks s_callbacks = {nullptr, nullptr};
bool s_useSteadyClock = true;
double s_fpsElapsed = 0.0;
std::uint32_t s_fpsFrames = 0;

std::int64_t readCounter() {
    if (s_useSteadyClock) {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    }
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}
}  // namespace

std::int64_t g_perfFrequency = kSteadyClockRate;
std::int64_t g_lastCounter = 0;
double g_frameTime = 0.0;
double g_fps = 0.0;

void shellInstallDefaultCallbacks() {
    s_callbacks.onFrame = defaultOnFrame;
    s_callbacks.onMessage = defaultOnMessage;
}

void shellSetCallbacks(const ShellCallbacks* callbacks) {
    if (!callbacks) return;
    s_callbacks.onMessage = callbacks->onMessage ? callbacks->onMessage : defaultOnMessage;
    s_callbacks.onFrame = callbacks->onFrame ? callbacks->onFrame : defaultOnFrame;
}

LRESULT CALLBACK shellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // WM_CLOSE skips the default handling, which would destroy the window.
    if (message == WM_CLOSE)
        PostQuitMessage(1);
    else
        DefWindowProcA(window, message, wParam, lParam);
    // Messages can arrive before any pair is installed only if something other than
    // shellOpenWindow created a window of this class; the defaults answer them then.
    WNDPROC onMessage = s_callbacks.onMessage ? s_callbacks.onMessage : defaultOnMessage;
    return onMessage(window, message, wParam, lParam);
}

LRESULT CALLBACK defaultOnMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) shellRequestClose();
    return 1;
}

void defaultOnFrame() {}

void shellRequestClose() { SendMessageA(g_window, WM_CLOSE, 0, 0); }

void shellRun() {
    glFinish();
    g_lastCounter = readCounter();
    g_frameTime = 0.0;
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            (s_callbacks.onFrame ? s_callbacks.onFrame : defaultOnFrame)();
        }
    }
}

void shellTimerSampleFrequency() {
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        s_useSteadyClock = false;
        g_perfFrequency = frequency.QuadPart;
    } else {
        s_useSteadyClock = true;
        g_perfFrequency = kSteadyClockRate;
    }
}

void shellTimerTick() {
    std::int64_t now = readCounter();
    // Wrapping subtraction: a counter that jumps by more than 2^63 must not overflow.
    auto delta = static_cast<std::int64_t>(static_cast<std::uint64_t>(now) -
                                           static_cast<std::uint64_t>(g_lastCounter));
    g_lastCounter = now;
    g_frameTime = g_perfFrequency > 0
                      ? static_cast<double>(delta) / static_cast<double>(g_perfFrequency)
                      : 0.0;

    std::uint32_t frames = s_fpsFrames + 1;
    double sum = s_fpsElapsed + g_frameTime;
    if (!(sum >= kFpsWindowSeconds)) {
        s_fpsElapsed = sum;
        s_fpsFrames = frames;
    } else {
        g_fps = static_cast<double>(frames) / sum;
        s_fpsFrames = 0;
        s_fpsElapsed = 0.0;
    }
}

// Application callbacks, the message pump and the frame timer.
#pragma once

#include <cstdint>

#include "shell/platform/platform.h"

struct ShellCallbacks {
    WNDPROC onMessage;
    void (*onFrame)();
};

// Ticks per second of the counter that the frame timer reads: the performance
// counter's frequency, or 1e9 when the timer has fallen back to std::chrono's
// steady clock (see shellTimerSampleFrequency). Never 0 or negative.
extern std::int64_t g_perfFrequency;
extern std::int64_t g_lastCounter;
extern double g_frameTime;  // seconds between the last two ticks
extern double g_fps;        // frames per second over the last averaging window

// Copies onMessage, then onFrame, into the current pair. A null field installs the
// matching default instead, so the pair is never null; a null record changes nothing.
void shellSetCallbacks(const ShellCallbacks* callbacks);
// Pumps messages until WM_QUIT, calling onFrame whenever the queue is empty.
void shellRun();
// Sends WM_CLOSE to g_window; the window procedure answers by posting WM_QUIT.
void shellRequestClose();
// Measures the frame since the previous tick into g_frameTime, and closes the
// frame-rate averaging window (g_fps) once it holds a quarter of a second.
void shellTimerTick();
// Picks the frame timer's clock; shellOpenWindow calls it. When
// QueryPerformanceFrequency fails or reports a rate that is not positive, the
// timer reads std::chrono::steady_clock in nanoseconds (g_perfFrequency 1e9)
// instead of the performance counter. Until the first call the timer uses that
// steady clock too, so a tick is never divided by a zero rate.
void shellTimerSampleFrequency();

LRESULT CALLBACK shellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK defaultOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void defaultOnFrame();
// Installs the default pair; shellOpenWindow calls it before registering the class.
void shellInstallDefaultCallbacks();

// Application callbacks, the message pump and the frame timer.
#pragma once

#include <cstdint>

#include "shell/platform/platform.h"

struct ShellCallbacks {
    WNDPROC onMessage;
    void (*onFrame)();
};

extern std::int64_t g_perfFrequency;
extern std::int64_t g_lastCounter;
extern double g_frameTime;  // seconds between the last two ticks
extern double g_fps;        // frames per second over the last averaging window

void shellSetCallbacks(const ShellCallbacks* callbacks);
void shellRun();
void shellRequestClose();
void shellTimerTick();

LRESULT CALLBACK shellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK defaultOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void defaultOnFrame();
// Installs the default pair; shellOpenWindow calls it before registering the class.
void shellInstallDefaultCallbacks();

// The shell's one window: display mode, pixel format and GL context.
#pragma once

#include "shell/platform/platform.h"

extern HWND g_window;
extern HDC g_deviceContext;
extern HGLRC g_glContext;

// 1 when the GL context is current, 0 on failure.
int shellOpenWindow(const char* title, int iconId);
// 1 when everything was released (or nothing was open), 0 when a release failed.
int shellCloseWindow();
int shellSetPixelFormat();

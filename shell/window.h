// The shell's one window: display mode, pixel format and GL context.
#pragma once

#include "shell/platform/platform.h"

extern HWND g_window;
extern HDC g_deviceContext;
extern HGLRC g_glContext;

// Opens the window described by g_settings and makes a GL context current on it;
// `title` is both the class name and the caption, `iconId` a resource id (0: none).
// 1 when the context is current, 0 on failure: the class cannot be registered (a
// message box says so), the window or its device context cannot be had, or the
// context cannot be created or made current. Whatever was made before a failure
// stays for shellCloseWindow to release.
int shellOpenWindow(const char* title, int iconId);
// Restores the desktop's display mode (when fullscreen is set, or whenever the open
// changed the mode), then releases the GL context and the device context that
// exist. 1 when everything was released or nothing was open, 0 when detaching or
// deleting the context failed (the handles are then left as they are). Safe to call
// after a failed open and more than once.
int shellCloseWindow();
// Requests and sets the pixel format of g_deviceContext from g_settings; 1 on
// success, 0 when no format was found or it could not be set.
int shellSetPixelFormat();

// The Linux platform layer while a window is still being made, in a process of its
// own (the layer has one window per process) under a private Xvfb: what arrives or
// is asked for before the SDL window exists must not be lost, and what needs a
// window or a context fails cleanly until there is one.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "shell/platform/platform.h"

namespace {
LRESULT CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return 1; }

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT rectAfterPumping(HWND window, const RECT& wanted) {
    RECT rect{};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        GetWindowRect(window, &rect);
        if (sameRect(rect, wanted) || std::chrono::steady_clock::now() > end) return rect;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// One window's start-up in steps, each checked as it happens.
TEST(PlatformStartup, WhatComesBeforeTheWindowIsKeptUntilItExists) {
    // A signal during start-up: nothing to close yet, so nothing in the queue.
    std::raise(SIGINT);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // The cursor is hidden before there is any display connection.
    EXPECT_EQ(ShowCursor(FALSE), -1);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = quietProc;
    windowClass.lpszClassName = "startup test";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND window = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOPMOST, "startup test", "startup test",
                                  WS_POPUP | WS_VISIBLE, 40, 30, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);

    // The record exists: the signal now closes it, once.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    // No SDL window and no context yet.
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
    EXPECT_FALSE(wglUseFontBitmapsA(dc, 0, 256, 1));
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_PRED2(sameRect, rect, (RECT{40, 30, 240, 130}));

    // A full-screen change asked for now is applied when the window appears.
    DEVMODEA mode{};
    mode.dmSize = 148;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);

    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.cColorBits = 32;
    request.cDepthBits = 24;
    const int format = ChoosePixelFormat(dc, &request);
    ASSERT_GT(format, 0);
    EXPECT_FALSE(SetPixelFormat(GetDC(GetDesktopWindow()), format, &request));
    ASSERT_TRUE(SetPixelFormat(dc, format, &request));
    // The window that ChoosePixelFormat tried the format on is the window itself:
    // one SDL window, the first made, none thrown away before it.
    int sdlWindows = 0;
    Uint32 firstId = 0;
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_GetWindowFromID(id)) {
            ++sdlWindows;
            if (!firstId) firstId = id;
        }
    EXPECT_EQ(sdlWindows, 1);
    EXPECT_EQ(firstId, 1u);
    const RECT screen = {0, 0, static_cast<LONG>(mode.dmPelsWidth),
                         static_cast<LONG>(mode.dmPelsHeight)};
    rect = rectAfterPumping(window, screen);
    EXPECT_PRED2(sameRect, rect, screen);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);  // the count of -1 reached the window

    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    EXPECT_NE(glGetString(GL_VERSION), nullptr);

    // Restoring leaves full-screen and puts the window back where its record says.
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    rect = rectAfterPumping(window, RECT{40, 30, 240, 130});
    EXPECT_PRED2(sameRect, rect, (RECT{40, 30, 240, 130}));

    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
}
}  // namespace

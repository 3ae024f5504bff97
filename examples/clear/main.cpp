// clear: a 640x480 window that clears to a colour every frame and ends on Escape.
#include <shell/app.h>
#include <shell/pump.h>
#include <shell/window.h>

static LRESULT CALLBACK onMessage(HWND, UINT message, WPARAM key, LPARAM) {
    if (message == WM_KEYDOWN && key == VK_ESCAPE) shellRequestClose();
    return 0;
}

static void onFrame() {
    glClearColor(0.2f, 0.4f, 0.8f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(g_deviceContext);
}

int appMain() {
    g_settings.fullscreen = false;  // a window on the desktop, no mode change
    g_settings.width = 640;
    g_settings.height = 480;
    int status = 1;
    if (shellOpenWindow("clear", 0)) {
        const ShellCallbacks callbacks = {onMessage, onFrame};
        shellSetCallbacks(&callbacks);
        shellRun();
        status = 0;
    }
    shellCloseWindow();
    return status;
}

// A Windows program, run under Wine by the Linux test suite, that opens the shell's
// window as the demo does and checks that the GL context it gets really renders:
// a cleared back buffer reads back in the clear colour, and the context is released
// cleanly. Prints the renderer and what it found; exit status 0 only when all held.
#include <cstdio>

#include "shell/app.h"
#include "shell/window.h"

namespace {
int fail(const char* what) {
    std::printf("failed: %s\n", what);
    shellCloseWindow();
    return 1;
}
}  // namespace

int appMain() {
    if (!shellOpenWindow("test", 0)) return fail("shellOpenWindow");

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (!renderer || !version) return fail("glGetString");
    std::printf("renderer: %s\nversion: %s\nwindow: %ux%u, %u bits\n", renderer, version,
                g_settings.width, g_settings.height, g_settings.bitsPerPixel);

    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] != static_cast<GLint>(g_settings.width) ||
        viewport[3] != static_cast<GLint>(g_settings.height))
        return fail("viewport does not cover the window");

    // 0.25, 0.5 and 0.75 in 8-bit channels: 64, 128 and 191 (a rounding step either
    // way is the driver's business).
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char pixel[4] = {0, 0, 0, 0};
    const GLint x = viewport[2] / 2;
    const GLint y = viewport[3] / 2;
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    std::printf("read back: %u %u %u\n", pixel[0], pixel[1], pixel[2]);
    const int want[3] = {64, 128, 191};
    for (int c = 0; c < 3; ++c) {
        const int d = pixel[c] - want[c];
        if (d < -1 || d > 1) return fail("the cleared colour did not read back");
    }
    if (glGetError() != GL_NO_ERROR) return fail("GL reported an error");
    if (!SwapBuffers(g_deviceContext)) return fail("SwapBuffers");

    if (!shellCloseWindow()) {
        std::printf("failed: shellCloseWindow\n");
        return 1;
    }
    std::printf("ok\n");
    return 0;
}

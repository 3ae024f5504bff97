// The demo's main function: opens the full-screen window, builds the planet and the
// font, runs the shell's pump until Escape, and releases what it made.
#include "demo/frame.h"
#include "demo/input.h"
#include "planet/mesh.h"
#include "shell/app.h"
#include "shell/pump.h"
#include "shell/window.h"

namespace {
constexpr std::uint32_t kFontLists = 256;  // one per character code
const ShellCallbacks kDemoCallbacks = {demoOnMessage, demoFrame};

// What shellOpenWindow left behind tells how far it got.
const char* openFailure() {
    if (!g_window) return "Can't open the window: the window class or the window could not be made";
    if (!g_deviceContext) return "Can't open the window: it has no device context";
    if (!g_glContext) return "Can't open the window: no GL context could be created";
    return "Can't open the window: the GL context could not be made current";
}
}  // namespace

int appMain() {
    g_settings.displayFrequency = 100;
    g_settings.swapInterval = 0;  // swaps do not wait for the display
    if (!shellOpenWindow("test", 0)) {
        // Without a current context there is nothing to build or draw.
        shellLog(logError, openFailure());
        shellCloseWindow();
        return 1;
    }

    g_planetList = buildPlanetList();
    glEnable(GL_LIGHT0);  // positioned by every frame
    g_camPos.z = 150.0f;  // above the middle planet, looking down
    // The font lists take their glyphs from the font selected into the device context.
    SelectObject(g_deviceContext, GetStockObject(SYSTEM_FONT));
    g_fontBase = glGenLists(static_cast<GLsizei>(kFontLists));
    wglUseFontBitmapsA(g_deviceContext, 0, kFontLists, g_fontBase);

    shellSetCallbacks(&kDemoCallbacks);
    shellRun();

    glDeleteLists(g_planetList, 1);
    glDeleteLists(g_fontBase, static_cast<GLsizei>(kFontLists));
    if (!shellCloseWindow()) shellLog(logWarning, "Can't release the GL context");
    return 0;
}

// The shell asking for a 1024x768 full-screen mode with a 100 Hz wish (or the rate in
// SHELL_MODE_WISH: a test program's knob, the product reads no environment); prints the
// mode it applied ("mode WxHxB@F"), then runs with the default callbacks until
// Escape or a close request.
#include <cstdio>
#include <cstdlib>

#include "shell/app.h"
#include "shell/pump.h"
#include "shell/window.h"

int appMain() {
    g_settings.width = 1024;
    g_settings.height = 768;
    const char* wish = std::getenv("SHELL_MODE_WISH");
    g_settings.displayFrequency = wish ? static_cast<unsigned>(std::strtoul(wish, nullptr, 10)) : 100;
    if (!shellOpenWindow("shell mode", 0)) {
        shellLog(logError, "the shell's window did not open");
        shellCloseWindow();
        return 1;
    }
    std::printf("mode %ux%ux%u@%u\n", g_settings.width, g_settings.height,
                g_settings.bitsPerPixel, g_settings.displayFrequency);
    std::fflush(stdout);
    shellRun();
    shellCloseWindow();
    return 0;
}

// The shell on its own: a window with the default callbacks (nothing drawn, Escape
// closes), for the real-run tests of the shell and its platform layer.
#include "shell/app.h"
#include "shell/pump.h"
#include "shell/window.h"

int appMain() {
    if (!shellOpenWindow("shell only", 0)) {
        shellLog(logError, "the shell's window did not open");
        shellCloseWindow();
        return 1;
    }
    shellRun();
    shellCloseWindow();
    return 0;
}

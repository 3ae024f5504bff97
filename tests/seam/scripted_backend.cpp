// The contract's set-up on the scripted stand-in: a display scripted like the Xvfb
// that the Linux run gets (1024x768 at 24 bits: one mode, of the screen's size, with
// 4-byte pixels and no refresh rate), and keys posted to the queue as the system
// would post them.
#include "tests/seam/seam_backend.h"
#include "tests/support/scripted_platform.h"

void seamPrepare() {
    scriptedReset();
    const ScriptedMode screen = {1024, 768, 32, 0, DISP_CHANGE_SUCCESSFUL, 0};
    g_scripted.screenWidth = 1024;
    g_scripted.screenHeight = 768;
    g_scripted.desktopBits = 32;
    g_scripted.modes = {screen};
    g_scripted.desktopMode = screen;
    g_scripted.currentMode = screen;
}

void seamPressKey(HWND window, UINT message, int letter) {
    scriptedPostMessage(window, message, static_cast<WPARAM>(letter), 0);
}

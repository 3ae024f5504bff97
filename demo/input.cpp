// The demo's keyboard state.
#include "demo/input.h"

#include "shell/pump.h"

unsigned char g_keys[kKeyCount] = {};

bool demoApplyKeyMessage(unsigned char* keys, UINT message, WPARAM wParam) {
    if (message != WM_KEYDOWN && message != WM_KEYUP) return false;
    // The system's codes are below 256; a larger value comes from a message that some
    // other program made up, and has no entry.
    if (wParam >= static_cast<WPARAM>(kKeyCount)) return false;
    keys[wParam] = message == WM_KEYDOWN ? 1 : 0;
    return true;
}

LRESULT CALLBACK demoOnMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (demoApplyKeyMessage(g_keys, message, wParam) && message == WM_KEYDOWN &&
        wParam == VK_ESCAPE)
        shellRequestClose();
    return 1;
}

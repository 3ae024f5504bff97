// Keys: SDL's key events as Windows' key messages, and the default window
// procedure's rule for the system keys. Pure rules: no display, no SDL calls (only
// SDL's scancode and modifier values), called directly by the unit tests.
//
// Provides:
// - virtualKeyOf: the Windows virtual-key code of a scancode (layout-independent,
//   as Windows' codes for the keys a program moves with are). Both Ctrl keys are
//   VK_CONTROL, both Shift keys VK_SHIFT, both Alt keys VK_MENU. The keypad gives
//   VK_NUMPAD0-9 and VK_DECIMAL while Num Lock is on, and the navigation keys
//   (VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR, VK_RIGHT, VK_HOME,
//   VK_UP, VK_PRIOR, VK_DELETE) while it is off, as on Windows.
// - keyMessageOf: the message, wParam and lParam of one key event. As on Windows, a
//   key while Alt is held without Ctrl, Alt itself and F10 come as WM_SYSKEYDOWN and
//   WM_SYSKEYUP. lParam: repeat count 1, bit 24 for the extended keys (the keypad's
//   own navigation keys are not extended; the separate block's are), bit 29 when Alt
//   is held (system keys), bit 30 for a repeat and every key-up, bit 31 on key-up;
//   bits 16-23 (the OEM scan code) stay 0.
// - systemCommandOf: what the default window procedure makes of a message: Alt+F4
//   (WM_SYSKEYDOWN, VK_F4, lParam bit 29) asks for SC_CLOSE; nothing else does here.
//
// Leaves out: Shift does not turn the Num Lock keypad into navigation keys for a
// moment (Windows does, with made-up Shift messages); keys without a virtual-key
// code here make no message.
#pragma once

#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "shell/platform/platform.h"

namespace sdlLayer {

struct KeyEvent {
    SDL_Scancode scancode;
    bool up;
    bool repeat;
    Uint16 modifiers;  // SDL's KMOD_ flags at the event
};

struct KeyMessage {
    UINT message;
    WPARAM virtualKey;
    LPARAM lParam;
};

int virtualKeyOf(SDL_Scancode code, bool numLock);
bool isExtendedKey(SDL_Scancode code);

// False for a key that has no virtual-key code here.
bool keyMessageOf(const KeyEvent& key, KeyMessage* out);

// The WM_SYSCOMMAND command (SC_CLOSE) that the default processing of this message
// asks for, or 0.
WPARAM systemCommandOf(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace sdlLayer

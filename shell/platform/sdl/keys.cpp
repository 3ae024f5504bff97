#include "shell/platform/sdl/keys.h"

namespace sdlLayer {
namespace {
constexpr LPARAM kExtendedBit = LPARAM{1} << 24;
constexpr LPARAM kContextBit = LPARAM{1} << 29;
constexpr LPARAM kPreviousStateBit = LPARAM{1} << 30;
constexpr LPARAM kTransitionBit = LPARAM{1} << 31;

// The keypad with Num Lock off, from 1 to 9 and then 0: the navigation key printed
// under each digit.
constexpr int kKeypadNavigation[10] = {VK_END,  VK_DOWN, VK_NEXT,  VK_LEFT, VK_CLEAR,
                                       VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR, VK_INSERT};
}  // namespace

int virtualKeyOf(SDL_Scancode code, bool numLock) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12)
        return VK_F1 + (code - SDL_SCANCODE_F1);
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_0) {
        const int digit = code - SDL_SCANCODE_KP_1;  // 0 for KP_1 ... 9 for KP_0
        if (!numLock) return kKeypadNavigation[digit];
        return code == SDL_SCANCODE_KP_0 ? VK_NUMPAD0 : VK_NUMPAD0 + 1 + digit;
    }
    switch (code) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_RETURN: return VK_RETURN;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
        case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
        case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
        case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
        case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
        case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
        case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
        case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
        case SDL_SCANCODE_GRAVE: return VK_OEM_3;
        case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
        case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return VK_OEM_2;
        case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
        case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
        case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
        case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
        case SDL_SCANCODE_KP_PERIOD: return numLock ? VK_DECIMAL : VK_DELETE;
        case SDL_SCANCODE_KP_COMMA: return VK_SEPARATOR;
        case SDL_SCANCODE_APPLICATION: return VK_APPS;
        case SDL_SCANCODE_LCTRL: return VK_CONTROL;
        case SDL_SCANCODE_RCTRL: return VK_CONTROL;
        case SDL_SCANCODE_LSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_LALT: return VK_MENU;
        case SDL_SCANCODE_RALT: return VK_MENU;
        case SDL_SCANCODE_LGUI: return VK_LWIN;
        case SDL_SCANCODE_RGUI: return VK_RWIN;
        default: return 0;
    }
}

bool isExtendedKey(SDL_Scancode code) {
    switch (code) {
        case SDL_SCANCODE_RCTRL: case SDL_SCANCODE_RALT: case SDL_SCANCODE_LGUI:
        case SDL_SCANCODE_RGUI: case SDL_SCANCODE_APPLICATION: case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_DELETE: case SDL_SCANCODE_HOME: case SDL_SCANCODE_END:
        case SDL_SCANCODE_PAGEUP: case SDL_SCANCODE_PAGEDOWN: case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_RIGHT: case SDL_SCANCODE_UP: case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_KP_DIVIDE: case SDL_SCANCODE_KP_ENTER: case SDL_SCANCODE_NUMLOCKCLEAR:
        case SDL_SCANCODE_PRINTSCREEN:
            return true;
        default:
            return false;
    }
}

bool keyMessageOf(const KeyEvent& key, KeyMessage* out) {
    const int vk = virtualKeyOf(key.scancode, (key.modifiers & KMOD_NUM) != 0);
    if (vk == 0) return false;
    // SDL's modifiers at an Alt press do not include that Alt yet; Windows counts
    // the key itself as held.
    const bool altHeld = (key.modifiers & KMOD_ALT) != 0 || (vk == VK_MENU && !key.up);
    const bool ctrlHeld = (key.modifiers & KMOD_CTRL) != 0;
    const bool system = (altHeld || vk == VK_MENU || vk == VK_F10) && !ctrlHeld;
    LPARAM bits = 1;  // repeat count
    if (isExtendedKey(key.scancode)) bits |= kExtendedBit;
    if (system && altHeld) bits |= kContextBit;
    if (key.repeat || key.up) bits |= kPreviousStateBit;
    if (key.up) bits |= kTransitionBit;
    out->message = system ? (key.up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (key.up ? WM_KEYUP : WM_KEYDOWN);
    out->virtualKey = static_cast<WPARAM>(vk);
    // As a 32-bit value, bit 31 set: what Windows' LPARAM of a key-up holds.
    out->lParam = static_cast<LPARAM>(static_cast<DWORD>(bits));
    return true;
}

WPARAM systemCommandOf(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSKEYDOWN && wParam == VK_F4 && (lParam & kContextBit) != 0) return SC_CLOSE;
    return 0;
}

}  // namespace sdlLayer

// The key rules of the Linux layer: SDL key events to Windows' key messages, and
// the default window procedure's Alt+F4.
#include <gtest/gtest.h>

#include <cstdio>

#include "shell/platform/sdl/keys.h"

namespace {
using sdlLayer::KeyEvent;
using sdlLayer::KeyMessage;

std::string describe(const KeyMessage& m) {
    char text[64];
    std::snprintf(text, sizeof text, "{0x%04x, 0x%02lx, 0x%08lx}", m.message,
                  static_cast<unsigned long>(m.virtualKey), static_cast<unsigned long>(m.lParam));
    return text;
}

TEST(PlatformKeys, EventsBecomeWindowsKeyMessages) {
    const struct {
        const char* what;
        KeyEvent key;
        KeyMessage expected;
    } cases[] = {
        {"letter down", {SDL_SCANCODE_A, false, false, 0}, {WM_KEYDOWN, 'A', 0x00000001}},
        {"letter up", {SDL_SCANCODE_A, true, false, 0}, {WM_KEYUP, 'A', 0xC0000001}},
        {"digit", {SDL_SCANCODE_0, false, false, 0}, {WM_KEYDOWN, '0', 0x00000001}},
        {"arrow: extended", {SDL_SCANCODE_UP, false, false, 0}, {WM_KEYDOWN, VK_UP, 0x01000001}},
        {"arrow repeat", {SDL_SCANCODE_RIGHT, false, true, 0}, {WM_KEYDOWN, VK_RIGHT, 0x41000001}},
        {"arrow up", {SDL_SCANCODE_DOWN, true, false, 0}, {WM_KEYUP, VK_DOWN, 0xC1000001}},
        {"right Ctrl: extended", {SDL_SCANCODE_RCTRL, false, false, 0},
         {WM_KEYDOWN, VK_CONTROL, 0x01000001}},
        {"left Ctrl", {SDL_SCANCODE_LCTRL, false, false, 0}, {WM_KEYDOWN, VK_CONTROL, 0x00000001}},
        {"right Shift", {SDL_SCANCODE_RSHIFT, false, false, 0}, {WM_KEYDOWN, VK_SHIFT, 0x00000001}},
        // Alt's own press: SDL's modifiers do not hold it yet, Windows counts it.
        {"Alt down", {SDL_SCANCODE_LALT, false, false, 0}, {WM_SYSKEYDOWN, VK_MENU, 0x20000001}},
        {"Alt up", {SDL_SCANCODE_LALT, true, false, 0}, {WM_SYSKEYUP, VK_MENU, 0xC0000001}},
        {"right Alt: extended", {SDL_SCANCODE_RALT, false, false, 0},
         {WM_SYSKEYDOWN, VK_MENU, 0x21000001}},
        {"key with Alt", {SDL_SCANCODE_X, false, false, KMOD_LALT},
         {WM_SYSKEYDOWN, 'X', 0x20000001}},
        {"key up with Alt", {SDL_SCANCODE_X, true, false, KMOD_RALT},
         {WM_SYSKEYUP, 'X', 0xE0000001}},
        {"Ctrl keeps Alt keys ordinary", {SDL_SCANCODE_X, false, false, KMOD_LALT | KMOD_RCTRL},
         {WM_KEYDOWN, 'X', 0x00000001}},
        {"F10 alone is a system key", {SDL_SCANCODE_F10, false, false, 0},
         {WM_SYSKEYDOWN, VK_F10, 0x00000001}},
        {"F10 up", {SDL_SCANCODE_F10, true, false, 0}, {WM_SYSKEYUP, VK_F10, 0xC0000001}},
        {"Alt+F4", {SDL_SCANCODE_F4, false, false, KMOD_LALT}, {WM_SYSKEYDOWN, VK_F4, 0x20000001}},
        {"F5", {SDL_SCANCODE_F5, false, false, 0}, {WM_KEYDOWN, VK_F1 + 4, 0x00000001}},
        {"Escape", {SDL_SCANCODE_ESCAPE, false, false, 0}, {WM_KEYDOWN, VK_ESCAPE, 0x00000001}},
        {"keypad Enter: extended", {SDL_SCANCODE_KP_ENTER, false, false, KMOD_NUM},
         {WM_KEYDOWN, VK_RETURN, 0x01000001}},
        {"keypad 8, Num Lock on", {SDL_SCANCODE_KP_8, false, false, KMOD_NUM},
         {WM_KEYDOWN, VK_NUMPAD0 + 8, 0x00000001}},
        // The keypad's own navigation keys are not the extended ones.
        {"keypad 8, Num Lock off", {SDL_SCANCODE_KP_8, false, false, 0},
         {WM_KEYDOWN, VK_UP, 0x00000001}},
        {"keypad 2 up, Num Lock off", {SDL_SCANCODE_KP_2, true, false, 0},
         {WM_KEYUP, VK_DOWN, 0xC0000001}},
        {"keypad 4 with Alt, Num Lock off", {SDL_SCANCODE_KP_4, false, false, KMOD_LALT},
         {WM_SYSKEYDOWN, VK_LEFT, 0x20000001}},
    };
    for (const auto& c : cases) {
        KeyMessage got{};
        ASSERT_TRUE(sdlLayer::keyMessageOf(c.key, &got)) << c.what;
        EXPECT_EQ(describe(got), describe(c.expected)) << c.what;
    }
}

TEST(PlatformKeys, KeypadFollowsNumLock) {
    const struct {
        SDL_Scancode key;
        int numLockOn;
        int numLockOff;
    } cases[] = {
        {SDL_SCANCODE_KP_0, VK_NUMPAD0, VK_INSERT},     {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, VK_END},
        {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, VK_DOWN},   {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, VK_NEXT},
        {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, VK_LEFT},   {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, VK_CLEAR},
        {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, VK_RIGHT},  {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, VK_HOME},
        {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, VK_UP},     {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, VK_PRIOR},
        {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, VK_DELETE},
        // Keys that Num Lock leaves alone.
        {SDL_SCANCODE_KP_PLUS, VK_ADD, VK_ADD},         {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, VK_SUBTRACT},
        {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, VK_MULTIPLY},
        {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, VK_DIVIDE}, {SDL_SCANCODE_UP, VK_UP, VK_UP},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sdlLayer::virtualKeyOf(c.key, true), c.numLockOn) << "scancode " << c.key;
        EXPECT_EQ(sdlLayer::virtualKeyOf(c.key, false), c.numLockOff) << "scancode " << c.key;
        EXPECT_FALSE(sdlLayer::isExtendedKey(c.key) && c.key >= SDL_SCANCODE_KP_1 &&
                     c.key <= SDL_SCANCODE_KP_PERIOD)
            << "scancode " << c.key;
    }
}

TEST(PlatformKeys, KeysWithoutAVirtualKeyMakeNoMessage) {
    for (SDL_Scancode key : {SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_F13, SDL_SCANCODE_MUTE}) {
        KeyMessage got{};
        EXPECT_FALSE(sdlLayer::keyMessageOf(KeyEvent{key, false, false, 0}, &got)) << key;
    }
}

TEST(PlatformKeys, OnlyAltF4AsksTheDefaultProcessingToClose) {
    const struct {
        const char* what;
        UINT message;
        WPARAM key;
        LPARAM lParam;
        WPARAM command;
    } cases[] = {
        {"Alt+F4", WM_SYSKEYDOWN, VK_F4, 0x20000001, SC_CLOSE},
        {"Alt+F4 repeated", WM_SYSKEYDOWN, VK_F4, 0x60000001, SC_CLOSE},
        {"F4 as a system key without Alt (F10 held)", WM_SYSKEYDOWN, VK_F4, 0x00000001, 0},
        {"Alt+F4 released", WM_SYSKEYUP, VK_F4, 0xE0000001, 0},
        {"F4 with Ctrl and Alt", WM_KEYDOWN, VK_F4, 0x00000001, 0},
        {"Alt+F5", WM_SYSKEYDOWN, VK_F1 + 4, 0x20000001, 0},
        {"Alt+X", WM_SYSKEYDOWN, 'X', 0x20000001, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sdlLayer::systemCommandOf(c.message, c.key, c.lParam), c.command) << c.what;
}
}  // namespace

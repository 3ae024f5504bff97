// The key table and the demo's message callback.
#include <cstdint>
#include <vector>

#include "tests/demo/demo_test_support.h"

namespace {

using InputTest = DemoTest;
using Op = ScriptedOp;

struct KeyMessage {
    UINT message;
    WPARAM key;
};

struct KeyCase {
    const char* label;
    std::vector<KeyMessage> messages;
    std::vector<int> held;  // the entries that must be 1 afterwards; all others 0
};

const KeyCase kKeyCases[] = {
    {"pressed", {{WM_KEYDOWN, 'W'}}, {'W'}},
    {"pressed and released", {{WM_KEYDOWN, 'W'}, {WM_KEYUP, 'W'}}, {}},
    {"several held", {{WM_KEYDOWN, VK_UP}, {WM_KEYDOWN, 'D'}, {WM_KEYDOWN, VK_CONTROL}},
     {VK_UP, 'D', VK_CONTROL}},
    {"one of several released",
     {{WM_KEYDOWN, VK_UP}, {WM_KEYDOWN, 'D'}, {WM_KEYUP, VK_UP}},
     {'D'}},
    {"repeated key-down stays 1", {{WM_KEYDOWN, 'A'}, {WM_KEYDOWN, 'A'}, {WM_KEYDOWN, 'A'}}, {'A'}},
    {"released once after repeats", {{WM_KEYDOWN, 'A'}, {WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}}, {}},
    {"key-up without key-down", {{WM_KEYUP, 'S'}}, {}},
    {"lowest and highest codes", {{WM_KEYDOWN, 0}, {WM_KEYDOWN, 255}}, {0, 255}},
    {"system keys are not recorded", {{WM_SYSKEYDOWN, 'W'}, {WM_SYSKEYDOWN, VK_MENU}}, {}},
    {"system key-up does not release", {{WM_KEYDOWN, 'W'}, {WM_SYSKEYUP, 'W'}}, {'W'}},
    {"system key-down leaves a held key", {{WM_KEYDOWN, 'W'}, {WM_SYSKEYDOWN, 'W'}}, {'W'}},
    {"other messages leave the table", {{WM_KEYDOWN, 'W'}, {WM_CLOSE, 'W'}, {0, 'W'}}, {'W'}},
};

TEST_F(InputTest, KeyTableHoldsExactlyTheKeysThatAreDown) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.label);
        std::memset(g_keys, 0, sizeof g_keys);
        for (const KeyMessage& m : c.messages)
            EXPECT_EQ(demoOnMessage(nullptr, m.message, m.key, 0), 1);
        unsigned char expected[kKeyCount] = {};
        for (int key : c.held) expected[key] = 1;
        for (int key = 0; key < kKeyCount; ++key) EXPECT_EQ(g_keys[key], expected[key]) << key;
    }
}

TEST_F(InputTest, ResultIsOneForEveryMessage) {
    const KeyMessage messages[] = {
        {WM_KEYDOWN, 'W'}, {WM_KEYUP, 'W'},      {WM_KEYDOWN, 300},  {WM_SYSKEYDOWN, 'X'},
        {WM_SYSKEYUP, 'X'}, {WM_CLOSE, 0},        {WM_QUIT, 0},      {0, 0},
        {0x0200, 5},        {0xC000, 1},
    };
    for (const KeyMessage& m : messages)
        EXPECT_EQ(demoOnMessage(nullptr, m.message, m.key, 12345), 1) << std::hex << m.message;
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 0);  // none of them asks to close
}

// Key codes of 256 and more name no entry. The table below sits between two guard
// blocks, so a write past its end, or one that keeps only the code's low byte,
// shows up.
TEST_F(InputTest, OversizedKeyCodesTouchNothing) {
    struct Guarded {
        unsigned char before[kKeyCount];
        unsigned char keys[kKeyCount];
        unsigned char after[kKeyCount];
    } table;
    std::memset(&table, 0xA5, sizeof table);
    std::memset(table.keys, 0, sizeof table.keys);
    std::vector<WPARAM> codes = {256, 257, 256 + VK_ESCAPE, 256 + VK_UP, 511, 512, 0xFFFF};
    codes.push_back(~WPARAM{0});
    if (sizeof(WPARAM) > 4) codes.push_back(static_cast<WPARAM>(std::uint64_t{1} << 32 | VK_UP));
    for (WPARAM code : codes) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(demoApplyKeyMessage(table.keys, WM_KEYDOWN, code));
        EXPECT_FALSE(demoApplyKeyMessage(table.keys, WM_KEYUP, code));
    }
    for (int i = 0; i < kKeyCount; ++i) {
        EXPECT_EQ(table.before[i], 0xA5) << i;
        EXPECT_EQ(table.keys[i], 0) << i;
        EXPECT_EQ(table.after[i], 0xA5) << i;
    }
    // The callback too: neither an entry nor a close request for 256 + Escape.
    openWindow();
    for (WPARAM code : codes) EXPECT_EQ(demoOnMessage(g_window, WM_KEYDOWN, code, 0), 1);
    for (int i = 0; i < kKeyCount; ++i) EXPECT_EQ(g_keys[i], 0) << i;
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 0);
}

TEST_F(InputTest, ApplyingAKeyTouchesOnlyItsOwnEntry) {
    unsigned char keys[kKeyCount];
    for (int code = 0; code < kKeyCount; ++code) {
        std::memset(keys, 0, sizeof keys);
        EXPECT_TRUE(demoApplyKeyMessage(keys, WM_KEYDOWN, static_cast<WPARAM>(code)));
        for (int i = 0; i < kKeyCount; ++i) ASSERT_EQ(keys[i], i == code ? 1 : 0) << code;
        std::memset(keys, 1, sizeof keys);
        EXPECT_TRUE(demoApplyKeyMessage(keys, WM_KEYUP, static_cast<WPARAM>(code)));
        for (int i = 0; i < kKeyCount; ++i) ASSERT_EQ(keys[i], i == code ? 0 : 1) << code;
    }
}

// What g_keys[VK_ESCAPE] held when the close request came back into the callback.
int s_escapeAtClose = -1;

LRESULT CALLBACK watchClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) s_escapeAtClose = g_keys[VK_ESCAPE];
    return demoOnMessage(window, message, wParam, lParam);
}

TEST_F(InputTest, EscapeIsRecordedBeforeItAsksTheShellToClose) {
    openWindow();
    const ShellCallbacks watched = {watchClose, defaultOnFrame};
    shellSetCallbacks(&watched);
    s_escapeAtClose = -1;

    // As the shell's window procedure hands it on: the callback's own close request
    // comes back as WM_CLOSE, nested inside the key-down call.
    EXPECT_EQ(shellWindowProc(g_window, WM_KEYDOWN, VK_ESCAPE, 0), 1);
    EXPECT_EQ(s_escapeAtClose, 1);
    EXPECT_EQ(g_keys[VK_ESCAPE], 1);
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 1);
    const std::vector<ScriptedCall> quits = scriptedCalls(Op::PostQuitMessage);
    ASSERT_EQ(quits.size(), 1u);
    EXPECT_EQ(quits[0].arg[0], 1);
    EXPECT_TRUE(g_scripted.quitPosted);
    EXPECT_EQ(g_scripted.quitCode, 1);

    // Its key-up clears it like any other key, and asks nothing more.
    EXPECT_EQ(shellWindowProc(g_window, WM_KEYUP, VK_ESCAPE, 0), 1);
    EXPECT_EQ(g_keys[VK_ESCAPE], 0);
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 1);
}

TEST_F(InputTest, OnlyEscapeAsksToClose) {
    openWindow();
    for (int code = 0; code < kKeyCount; ++code) {
        if (code == VK_ESCAPE) continue;
        demoOnMessage(g_window, WM_KEYDOWN, static_cast<WPARAM>(code), 0);
    }
    demoOnMessage(g_window, WM_KEYUP, VK_ESCAPE, 0);
    demoOnMessage(g_window, WM_SYSKEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 0);
    demoOnMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(scriptedCount(Op::SendMessageA), 1);
}

}  // namespace

// The demo's keyboard state: which keys are held, kept from the window's messages.
#pragma once

#include "shell/platform/platform.h"

// One entry per virtual-key code: 1 while the key is held, 0 otherwise.
constexpr int kKeyCount = 256;
extern unsigned char g_keys[kKeyCount];

// Applies WM_KEYDOWN (entry to 1) and WM_KEYUP (entry to 0) to `keys`, a table of
// kKeyCount entries; any other message, and a key code of kKeyCount or more, leaves
// the table as it is. True when the message changed or set an entry.
bool demoApplyKeyMessage(unsigned char* keys, UINT message, WPARAM wParam);

// The demo's onMessage callback: keeps g_keys, and asks the shell to close the window
// when Escape goes down (its entry is set first). Returns 1 for every message.
LRESULT CALLBACK demoOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

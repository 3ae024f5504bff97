// What each backend's set-up gives the seam's contract test (seam_contract_test.cpp):
// scripted_backend.cpp for the scripted stand-in, linux_backend.cpp for the Linux
// layer. The test bodies are shared; only these differ.
#pragma once

#include "shell/platform/platform.h"

// Called once, before the contract's window is made: readies the backend so that
// CreateWindowExA can succeed.
void seamPrepare();

// Queues a key message (WM_KEYDOWN or WM_KEYUP, a letter 'A' to 'Z') for `window`
// the way the backend's input reaches its queue.
void seamPressKey(HWND window, UINT message, int letter);

// What the shell's tests share: the appMain that WinMain calls, a fixture that
// starts every test from a fresh script and fresh shell state, and a capture of
// standard output.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <streambuf>
#include <string>

#include "shell/app.h"
#include "shell/pump.h"
#include "shell/window.h"
#include "tests/support/scripted_platform.h"

// The tests' appMain runs this (and returns -1 while it is empty).
extern std::function<int()> g_testAppMain;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Closes whatever a test left open, so that no display-mode change leaks on.
    void TearDown() override;
    // shellOpenWindow("test", 0) asserted to succeed, then no calls recorded.
    void openWindow();
    // TearDown then SetUp: for tables of cases run inside one test.
    void restart() {
        TearDown();
        SetUp();
    }
};

// Redirects std::cout into a buffer for its lifetime and notes what the buffer
// held at every flush.
class CoutCapture {
public:
    CoutCapture();
    ~CoutCapture();
    std::string text() const { return buffer_.str(); }
    int flushes() const { return buffer_.flushes; }
    std::string atLastFlush() const { return buffer_.atLastFlush; }

private:
    struct Buffer : std::stringbuf {
        int flushes = 0;
        std::string atLastFlush;
        int sync() override {
            ++flushes;
            atLastFlush = str();
            return 0;
        }
    };
    Buffer buffer_;
    std::streambuf* previous_;
};

// A mode of the default desktop's size and depth (1024x768x32).
ScriptedMode desktopSized(DWORD frequency, LONG testResult = DISP_CHANGE_SUCCESSFUL, DWORD tag = 0);

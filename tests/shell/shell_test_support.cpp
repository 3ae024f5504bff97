#include "tests/shell/shell_test_support.h"

#include <iostream>

#include "tests/support/gl_recorder.h"

std::function<int()> g_testAppMain;

int appMain() { return g_testAppMain ? g_testAppMain() : -1; }

void ShellTest::SetUp() {
    scriptedReset();
    g_settings = ShellSettings{};
    g_instance = kScriptedInstance;
    g_window = nullptr;
    g_deviceContext = nullptr;
    g_glContext = nullptr;
    g_testAppMain = nullptr;
}

void ShellTest::TearDown() {
    g_scripted.releaseCurrentResult = TRUE;
    g_scripted.deleteContextResult = TRUE;
    g_settings.fullscreen = true;
    shellCloseWindow();
}

void ShellTest::openWindow() {
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    scriptedClearCalls();
    glRecorderReset();
}

CoutCapture::CoutCapture() : previous_(std::cout.rdbuf(&buffer_)) {}
CoutCapture::~CoutCapture() { std::cout.rdbuf(previous_); }

ScriptedMode desktopSized(DWORD frequency, LONG testResult, DWORD tag) {
    return ScriptedMode{1024, 768, 32, frequency, testResult, tag};
}

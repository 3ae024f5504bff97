// The scripted stand-in for the platform layer: what a test sets before it calls
// the shell, and what it reads afterwards. See scripted.cpp for the contract.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "shell/platform/platform.h"

// One display mode of the driver's list.
struct ScriptedMode {
    DWORD width = 0;
    DWORD height = 0;
    DWORD bitsPerPixel = 0;
    DWORD frequency = 0;
    LONG testResult = DISP_CHANGE_SUCCESSFUL;  // CDS_TEST's answer for this mode
    DWORD tag = 0;  // listed in dmDisplayFlags: tells apart records of equal modes
};

// Handles that the stand-in hands out. Windows are numbered from kScriptedWindow on.
inline HWND const kScriptedDesktop = reinterpret_cast<HWND>(std::uintptr_t{0x1000});
inline HWND const kScriptedWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1001});
inline HDC const kScriptedDesktopDc = reinterpret_cast<HDC>(std::uintptr_t{0x2000});
inline HDC const kScriptedWindowDc = reinterpret_cast<HDC>(std::uintptr_t{0x2001});
inline HGLRC const kScriptedContext = reinterpret_cast<HGLRC>(std::uintptr_t{0x3001});
inline HINSTANCE const kScriptedInstance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x400000});

struct ScriptedPlatform {
    // --- Script: set by the test -------------------------------------------------
    // Screen facts.
    int screenWidth = 1024;
    int screenHeight = 768;
    int desktopBits = 32;
    // Display modes: the list in listing order, and the current (desktop) mode that
    // ENUM_CURRENT_SETTINGS reports; a restore with ChangeDisplaySettingsA(NULL, 0)
    // makes the desktop mode current again.
    std::vector<ScriptedMode> modes;
    ScriptedMode desktopMode = {1024, 768, 32, 60, DISP_CHANGE_SUCCESSFUL, 0};
    BOOL currentModeResult = TRUE;  // EnumDisplaySettingsA(ENUM_CURRENT_SETTINGS)
    LONG fullscreenResult = DISP_CHANGE_SUCCESSFUL;
    // Time: QueryPerformanceCounter takes the readings in turn; once they run out it
    // repeats the last one (the counter stands still).
    BOOL perfFrequencyResult = TRUE;
    long long perfFrequency = 1000000;
    std::deque<long long> counterReadings;
    // Mouse.
    POINT cursor = {0, 0};
    RECT windowRect = {0, 0, 1024, 768};
    // Results of the calls that can fail.
    ATOM registerClassResult = 1;  // 0: the class is refused
    bool createWindowFails = false;
    bool getWindowDcFails = false;
    int choosePixelFormatResult = 1;
    int describedDepthBits = -1;  // >= 0: DescribePixelFormat reports this depth
    BOOL setPixelFormatResult = TRUE;
    bool createContextFails = false;
    BOOL makeCurrentResult = TRUE;     // wglMakeCurrent with a context
    BOOL releaseCurrentResult = TRUE;  // wglMakeCurrent(dc, NULL)
    BOOL deleteContextResult = TRUE;
    bool swapIntervalOffered = true;  // wglGetProcAddress("wglSwapIntervalEXT") finds it
    BOOL useFontBitmapsResult = TRUE;
    LRESULT defWindowProcResult = 0;
    // Messages that CreateWindowExA sends to the new window's procedure before it
    // returns (hwnd is filled in), as the system's creation messages would be.
    std::vector<MSG> creationMessages;
    // PeekMessageA calls allowed before the stand-in answers WM_QUIT by itself and
    // sets peekLimitHit, so that a pump that never ends fails instead of hanging.
    int peekLimit = 100000;

    // --- Observations: read by the test ------------------------------------------
    // Every call in order, as "Name(arguments)"; GL calls by name alone.
    std::vector<std::string> log;
    std::deque<MSG> queue;  // tests may also push messages here directly
    std::map<std::string, WNDPROC> classes;
    std::map<HWND, WNDPROC> windows;
    WNDCLASSA registeredClass = {};
    std::string registeredClassName;
    PIXELFORMATDESCRIPTOR chooseRequest = {};   // what ChoosePixelFormat was given
    PIXELFORMATDESCRIPTOR setDescriptor = {};   // what SetPixelFormat was given
    std::vector<DEVMODEA> testedModes;          // every CDS_TEST record, in order
    std::vector<DEVMODEA> fullscreenModes;      // every CDS_FULLSCREEN record, in order
    ScriptedMode currentMode = desktopMode;
    HGLRC currentContext = nullptr;
    int cursorCount = 0;  // ShowCursor's display counter
    long long lastCounterReading = 0;
    int peekCount = 0;
    bool peekLimitHit = false;
    std::uintptr_t nextWindow = 0x1001;
};

extern ScriptedPlatform g_scripted;

// Back to the default script with an empty log and queue; also forgets the GL
// recorder's calls and routes them into the log.
void scriptedReset();
// Appends a posted message to the queue.
void scriptedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Appends a line of the test's own to the log, between the recorded calls.
void scriptedNote(const std::string& line);
// The name part of a log line: what comes before its '(' (the whole line if none).
std::string scriptedName(const std::string& line);
// The log's names in order, optionally only those found in `only`.
std::vector<std::string> scriptedNames(const std::vector<std::string>& only = {});
// How many log lines have this name.
int scriptedCount(const std::string& name);
// Index of the first log line at or after `from` that equals `line` exactly, or
// with a name of `line` when `line` has no '('; -1 when none.
long scriptedFind(const std::string& line, std::size_t from = 0);

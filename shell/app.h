// Process entry, the settings record and the diagnostic log.
#pragma once

#include <cstdint>

#include "shell/platform/platform.h"

struct ShellSettings {
    bool fullscreen = true;
    std::int32_t swapInterval = 2;  // 2: leave the driver's interval alone
    std::uint32_t pixelFormatFlags = PFD_DOUBLEBUFFER;
    std::int32_t colorBits = 32;
    std::int32_t depthBits = 24;
    std::int32_t alphaBits = 0;
    std::int32_t accumBits = 0;
    std::int32_t stencilBits = 0;
    std::uint32_t width = 0;   // 0: the screen's width
    std::uint32_t height = 0;  // 0: the screen's height
    std::uint32_t bitsPerPixel = 0;       // 0: the desktop's depth
    std::uint32_t displayFrequency = 0;   // 0: set the mode by size and depth alone
};

enum LogLevel : int {
    logFatal = 0,
    logError = 1,
    logWarning = 2,
    logRemark = 3,
};

extern ShellSettings g_settings;
extern HINSTANCE g_instance;

// Writes "<level name>: <message>\n" to standard output and flushes it. The fatal
// level then ends the process with exit status 1.
void shellLog(LogLevel level, const char* message);

// The application's main function; its result is the process exit status.
int appMain();

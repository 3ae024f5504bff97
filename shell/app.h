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
// level then ends the process through std::exit with status 1 (exit handlers run,
// the streams are flushed); that call does not return.
// A level outside logFatal..logRemark is printed as "Error" and does not end the
// process; a null message is written as an empty one. A failed write is not
// reported, and the stream's error state is cleared so that the next line is tried.
void shellLog(LogLevel level, const char* message);

// The application's main function; WinMain returns its result unchanged, so it
// becomes the process exit status.
int appMain();

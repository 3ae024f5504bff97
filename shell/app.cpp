// Process entry, the settings record and the diagnostic log.
#include "shell/app.h"

#include <cstdlib>
#include <iostream>

ShellSettings g_settings;
HINSTANCE g_instance = nullptr;

namespace {
const char* const kLevelNames[] = {"Fatal Error", "Error", "Warning", "Remark"};
constexpr int kLevelCount = static_cast<int>(sizeof(kLevelNames) / sizeof(kLevelNames[0]));
}  // namespace

void shellLog(LogLevel level, const char* message) {
    int index = static_cast<int>(level);
    if (index < 0 || index >= kLevelCount) index = logError;
    std::cout << kLevelNames[index] << ": " << (message ? message : "") << '\n';
    std::cout.flush();
    // Standard output is often not connected for a windowed program; a lost line is
    // not the caller's problem, and a stuck error state must not swallow later lines.
    std::cout.clear();
    if (level == logFatal) std::exit(1);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    return appMain();
}

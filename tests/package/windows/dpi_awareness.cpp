// dpi_awareness: a Windows program that carries the demo's resources (its manifest
// among them, linked from the same object as planetdemo.exe's) and reports what the
// system made of them: the two DPI settings as the system reads them from the
// manifest, and the awareness the process runs with. Exit status 0 when the system
// found both settings and runs the process per-monitor DPI aware, so that the screen
// size and the display modes it sees are real pixels on a scaled desktop.
// Both conditions count: Wine (8.0) runs a program without a manifest per-monitor
// aware as well, but one whose manifest asks for less (system aware, unaware) as
// asked.
#include <windows.h>

#include <cstdio>

namespace {

// Prints a windowsSettings value of this program's manifest as the system reads it;
// false when there is none.
bool printSetting(const wchar_t* ns, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T length = 0;
    if (QueryActCtxSettingsW(0, nullptr, ns, name, value, sizeof value / sizeof value[0], &length) &&
        value[0] != 0) {
        std::printf("manifest %ls: %ls\n", name, value);
        return true;
    }
    std::printf("manifest %ls: none (error %lu)\n", name, GetLastError());
    return false;
}

const char* awarenessName(DPI_AWARENESS awareness) {
    switch (awareness) {
        case DPI_AWARENESS_UNAWARE: return "unaware";
        case DPI_AWARENESS_SYSTEM_AWARE: return "system aware";
        case DPI_AWARENESS_PER_MONITOR_AWARE: return "per-monitor aware";
        default: return "invalid";
    }
}

}  // namespace

int main() {
    // The older setting for systems before Windows 10 (1607), the newer one after.
    const bool fallback = printSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware");
    const bool current = printSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness");

    const DPI_AWARENESS_CONTEXT context = GetThreadDpiAwarenessContext();
    const DPI_AWARENESS awareness = GetAwarenessFromDpiAwarenessContext(context);
    const bool v2 = AreDpiAwarenessContextsEqual(context, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    std::printf("process: %s%s; IsProcessDPIAware: %d\n", awarenessName(awareness), v2 ? " (v2)" : "",
                IsProcessDPIAware() ? 1 : 0);
    return fallback && current && awareness == DPI_AWARENESS_PER_MONITOR_AWARE ? 0 : 1;
}

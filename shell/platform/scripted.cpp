// Scripted platform layer for the shell's tests.
//
// Provides every operation of the seam without a display, a driver or a clock:
// each call is appended to g_scripted.log as "Name(key arguments)" in call order,
// and answers from the script in g_scripted (screen size and desktop depth, the
// display-mode list with a CDS_TEST result per mode, the current mode, counter
// frequency and readings, cursor and window rectangle, and the result of every
// call that can fail). GL calls made through the GL recorder (tests/support) are
// merged into the same log by name. The message queue is real: PostQuitMessage
// posts WM_QUIT, PeekMessageA takes messages in the order they were posted, and
// SendMessageA and DispatchMessageA call the window procedure of the target
// window's class synchronously. CreateWindowExA fails for a class that was never
// registered.
//
// Left out: nothing is drawn or shown (SwapBuffers, MessageBoxA and the font lists
// are recorded and answer success; wglUseFontBitmapsA makes no GL lists);
// PeekMessageA ignores its window and message filters and hands WM_QUIT out in
// its place in the queue rather than after every other message; TranslateMessage
// makes no character messages; ChangeDisplaySettingsA does not check the
// record's dmFields; there is one screen and no window destruction. It defines
// no main(): the tests' main comes from GoogleTest, and WinMain from the shell.
#include "shell/platform/scripted.h"

#include <cstdio>
#include <cstring>

#include "tests/support/gl_recorder.h"

ScriptedPlatform g_scripted;

namespace {
std::string hex(std::uintptr_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}
template <typename Handle>
std::string handle(Handle* value) {
    return value ? hex(reinterpret_cast<std::uintptr_t>(value)) : std::string("NULL");
}
std::string num(long long value) { return std::to_string(value); }
std::string text(LPCSTR value) { return value ? std::string(value) : std::string("NULL"); }

void record(std::string line) { g_scripted.log.push_back(std::move(line)); }
void recordGl(const char* name) { record(name); }

std::string describeMode(const DEVMODEA& mode) {
    return num(mode.dmPelsWidth) + "x" + num(mode.dmPelsHeight) + "x" + num(mode.dmBitsPerPel) +
           "@" + num(mode.dmDisplayFrequency);
}

void fillMode(const ScriptedMode& from, DEVMODEA* to) {
    to->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    to->dmPelsWidth = from.width;
    to->dmPelsHeight = from.height;
    to->dmBitsPerPel = from.bitsPerPixel;
    to->dmDisplayFrequency = from.frequency;
    to->dmDisplayFlags = from.tag;
}

bool sameMode(const ScriptedMode& listed, const DEVMODEA& mode) {
    return listed.width == mode.dmPelsWidth && listed.height == mode.dmPelsHeight &&
           listed.bitsPerPixel == mode.dmBitsPerPel && listed.frequency == mode.dmDisplayFrequency &&
           listed.tag == mode.dmDisplayFlags;
}

WNDPROC procedureOf(HWND window) {
    auto found = g_scripted.windows.find(window);
    return found == g_scripted.windows.end() ? nullptr : found->second;
}

BOOL WINAPI fakeSwapIntervalEXT(int interval) {
    record("wglSwapIntervalEXT(" + num(interval) + ")");
    return TRUE;
}
}  // namespace

void scriptedReset() {
    g_scripted = ScriptedPlatform{};
    glRecorderReset();
    g_glRecorderEcho = recordGl;
}

void scriptedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    g_scripted.queue.push_back(msg);
}

void scriptedNote(const std::string& line) { record(line); }

std::string scriptedName(const std::string& line) { return line.substr(0, line.find('(')); }

std::vector<std::string> scriptedNames(const std::vector<std::string>& only) {
    std::vector<std::string> names;
    for (const std::string& line : g_scripted.log) {
        std::string name = scriptedName(line);
        bool wanted = only.empty();
        for (const std::string& one : only) wanted = wanted || one == name;
        if (wanted) names.push_back(name);
    }
    return names;
}

int scriptedCount(const std::string& name) {
    int count = 0;
    for (const std::string& line : g_scripted.log) count += scriptedName(line) == name ? 1 : 0;
    return count;
}

long scriptedFind(const std::string& line, std::size_t from) {
    bool byName = line.find('(') == std::string::npos;
    for (std::size_t i = from; i < g_scripted.log.size(); ++i) {
        const std::string& entry = g_scripted.log[i];
        if (byName ? scriptedName(entry) == line : entry == line) return static_cast<long>(i);
    }
    return -1;
}

// --- Window class and window ------------------------------------------------------

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    record("RegisterClassA(" + text(windowClass->lpszClassName) + ")");
    g_scripted.registeredClass = *windowClass;
    g_scripted.registeredClassName = text(windowClass->lpszClassName);
    if (g_scripted.registerClassResult == 0) return 0;
    g_scripted.classes[g_scripted.registeredClassName] = windowClass->lpfnWndProc;
    return g_scripted.registerClassResult;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    record("LoadIconA(" + handle(instance) + ", " + num(reinterpret_cast<std::uintptr_t>(name)) +
           ")");
    return reinterpret_cast<HICON>(std::uintptr_t{0x5000} + reinterpret_cast<std::uintptr_t>(name));
}

HGDIOBJ WINAPI GetStockObject(int object) {
    record("GetStockObject(" + num(object) + ")");
    return reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x6000} + static_cast<std::uintptr_t>(object));
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, void* param) {
    record("CreateWindowExA(" + hex(exStyle) + ", " + text(className) + ", " + text(windowName) +
           ", " + hex(style) + ", " + num(x) + ", " + num(y) + ", " + num(width) + ", " +
           num(height) + ", " + handle(parent) + ", " + handle(menu) + ", " + handle(instance) +
           ", " + handle(static_cast<char*>(param)) + ")");
    auto found = g_scripted.classes.find(text(className));
    if (g_scripted.createWindowFails || found == g_scripted.classes.end()) return nullptr;
    HWND window = reinterpret_cast<HWND>(g_scripted.nextWindow++);
    g_scripted.windows[window] = found->second;
    for (MSG msg : g_scripted.creationMessages) {
        msg.hwnd = window;
        found->second(window, msg.message, msg.wParam, msg.lParam);
    }
    return window;
}

HWND WINAPI SetFocus(HWND window) {
    record("SetFocus(" + handle(window) + ")");
    return nullptr;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    record("MoveWindow(" + handle(window) + ", " + num(x) + ", " + num(y) + ", " + num(width) +
           ", " + num(height) + ", " + num(repaint) + ")");
    return procedureOf(window) ? TRUE : FALSE;
}

int WINAPI ShowCursor(BOOL show) {
    record("ShowCursor(" + num(show) + ")");
    g_scripted.cursorCount += show ? 1 : -1;
    return g_scripted.cursorCount;
}

// --- Screen facts -----------------------------------------------------------------

int WINAPI GetSystemMetrics(int index) {
    record("GetSystemMetrics(" + num(index) + ")");
    if (index == SM_CXSCREEN) return g_scripted.screenWidth;
    if (index == SM_CYSCREEN) return g_scripted.screenHeight;
    return 0;
}

HWND WINAPI GetDesktopWindow() {
    record("GetDesktopWindow()");
    return kScriptedDesktop;
}

HDC WINAPI GetDC(HWND window) {
    record("GetDC(" + handle(window) + ")");
    if (window == kScriptedDesktop || window == nullptr) return kScriptedDesktopDc;
    if (!procedureOf(window) || g_scripted.getWindowDcFails) return nullptr;
    return kScriptedWindowDc;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    record("GetDeviceCaps(" + handle(dc) + ", " + num(index) + ")");
    return index == BITSPIXEL && dc ? g_scripted.desktopBits : 0;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    record("ReleaseDC(" + handle(window) + ", " + handle(dc) + ")");
    return dc ? 1 : 0;
}

// --- Display modes ----------------------------------------------------------------

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    std::string which = modeNumber == ENUM_CURRENT_SETTINGS ? "ENUM_CURRENT_SETTINGS"
                                                            : num(modeNumber);
    record("EnumDisplaySettingsA(" + text(device) + ", " + which + ", dmSize=" +
           num(mode->dmSize) + ")");
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        if (!g_scripted.currentModeResult) return FALSE;
        fillMode(g_scripted.currentMode, mode);
        return TRUE;
    }
    if (modeNumber >= g_scripted.modes.size()) return FALSE;
    fillMode(g_scripted.modes[modeNumber], mode);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (!mode) {
        record("ChangeDisplaySettingsA(NULL, " + num(flags) + ")");
        g_scripted.currentMode = g_scripted.desktopMode;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (flags == CDS_TEST) {
        record("ChangeDisplaySettingsA(CDS_TEST, " + describeMode(*mode) + ")");
        g_scripted.testedModes.push_back(*mode);
        for (const ScriptedMode& listed : g_scripted.modes)
            if (sameMode(listed, *mode)) return listed.testResult;
        return DISP_CHANGE_BADMODE;
    }
    if (flags == CDS_FULLSCREEN) {
        record("ChangeDisplaySettingsA(CDS_FULLSCREEN, " + describeMode(*mode) + ")");
        g_scripted.fullscreenModes.push_back(*mode);
        if (g_scripted.fullscreenResult == DISP_CHANGE_SUCCESSFUL) {
            g_scripted.currentMode.width = mode->dmPelsWidth;
            g_scripted.currentMode.height = mode->dmPelsHeight;
            g_scripted.currentMode.bitsPerPixel = mode->dmBitsPerPel;
            g_scripted.currentMode.frequency = mode->dmDisplayFrequency;
            g_scripted.currentMode.tag = mode->dmDisplayFlags;
        }
        return g_scripted.fullscreenResult;
    }
    record("ChangeDisplaySettingsA(" + hex(flags) + ", " + describeMode(*mode) + ")");
    return DISP_CHANGE_BADMODE;  // no other kind of change is scripted
}

// --- Pixel format and buffers -----------------------------------------------------

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    record("ChoosePixelFormat(" + handle(dc) + ")");
    g_scripted.chooseRequest = *request;
    return dc ? g_scripted.choosePixelFormatResult : 0;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    record("DescribePixelFormat(" + handle(dc) + ", " + num(format) + ", " + num(bytes) + ")");
    if (!dc || format <= 0) return 0;
    if (description && bytes >= sizeof *description && g_scripted.describedDepthBits >= 0)
        description->cDepthBits = static_cast<BYTE>(g_scripted.describedDepthBits);
    return 1;  // the number of formats the device offers
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    record("SetPixelFormat(" + handle(dc) + ", " + num(format) + ")");
    g_scripted.setDescriptor = *request;
    return dc ? g_scripted.setPixelFormatResult : FALSE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    record("SwapBuffers(" + handle(dc) + ")");
    return dc ? TRUE : FALSE;
}

// --- GL context and font lists ----------------------------------------------------

HGLRC WINAPI wglCreateContext(HDC dc) {
    record("wglCreateContext(" + handle(dc) + ")");
    return dc && !g_scripted.createContextFails ? kScriptedContext : nullptr;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    record("wglMakeCurrent(" + handle(dc) + ", " + handle(context) + ")");
    BOOL result = context ? g_scripted.makeCurrentResult : g_scripted.releaseCurrentResult;
    if (result) g_scripted.currentContext = context;
    return result;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    record("wglDeleteContext(" + handle(context) + ")");
    return context ? g_scripted.deleteContextResult : FALSE;
}

PROC WINAPI wglGetProcAddress(LPCSTR name) {
    record("wglGetProcAddress(" + text(name) + ")");
    if (!g_scripted.swapIntervalOffered || !name || std::strcmp(name, "wglSwapIntervalEXT") != 0)
        return nullptr;
    return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(fakeSwapIntervalEXT));
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    record("wglUseFontBitmapsA(" + handle(dc) + ", " + num(first) + ", " + num(count) + ", " +
           num(listBase) + ")");
    return g_scripted.useFontBitmapsResult;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    record("SelectObject(" + handle(dc) + ", " + handle(object) + ")");
    return dc ? reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x6000} + SYSTEM_FONT) : nullptr;
}

// --- Messages ---------------------------------------------------------------------

BOOL WINAPI PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
    bool remove = (removeFlags & PM_REMOVE) != 0;
    std::string call = std::string("PeekMessageA(") + (remove ? "PM_REMOVE" : "PM_NOREMOVE") + ")";
    if (++g_scripted.peekCount > g_scripted.peekLimit) {
        g_scripted.peekLimitHit = true;
        record(call + " -> limit");
        *msg = MSG{};
        msg->message = WM_QUIT;
        return TRUE;
    }
    if (g_scripted.queue.empty()) {
        record(call + " -> none");
        return FALSE;
    }
    *msg = g_scripted.queue.front();
    if (remove) g_scripted.queue.pop_front();
    record(call + " -> " + hex(msg->message));
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    record("TranslateMessage(" + hex(msg->message) + ")");
    return FALSE;  // no character message made
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    record("DispatchMessageA(" + handle(msg->hwnd) + ", " + hex(msg->message) + ", " +
           num(static_cast<long long>(msg->wParam)) + ")");
    WNDPROC procedure = procedureOf(msg->hwnd);
    return procedure ? procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    record("DefWindowProcA(" + handle(window) + ", " + hex(message) + ", " +
           num(static_cast<long long>(wParam)) + ", " + num(lParam) + ")");
    return g_scripted.defWindowProcResult;
}

void WINAPI PostQuitMessage(int exitCode) {
    record("PostQuitMessage(" + num(exitCode) + ")");
    scriptedPostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    record("SendMessageA(" + handle(window) + ", " + hex(message) + ", " +
           num(static_cast<long long>(wParam)) + ", " + num(lParam) + ")");
    WNDPROC procedure = procedureOf(window);
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

// --- Mouse ------------------------------------------------------------------------

BOOL WINAPI GetCursorPos(POINT* point) {
    record("GetCursorPos()");
    *point = g_scripted.cursor;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect) {
    record("GetWindowRect(" + handle(window) + ")");
    if (!procedureOf(window)) return FALSE;
    *rect = g_scripted.windowRect;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    record("SetCursorPos(" + num(x) + ", " + num(y) + ")");
    g_scripted.cursor.x = x;
    g_scripted.cursor.y = y;
    return TRUE;
}

// --- Time -------------------------------------------------------------------------

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    record("QueryPerformanceFrequency()");
    frequency->QuadPart = g_scripted.perfFrequencyResult ? g_scripted.perfFrequency : 0;
    return g_scripted.perfFrequencyResult;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter) {
    if (!g_scripted.counterReadings.empty()) {
        g_scripted.lastCounterReading = g_scripted.counterReadings.front();
        g_scripted.counterReadings.pop_front();
    }
    record("QueryPerformanceCounter() -> " + num(g_scripted.lastCounterReading));
    counter->QuadPart = g_scripted.lastCounterReading;
    return TRUE;
}

// --- Dialogue ---------------------------------------------------------------------

int WINAPI MessageBoxA(HWND owner, LPCSTR message, LPCSTR caption, UINT type) {
    record("MessageBoxA(" + handle(owner) + ", " + text(message) + ", " + text(caption) + ", " +
           hex(type) + ")");
    return 1;  // IDOK
}

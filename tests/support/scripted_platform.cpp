// Scripted platform layer for the shell's and the demo's tests.
//
// Provides every operation of the seam without a display, a driver or a clock:
// each call is recorded in g_scripted.calls as an operation with its arguments and
// result (see ScriptedCall), numbered from the sequence that the GL recorder's calls
// share, and answers from the script in g_scripted (screen size and desktop depth,
// the display-mode list with a CDS_TEST result per mode, the current mode, the
// device's pixel formats, counter frequency and readings, cursor and window
// rectangle, and the result of every call that can fail). As on Windows and in the
// Linux layer:
// - Classes: RegisterClassA hands out atoms from 0xC000; names compare without
//   case, and a second registration of a name, a NULL procedure or an empty name
//   is refused. CreateWindowExA takes the class by name or by atom and fails for
//   one never registered.
// - Messages: PostQuitMessage sets a flag (the last exit code counts) instead of
//   queueing; WM_QUIT is handed out only when no waiting message passes the
//   filters, so after the messages posted before and after the quit, and the
//   filters never hold it back (Windows hands it out whatever window or range the
//   caller asks for; the Linux layer still keeps it from a range without WM_QUIT).
//   PeekMessageA honours the window filter (NULL: all; -1:
//   messages without a window; else that window's) and the range (0, 0: all; else
//   min to max inclusive), takes the first matching message out of the middle of
//   the queue with PM_REMOVE and leaves it with PM_NOREMOVE (WM_QUIT too).
//   SendMessageA and DispatchMessageA call the window procedure of the target
//   window's class synchronously.
// - DescribePixelFormat answers with the number of formats; format 0, a format past
//   the count or fewer bytes than the record fail; a NULL description only counts.
//   SetPixelFormat fails for a format outside the list.
// - CDS_TEST passes exactly the listed modes (width, height, depth, rate and
//   dmDisplayFlags as listed) with the mode's scripted answer and changes nothing;
//   CDS_FULLSCREEN makes the record the current mode; a NULL record restores the
//   desktop mode. ShowCursor keeps Windows' display counter; SetCursorPos is what
//   GetCursorPos reads back.
//
// Left out: nothing is drawn or shown (SwapBuffers, MessageBoxA and the font lists
// are recorded and answer success; wglUseFontBitmapsA makes no GL lists);
// TranslateMessage makes no character messages; there is no input of its own (the
// test posts messages); ChangeDisplaySettingsA does not read the record's dmFields
// and refuses every other kind of change; a PeekMessageA range with min above max
// matches nothing; there is one screen and no window destruction. It defines no
// main(): the tests' main comes from GoogleTest, and WinMain from the shell.
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <type_traits>

ScriptedPlatform g_scripted;

namespace {
using Op = ScriptedOp;

const char* const kOpNames[] = {
    "RegisterClassA", "LoadIconA", "GetStockObject", "CreateWindowExA", "SetFocus", "MoveWindow",
    "ShowCursor", "GetSystemMetrics", "GetDesktopWindow", "GetDC", "GetDeviceCaps", "ReleaseDC",
    "EnumDisplaySettingsA", "ChangeDisplaySettingsA", "ChoosePixelFormat", "DescribePixelFormat",
    "SetPixelFormat", "SwapBuffers", "wglCreateContext", "wglMakeCurrent", "wglDeleteContext",
    "wglGetProcAddress", "wglSwapIntervalEXT", "wglUseFontBitmapsA", "SelectObject",
    "PeekMessageA", "TranslateMessage", "DispatchMessageA", "DefWindowProcA", "PostQuitMessage",
    "SendMessageA", "GetCursorPos", "GetWindowRect", "SetCursorPos", "QueryPerformanceFrequency",
    "QueryPerformanceCounter", "MessageBoxA", "Note",
};
static_assert(sizeof(kOpNames) / sizeof(kOpNames[0]) == static_cast<int>(Op::Note) + 1);

HWND const kThreadMessagesOnly = reinterpret_cast<HWND>(~std::uintptr_t{0});  // (HWND)-1

bool isAtom(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

// A string argument as recorded: "" for NULL, "#n" for an atom.
std::string textOf(LPCSTR value) {
    if (!value) return "";
    if (isAtom(value)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(value));
    return value;
}

template <typename T>
std::int64_t v(T* pointer) {
    return scriptedArg(pointer);
}

// A string argument as a number (see ScriptedCall).
std::int64_t str(LPCSTR value) { return !value || isAtom(value) ? v(value) : kScriptedText; }

// Records a call and returns its index (the record may move as later calls come).
std::size_t record(Op op, std::initializer_list<std::int64_t> args = {},
                   std::initializer_list<std::string> texts = {}) {
    ScriptedCall call{op, recordedCallSequence(), {}, {}, 0};
    std::size_t i = 0;
    for (std::int64_t a : args) call.arg[i++] = a;
    i = 0;
    for (const std::string& t : texts) call.text[i++] = t;
    g_scripted.calls.push_back(std::move(call));
    return g_scripted.calls.size() - 1;
}

template <typename Result>
Result answer(std::size_t index, Result result) {
    if constexpr (std::is_pointer_v<Result>)
        g_scripted.calls[index].result = v(result);
    else
        g_scripted.calls[index].result = static_cast<std::int64_t>(result);
    return result;
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

int findClass(LPCSTR name) {
    if (!name) return -1;
    if (isAtom(name)) {
        int index = static_cast<int>(reinterpret_cast<std::uintptr_t>(name)) - kScriptedFirstAtom;
        return index >= 0 && index < static_cast<int>(g_scripted.classes.size()) ? index : -1;
    }
    for (std::size_t i = 0; i < g_scripted.classes.size(); ++i)
        if (strcasecmp(g_scripted.classes[i].name.c_str(), name) == 0) return static_cast<int>(i);
    return -1;
}

WNDPROC procedureOf(HWND window) {
    auto found = g_scripted.windows.find(window);
    return found == g_scripted.windows.end() ? nullptr : found->second;
}

bool passesFilters(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window == kThreadMessagesOnly ? msg.hwnd != nullptr : window && msg.hwnd != window)
        return false;
    return (filterMin == 0 && filterMax == 0) ||
           (msg.message >= filterMin && msg.message <= filterMax);
}

BOOL WINAPI scriptedSwapIntervalEXT(int interval) {
    return answer(record(Op::wglSwapIntervalEXT, {interval}), g_scripted.swapIntervalResult);
}
}  // namespace

const char* scriptedOpName(ScriptedOp op) { return kOpNames[static_cast<int>(op)]; }

PIXELFORMATDESCRIPTOR scriptedPixelFormat(BYTE colorBits, BYTE depthBits) {
    PIXELFORMATDESCRIPTOR format;
    std::memset(&format, 0, sizeof format);
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DOUBLEBUFFER | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = colorBits;
    format.cRedBits = format.cGreenBits = format.cBlueBits = 8;
    format.cRedShift = 16;
    format.cGreenShift = 8;
    format.cDepthBits = depthBits;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

void scriptedReset() {
    g_scripted = ScriptedPlatform{};
    glRecorderReset();
    g_glRecorderHook = nullptr;
}

void scriptedClearCalls() { g_scripted.calls.clear(); }

void scriptedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    g_scripted.queue.push_back(msg);
}

void scriptedNote(const std::string& text) { record(Op::Note, {}, {text}); }

// --- For the tests' assertions -----------------------------------------------------

ScriptedMatch withArgs(std::initializer_list<std::int64_t> first) {
    std::vector<std::int64_t> wanted(first);
    return [wanted](const ScriptedCall& call) {
        for (std::size_t i = 0; i < wanted.size(); ++i)
            if (call.arg[i] != wanted[i]) return false;
        return true;
    };
}

ScriptedMatch withText(const std::string& text) {
    return [text](const ScriptedCall& call) { return call.text[0] == text; };
}

std::vector<std::int64_t> scriptedArgs(const ScriptedCall& call, std::size_t count) {
    return std::vector<std::int64_t>(call.arg, call.arg + count);
}

std::vector<ScriptedCall> scriptedCalls(ScriptedOp op) {
    std::vector<ScriptedCall> found;
    for (const ScriptedCall& call : g_scripted.calls)
        if (call.op == op) found.push_back(call);
    return found;
}

int scriptedCount(ScriptedOp op) { return static_cast<int>(scriptedCalls(op).size()); }

std::uint32_t scriptedSeq(ScriptedOp op, const ScriptedMatch& match, std::uint32_t from) {
    for (const ScriptedCall& call : g_scripted.calls)
        if (call.op == op && call.seq >= from && (!match || match(call))) return call.seq;
    ADD_FAILURE() << "no matching " << scriptedOpName(op) << " call"
                  << (from ? " at or after sequence " + std::to_string(from) : std::string());
    return kNoCall;
}

std::uint32_t scriptedSeq(GlOp op, const GlMatch& match, std::uint32_t from) {
    for (const GlCall& call : glRecorderCalls())
        if (call.op == op && call.seq >= from && (!match || match(call))) return call.seq;
    ADD_FAILURE() << "no matching " << glOpName(op) << " call"
                  << (from ? " at or after sequence " + std::to_string(from) : std::string());
    return kNoCall;
}

ScriptedStep ScriptedStep::note(const std::string& text) {
    ScriptedStep step(ScriptedOp::Note);
    step.text = text;
    return step;
}

void PrintTo(const ScriptedStep& step, std::ostream* out) {
    if (step.gl)
        *out << glOpName(step.glOp);
    else if (step.op == ScriptedOp::Note)
        *out << "note \"" << step.text << '"';
    else
        *out << scriptedOpName(step.op);
}

std::vector<ScriptedStep> scriptedSteps(const std::vector<ScriptedStep>& only) {
    std::vector<ScriptedStep> steps;
    auto keep = [&](ScriptedStep step) {
        bool wanted = only.empty();
        for (const ScriptedStep& one : only) wanted = wanted || one == step;
        if (wanted) steps.push_back(std::move(step));
    };
    const std::vector<ScriptedCall>& platform = g_scripted.calls;
    const std::vector<GlCall>& gl = glRecorderCalls();
    std::size_t p = 0, g = 0;
    while (p < platform.size() || g < gl.size()) {
        if (g == gl.size() || (p < platform.size() && platform[p].seq < gl[g].seq)) {
            const ScriptedCall& call = platform[p++];
            keep(call.op == ScriptedOp::Note ? ScriptedStep::note(call.text[0])
                                             : ScriptedStep(call.op));
        } else {
            keep(ScriptedStep(gl[g++].op));
        }
    }
    return steps;
}

// --- Window class and window ------------------------------------------------------

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    const std::size_t call = record(Op::RegisterClassA, {}, {textOf(windowClass->lpszClassName)});
    g_scripted.registeredClass = *windowClass;
    g_scripted.registeredClassName = textOf(windowClass->lpszClassName);
    LPCSTR name = windowClass->lpszClassName;
    if (g_scripted.registerClassRefused || !windowClass->lpfnWndProc || !name || isAtom(name) ||
        !*name || findClass(name) >= 0)
        return answer(call, ATOM{0});
    g_scripted.classes.push_back(ScriptedClass{name, windowClass->lpfnWndProc});
    return answer(call, static_cast<ATOM>(kScriptedFirstAtom + g_scripted.classes.size() - 1));
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    const std::size_t call = record(Op::LoadIconA, {v(instance), str(name)}, {textOf(name)});
    return answer(call, reinterpret_cast<HICON>(std::uintptr_t{0x5000} +
                                                reinterpret_cast<std::uintptr_t>(name)));
}

HGDIOBJ WINAPI GetStockObject(int object) {
    const std::size_t call = record(Op::GetStockObject, {object});
    return answer(call, reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x6000} +
                                                  static_cast<std::uintptr_t>(object)));
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, void* param) {
    const std::size_t call =
        record(Op::CreateWindowExA,
               {exStyle, str(className), str(windowName), style, x, y, width, height, v(parent),
                v(menu), v(instance), v(param)},
               {textOf(className), textOf(windowName)});
    const int index = findClass(className);
    if (g_scripted.createWindowFails || index < 0) return answer(call, HWND{nullptr});
    WNDPROC procedure = g_scripted.classes[static_cast<std::size_t>(index)].procedure;
    HWND window = reinterpret_cast<HWND>(g_scripted.nextWindow++);
    g_scripted.windows[window] = procedure;
    answer(call, window);
    for (MSG msg : g_scripted.creationMessages) {
        msg.hwnd = window;
        procedure(window, msg.message, msg.wParam, msg.lParam);
    }
    return window;
}

HWND WINAPI SetFocus(HWND window) {
    return answer(record(Op::SetFocus, {v(window)}), HWND{nullptr});
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    const std::size_t call = record(Op::MoveWindow, {v(window), x, y, width, height, repaint});
    return answer(call, procedureOf(window) ? TRUE : FALSE);
}

int WINAPI ShowCursor(BOOL show) {
    const std::size_t call = record(Op::ShowCursor, {show});
    g_scripted.cursorCount += show ? 1 : -1;
    return answer(call, g_scripted.cursorCount);
}

// --- Screen facts -----------------------------------------------------------------

int WINAPI GetSystemMetrics(int index) {
    const std::size_t call = record(Op::GetSystemMetrics, {index});
    if (index == SM_CXSCREEN) return answer(call, g_scripted.screenWidth);
    if (index == SM_CYSCREEN) return answer(call, g_scripted.screenHeight);
    return answer(call, 0);
}

HWND WINAPI GetDesktopWindow() { return answer(record(Op::GetDesktopWindow), kScriptedDesktop); }

HDC WINAPI GetDC(HWND window) {
    const std::size_t call = record(Op::GetDC, {v(window)});
    if (window == kScriptedDesktop || window == nullptr) return answer(call, kScriptedDesktopDc);
    if (!procedureOf(window) || g_scripted.getWindowDcFails) return answer(call, HDC{nullptr});
    return answer(call, kScriptedWindowDc);
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    const std::size_t call = record(Op::GetDeviceCaps, {v(dc), index});
    return answer(call, index == BITSPIXEL && dc ? g_scripted.desktopBits : 0);
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    return answer(record(Op::ReleaseDC, {v(window), v(dc)}), dc ? 1 : 0);
}

// --- Display modes ----------------------------------------------------------------

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    const std::size_t call =
        record(Op::EnumDisplaySettingsA, {str(device), modeNumber, mode->dmSize}, {textOf(device)});
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        if (!g_scripted.currentModeResult) return answer(call, FALSE);
        fillMode(g_scripted.currentMode, mode);
        return answer(call, TRUE);
    }
    if (modeNumber >= g_scripted.modes.size()) return answer(call, FALSE);
    fillMode(g_scripted.modes[modeNumber], mode);
    return answer(call, TRUE);
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (!mode) {
        const std::size_t call = record(Op::ChangeDisplaySettingsA, {0, flags});
        g_scripted.currentMode = g_scripted.desktopMode;
        return answer(call, DISP_CHANGE_SUCCESSFUL);
    }
    const std::size_t call =
        record(Op::ChangeDisplaySettingsA, {1, flags, mode->dmPelsWidth, mode->dmPelsHeight,
                                            mode->dmBitsPerPel, mode->dmDisplayFrequency,
                                            mode->dmDisplayFlags});
    if (flags == CDS_TEST) {
        g_scripted.testedModes.push_back(*mode);
        for (const ScriptedMode& listed : g_scripted.modes)
            if (sameMode(listed, *mode)) return answer(call, listed.testResult);
        return answer(call, DISP_CHANGE_BADMODE);
    }
    if (flags == CDS_FULLSCREEN) {
        g_scripted.fullscreenModes.push_back(*mode);
        if (g_scripted.fullscreenResult == DISP_CHANGE_SUCCESSFUL) {
            g_scripted.currentMode.width = mode->dmPelsWidth;
            g_scripted.currentMode.height = mode->dmPelsHeight;
            g_scripted.currentMode.bitsPerPixel = mode->dmBitsPerPel;
            g_scripted.currentMode.frequency = mode->dmDisplayFrequency;
            g_scripted.currentMode.tag = mode->dmDisplayFlags;
        }
        return answer(call, g_scripted.fullscreenResult);
    }
    return answer(call, DISP_CHANGE_BADMODE);  // no other kind of change is scripted
}

// --- Pixel format and buffers -----------------------------------------------------

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    const std::size_t call = record(Op::ChoosePixelFormat, {v(dc)});
    g_scripted.chooseRequest = *request;
    return answer(call, dc ? g_scripted.choosePixelFormatResult : 0);
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    const std::size_t call =
        record(Op::DescribePixelFormat, {v(dc), format, bytes, description ? 1 : 0});
    const int count = static_cast<int>(g_scripted.pixelFormats.size());
    if (!dc) return answer(call, 0);
    if (!description) return answer(call, count);
    if (format < 1 || format > count || bytes < sizeof *description) return answer(call, 0);
    *description = g_scripted.pixelFormats[static_cast<std::size_t>(format - 1)];
    return answer(call, count);
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    const std::size_t call = record(Op::SetPixelFormat, {v(dc), format});
    g_scripted.setDescriptor = *request;
    const bool listed = format >= 1 && format <= static_cast<int>(g_scripted.pixelFormats.size());
    return answer(call, dc && listed ? g_scripted.setPixelFormatResult : FALSE);
}

BOOL WINAPI SwapBuffers(HDC dc) {
    return answer(record(Op::SwapBuffers, {v(dc)}), dc ? TRUE : FALSE);
}

// --- GL context and font lists ----------------------------------------------------

HGLRC WINAPI wglCreateContext(HDC dc) {
    const std::size_t call = record(Op::wglCreateContext, {v(dc)});
    return answer(call, dc && !g_scripted.createContextFails ? kScriptedContext : nullptr);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    const std::size_t call = record(Op::wglMakeCurrent, {v(dc), v(context)});
    BOOL result = context ? g_scripted.makeCurrentResult : g_scripted.releaseCurrentResult;
    if (result) g_scripted.currentContext = context;
    return answer(call, result);
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    const std::size_t call = record(Op::wglDeleteContext, {v(context)});
    return answer(call, context ? g_scripted.deleteContextResult : FALSE);
}

PROC WINAPI wglGetProcAddress(LPCSTR name) {
    const std::size_t call = record(Op::wglGetProcAddress, {str(name)}, {textOf(name)});
    if (!g_scripted.swapIntervalOffered || !name || std::strcmp(name, "wglSwapIntervalEXT") != 0)
        return answer(call, PROC{nullptr});
    return answer(call,
                  reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(scriptedSwapIntervalEXT)));
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    const std::size_t call = record(Op::wglUseFontBitmapsA, {v(dc), first, count, listBase});
    return answer(call, g_scripted.useFontBitmapsResult);
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    const std::size_t call = record(Op::SelectObject, {v(dc), v(object)});
    return answer(call, dc ? reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x6000} + SYSTEM_FONT)
                           : HGDIOBJ{nullptr});
}

// --- Messages ---------------------------------------------------------------------

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    const std::size_t call =
        record(Op::PeekMessageA, {v(window), filterMin, filterMax, removeFlags});
    auto handOut = [&](const MSG& taken) {
        *msg = taken;
        ScriptedCall& c = g_scripted.calls[call];
        c.arg[4] = taken.message;
        c.arg[5] = static_cast<std::int64_t>(taken.wParam);
        c.arg[6] = v(taken.hwnd);
        return answer(call, TRUE);
    };
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (++g_scripted.peekCount > g_scripted.peekLimit) {
        g_scripted.peekLimitHit = true;
        MSG quit = {};
        quit.message = WM_QUIT;
        return handOut(quit);
    }
    for (auto it = g_scripted.queue.begin(); it != g_scripted.queue.end(); ++it) {
        if (!passesFilters(*it, window, filterMin, filterMax)) continue;
        const MSG taken = *it;
        if (remove) g_scripted.queue.erase(it);
        return handOut(taken);
    }
    if (g_scripted.quitPosted) {
        MSG quit = {};
        quit.message = WM_QUIT;
        quit.wParam = static_cast<WPARAM>(g_scripted.quitCode);
        if (remove) g_scripted.quitPosted = false;
        return handOut(quit);
    }
    return answer(call, FALSE);
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    const std::size_t call = record(Op::TranslateMessage,
                                    {v(msg->hwnd), msg->message,
                                     static_cast<std::int64_t>(msg->wParam), msg->lParam});
    return answer(call, FALSE);  // no character message made
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    const std::size_t call = record(Op::DispatchMessageA,
                                    {v(msg->hwnd), msg->message,
                                     static_cast<std::int64_t>(msg->wParam), msg->lParam});
    WNDPROC procedure = procedureOf(msg->hwnd);
    return answer(call,
                  procedure ? procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::size_t call = record(
        Op::DefWindowProcA, {v(window), message, static_cast<std::int64_t>(wParam), lParam});
    return answer(call, g_scripted.defWindowProcResult);
}

void WINAPI PostQuitMessage(int exitCode) {
    record(Op::PostQuitMessage, {exitCode});
    g_scripted.quitPosted = true;
    g_scripted.quitCode = exitCode;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::size_t call = record(
        Op::SendMessageA, {v(window), message, static_cast<std::int64_t>(wParam), lParam});
    WNDPROC procedure = procedureOf(window);
    return answer(call, procedure ? procedure(window, message, wParam, lParam) : 0);
}

// --- Mouse ------------------------------------------------------------------------

BOOL WINAPI GetCursorPos(POINT* point) {
    *point = g_scripted.cursor;
    return answer(record(Op::GetCursorPos, {point->x, point->y}), TRUE);
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect) {
    const std::size_t call = record(Op::GetWindowRect, {v(window)});
    if (!procedureOf(window)) return answer(call, FALSE);
    *rect = g_scripted.windowRect;
    return answer(call, TRUE);
}

BOOL WINAPI SetCursorPos(int x, int y) {
    const std::size_t call = record(Op::SetCursorPos, {x, y});
    g_scripted.cursor.x = x;
    g_scripted.cursor.y = y;
    return answer(call, TRUE);
}

// --- Time -------------------------------------------------------------------------

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = g_scripted.perfFrequencyResult ? g_scripted.perfFrequency : 0;
    const std::size_t call = record(Op::QueryPerformanceFrequency, {frequency->QuadPart});
    return answer(call, g_scripted.perfFrequencyResult);
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter) {
    if (!g_scripted.counterReadings.empty()) {
        g_scripted.lastCounterReading = g_scripted.counterReadings.front();
        g_scripted.counterReadings.pop_front();
    }
    counter->QuadPart = g_scripted.lastCounterReading;
    return answer(record(Op::QueryPerformanceCounter, {counter->QuadPart}), TRUE);
}

// --- Dialogue ---------------------------------------------------------------------

int WINAPI MessageBoxA(HWND owner, LPCSTR message, LPCSTR caption, UINT type) {
    const std::size_t call =
        record(Op::MessageBoxA, {v(owner), str(message), str(caption), type},
               {textOf(message), textOf(caption)});
    return answer(call, IDOK);
}

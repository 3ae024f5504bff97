// The scripted stand-in for the platform seam: what a test sets before it calls the
// shell, what it reads afterwards, and the record of every call. See
// scripted_platform.cpp for the contract.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "shell/platform/platform.h"
#include "tests/support/gl_recorder.h"

// The operations of the seam, and Note: a mark of the test's own (scriptedNote).
enum class ScriptedOp : std::uint8_t {
    RegisterClassA, LoadIconA, GetStockObject, CreateWindowExA, SetFocus, MoveWindow, ShowCursor,
    GetSystemMetrics, GetDesktopWindow, GetDC, GetDeviceCaps, ReleaseDC,
    EnumDisplaySettingsA, ChangeDisplaySettingsA,
    ChoosePixelFormat, DescribePixelFormat, SetPixelFormat, SwapBuffers,
    wglCreateContext, wglMakeCurrent, wglDeleteContext, wglGetProcAddress, wglSwapIntervalEXT,
    wglUseFontBitmapsA, SelectObject,
    PeekMessageA, TranslateMessage, DispatchMessageA, DefWindowProcA, PostQuitMessage,
    SendMessageA,
    GetCursorPos, GetWindowRect, SetCursorPos,
    QueryPerformanceFrequency, QueryPerformanceCounter,
    MessageBoxA,
    Note,
};

const char* scriptedOpName(ScriptedOp op);

// One call. arg holds its arguments in order, as numbers: integers as they are,
// handles and pointers by value (NULL as 0); a string argument as 0 for NULL, its
// number for an atom or resource id, else kScriptedText with the text in text (in
// order, "#n" for an atom). A record passed by pointer, and what the call hands
// back through a pointer, stand as listed here; unused slots are 0.
//   RegisterClassA          -                  (text: the class name; the record
//                                              is kept in registeredClass)
//   LoadIconA               instance, resource id
//   GetStockObject          object
//   CreateWindowExA         exStyle, class, window name, style, x, y, width,
//                           height, parent, menu, instance, creation data
//   SetFocus                window
//   MoveWindow              window, x, y, width, height, repaint
//   ShowCursor              show
//   GetSystemMetrics        index
//   GetDesktopWindow        -
//   GetDC                   window
//   GetDeviceCaps           dc, index
//   ReleaseDC               window, dc
//   EnumDisplaySettingsA    device, mode number, the record's dmSize on entry
//   ChangeDisplaySettingsA  record given (0 for NULL), flags, and the record's
//                           width, height, depth, rate and dmDisplayFlags
//   ChoosePixelFormat       dc                 (the request: chooseRequest)
//   DescribePixelFormat     dc, format, bytes, description given (0 for NULL)
//   SetPixelFormat          dc, format         (the record: setDescriptor)
//   SwapBuffers             dc
//   wglCreateContext        dc
//   wglMakeCurrent          dc, context
//   wglDeleteContext        context
//   wglGetProcAddress       name
//   wglSwapIntervalEXT      interval
//   wglUseFontBitmapsA      dc, first, count, list base
//   SelectObject            dc, object
//   PeekMessageA            window filter, min, max, flags, then what it handed
//                           out: message, wParam, window (all 0 when nothing)
//   TranslateMessage, DispatchMessageA
//                           the message's window, message, wParam, lParam
//   DefWindowProcA, SendMessageA
//                           window, message, wParam, lParam
//   PostQuitMessage         exit code
//   GetCursorPos            the point reported: x, y
//   GetWindowRect           window
//   SetCursorPos            x, y
//   QueryPerformanceFrequency, QueryPerformanceCounter
//                           the value reported
//   MessageBoxA             owner, text, caption, type
//   Note                    -                  (text: the test's words)
constexpr std::int64_t kScriptedText = -1;
struct ScriptedCall {
    ScriptedOp op;
    std::uint32_t seq;  // place in the sequence shared with the GL recorder's calls
    std::int64_t arg[12];
    std::string text[2];
    std::int64_t result;  // the return value; handles by value
};

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
constexpr ATOM kScriptedFirstAtom = 0xC000;  // where Windows numbers registered classes

// A double-buffered RGBA format as a driver describes it.
PIXELFORMATDESCRIPTOR scriptedPixelFormat(BYTE colorBits, BYTE depthBits);

struct ScriptedClass {
    std::string name;
    WNDPROC procedure;
};

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
    // The device's pixel formats, numbered from 1 (DescribePixelFormat's count).
    std::vector<PIXELFORMATDESCRIPTOR> pixelFormats = {scriptedPixelFormat(32, 24)};
    // Results of the calls that can fail.
    bool registerClassRefused = false;
    bool createWindowFails = false;
    bool getWindowDcFails = false;
    int choosePixelFormatResult = 1;
    BOOL setPixelFormatResult = TRUE;
    bool createContextFails = false;
    BOOL makeCurrentResult = TRUE;     // wglMakeCurrent with a context
    BOOL releaseCurrentResult = TRUE;  // wglMakeCurrent(dc, NULL)
    BOOL deleteContextResult = TRUE;
    bool swapIntervalOffered = true;  // wglGetProcAddress("wglSwapIntervalEXT") finds it
    BOOL swapIntervalResult = TRUE;
    BOOL useFontBitmapsResult = TRUE;
    LRESULT defWindowProcResult = 0;
    // Messages that CreateWindowExA sends to the new window's procedure before it
    // returns (hwnd is filled in), as the system's creation messages would be.
    std::vector<MSG> creationMessages;
    // PeekMessageA calls allowed before the stand-in answers WM_QUIT by itself and
    // sets peekLimitHit, so that a pump that never ends fails instead of hanging.
    int peekLimit = 100000;

    // --- State and observations: read by the test --------------------------------
    std::vector<ScriptedCall> calls;  // every call in order
    std::deque<MSG> queue;            // posted messages, oldest first
    bool quitPosted = false;          // PostQuitMessage's flag, cleared when WM_QUIT is taken
    int quitCode = 0;
    std::vector<ScriptedClass> classes;  // atom kScriptedFirstAtom + index
    std::map<HWND, WNDPROC> windows;
    WNDCLASSA registeredClass = {};  // the last record given to RegisterClassA
    std::string registeredClassName;
    PIXELFORMATDESCRIPTOR chooseRequest = {};  // what ChoosePixelFormat was given
    PIXELFORMATDESCRIPTOR setDescriptor = {};  // what SetPixelFormat was given
    std::vector<DEVMODEA> testedModes;         // every CDS_TEST record, in order
    std::vector<DEVMODEA> fullscreenModes;     // every CDS_FULLSCREEN record, in order
    ScriptedMode currentMode = desktopMode;
    HGLRC currentContext = nullptr;
    int cursorCount = 0;  // ShowCursor's display counter
    long long lastCounterReading = 0;
    int peekCount = 0;
    bool peekLimitHit = false;
    std::uintptr_t nextWindow = 0x1001;
};

extern ScriptedPlatform g_scripted;

// Back to the default script with no calls and an empty queue; the GL recorder
// forgets its calls too and loses its hook.
void scriptedReset();
// Forgets the platform calls recorded so far (the script and the state stay).
void scriptedClearCalls();
// Posts a message to the queue, as the system or another thread would.
void scriptedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Records a mark of the test's own between the calls.
void scriptedNote(const std::string& text);

// --- For the tests' assertions -----------------------------------------------------

// A handle or pointer as it is kept in ScriptedCall::arg.
template <typename T>
std::int64_t scriptedArg(T* pointer) {
    return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

using ScriptedMatch = std::function<bool(const ScriptedCall&)>;
using GlMatch = std::function<bool(const GlCall&)>;
// Calls whose first arguments are exactly these.
ScriptedMatch withArgs(std::initializer_list<std::int64_t> first);
// Calls whose first string argument is this.
ScriptedMatch withText(const std::string& text);

// The first `count` arguments of a call, to compare with a list.
std::vector<std::int64_t> scriptedArgs(const ScriptedCall& call, std::size_t count);

// The platform calls of one operation, in order, and how many there are.
std::vector<ScriptedCall> scriptedCalls(ScriptedOp op);
int scriptedCount(ScriptedOp op);

// Larger than every sequence number.
constexpr std::uint32_t kNoCall = UINT32_MAX;
// The sequence number of the first call of `op` numbered `from` or later that
// `match` accepts (any, when empty). When there is none, a test failure that names
// the operation, and kNoCall.
std::uint32_t scriptedSeq(ScriptedOp op, const ScriptedMatch& match = {}, std::uint32_t from = 0);
std::uint32_t scriptedSeq(GlOp op, const GlMatch& match = {}, std::uint32_t from = 0);

// One step of the merged order of platform and GL calls: the operation, and a
// note's text.
struct ScriptedStep {
    ScriptedStep(ScriptedOp op) : op(op) {}
    ScriptedStep(GlOp op) : gl(true), glOp(op) {}
    static ScriptedStep note(const std::string& text);
    bool operator==(const ScriptedStep& other) const = default;

    bool gl = false;
    ScriptedOp op = ScriptedOp::Note;
    GlOp glOp = GlOp::PixelStorei;
    std::string text;
};
void PrintTo(const ScriptedStep& step, std::ostream* out);

// The recorded platform and GL calls merged in call order, optionally only the
// steps equal to one of `only`.
std::vector<ScriptedStep> scriptedSteps(const std::vector<ScriptedStep>& only = {});

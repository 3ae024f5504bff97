// Linux platform layer: the Win32 and WGL operations of platform.h on SDL2, with
// FreeType and fontconfig for the font lists.
//
// Provides:
// - The process entry main(): installs SIGINT and SIGTERM handlers (each signal
//   becomes a WM_CLOSE to the window at the next PeekMessageA, also when it came
//   during start-up), keeps SDL's own handlers out, calls WinMain(instance, NULL,
//   the arguments after the program name, SW_SHOWDEFAULT) and returns its result.
//   SDL is shut down at exit, which also undoes a display-mode change left behind.
//   Video comes from X11, Wayland or KMS/DRM (unless SDL_VIDEODRIVER names others);
//   SDL's invisible offscreen and dummy drivers do not count as a display.
// - Window classes (name -> window procedure; names compare case-insensitively and
//   a second registration of a name fails) and one window per process, made in two
//   steps: CreateWindowExA fills the window's record (NULL without a display, with
//   SDL's reason on standard error), SetPixelFormat creates the borderless SDL
//   OpenGL window at the record's position and size. MoveWindow works before and
//   after that.
// - Pixel formats: ChoosePixelFormat tries the request on a hidden window and
//   context and numbers what it got; DescribePixelFormat reports that (a 24-bit
//   depth request may come back as 32); SetPixelFormat creates the window with it.
//   GL contexts through SDL_GL_*; wglCreateContext leaves the current context as
//   it was. wglGetProcAddress knows only "wglSwapIntervalEXT" (SDL_GL_SetSwapInterval,
//   which fails harmlessly where the driver cannot do it).
// - Display modes of display 0 from SDL's list, in reverse (rates rising within a
//   size, as Windows drivers list them). Depths are 8 x the
//   bytes per pixel (32 for 4-byte pixels) in both the mode list and
//   GetDeviceCaps(BITSPIXEL). CDS_TEST matches a listed mode exactly (size and
//   depth, and the refresh rate when DM_DISPLAYFREQUENCY is set or the rate is not
//   0) and changes nothing; any other flags apply the mode through an SDL
//   full-screen window (remembered until the window exists); a NULL record leaves
//   full-screen, which restores the desktop mode. Screen size and depth follow the
//   current mode.
// - Messages: a queue of our own fed from SDL's events. Keys become WM_KEYDOWN and
//   WM_KEYUP with Windows virtual-key codes taken from scancodes (both Ctrl keys are
//   VK_CONTROL, both Shift keys VK_SHIFT, both Alt keys VK_MENU); as on Windows, a
//   key while Alt is held without Ctrl, Alt itself and F10 come as WM_SYSKEYDOWN and
//   WM_SYSKEYUP. lParam: repeat count 1, bit 24 for the extended keys, bit 29 when
//   Alt is held (system keys), bit 30 for a repeat and every key-up, bit 31 on
//   key-up; bits 16-23 (the OEM scan code) stay 0. The window manager's close
//   request, SDL_QUIT and the signals become WM_CLOSE to the window. WM_QUIT comes
//   after every other waiting message. SendMessageA and DispatchMessageA call the
//   window procedure at once; DefWindowProcA returns 0 and does nothing else.
// - Mouse: screen coordinates as in GetWindowRect. While the window has the mouse,
//   the cursor is the window's position plus SDL's position in the window (SDL's
//   global position goes stale when other programs move the pointer); a
//   SetCursorPos is what GetCursorPos reports until the next mouse motion arrives.
//   ShowCursor keeps Windows' display counter (hidden while below 0).
// - Time: CLOCK_MONOTONIC in nanoseconds (frequency 1e9).
// - Fonts: the stock SYSTEM_FONT is fontconfig's "sans:bold" at a 16-pixel cell,
//   rasterised 1-bit by FreeType into glBitmap lists; codes 128-255 are read as
//   Windows-1252; a code without a glyph (0-31, 127, the five holes of 1252, codes
//   above 255, characters the font lacks) gets an empty list that does not move the
//   raster position. FALSE when no font can be loaded or no context is current.
// - MessageBoxA writes "caption: text" to standard error. It shows an SDL dialog as
//   well only when standard input is a terminal, the environment has no CI
//   variable and a display is available; otherwise it returns IDOK at once.
//
// Leaves out (these say so by their results):
// - TranslateMessage makes no character messages and returns FALSE. No creation,
//   size, paint, focus or mouse messages are sent; the mouse is seen only through
//   GetCursorPos. Keys without a virtual-key code here make no message; the keypad
//   always gives VK_NUMPAD0-9 and VK_DECIMAL, whatever Num Lock says.
// - LoadIconA returns NULL: there are no resources on Linux. The class's
//   background brush is recorded but never painted; the application's frames
//   cover the window. There are no child windows, no second window and no window
//   destruction (the window goes with the process); CreateWindowExA returns NULL
//   for those.
// - EnumDisplaySettingsA and ChangeDisplaySettingsA take only the NULL device
//   (display 0); mode changes are never stored. GetSystemMetrics answers only
//   SM_CXSCREEN/SM_CYSCREEN and GetDeviceCaps only BITSPIXEL; other indices give 0.
// - Only the RGBA pixel type; PeekMessageA's window filter takes NULL or the window.
// - Without a display every operation that needs one fails (NULL, 0, FALSE or
//   DISP_CHANGE_FAILED) and one line on standard error gives SDL's reason.
#include "shell/platform/platform.h"

#include <SDL.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

// The records behind the handles that this layer hands out.
struct HINSTANCE__ {
    int unused;
};

struct HWND__ {
    bool exists;  // CreateWindowExA has filled the record
    WNDPROC proc;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    char title[256];
    SDL_Window* sdl;  // made by SetPixelFormat
    int pixelFormat;  // 0 until SetPixelFormat
};

struct HDC__ {
    HGDIOBJ font;
    HGDIOBJ brush;
};

struct HGLRC__ {
    SDL_GLContext context;  // null: the slot is free
};

struct HGDIOBJ__ {
    bool font;
};

namespace {
constexpr int kMaxClasses = 16;
constexpr ATOM kFirstAtom = 0xC000;  // where Windows numbers registered classes
constexpr int kMaxContexts = 4;
constexpr int kMaxFormats = 8;
constexpr std::size_t kQueueCapacity = 256;
constexpr int kFontCellHeight = 16;  // pixels, ascent plus descent, as the System font
constexpr const char* kFontPattern = "sans:bold";
constexpr long long kNanosecondsPerSecond = 1000000000;
constexpr const char* kVideoDrivers = "x11,wayland,KMSDRM";

struct WindowClass {
    char name[256];
    WNDPROC proc;
};

// Process state of the layer.
volatile std::sig_atomic_t s_signalsReceived = 0;  // written by the signal handler
std::sig_atomic_t s_signalsHandled = 0;
int s_video = 0;  // 0: not tried yet, 1: running, -1: no display
HINSTANCE__ s_instance = {0};
WindowClass s_classes[kMaxClasses];
int s_classCount = 0;
HWND__ s_window;
HWND__ s_desktopWindow;
HGDIOBJ__ s_whiteBrush = {false};
HGDIOBJ__ s_blackBrush = {false};
HGDIOBJ__ s_systemFont = {true};
HDC__ s_windowDc = {&s_systemFont, &s_whiteBrush};  // a new DC's selection, as on Windows
HDC__ s_desktopDc = {&s_systemFont, &s_whiteBrush};
HGLRC__ s_contexts[kMaxContexts];
PIXELFORMATDESCRIPTOR s_formats[kMaxFormats];
int s_formatCount = 0;
MSG s_queue[kQueueCapacity];
std::size_t s_queueHead = 0;
std::size_t s_queueCount = 0;
bool s_quitPosted = false;
int s_quitCode = 0;
int s_cursorCount = 0;  // Windows' display counter: shown while >= 0
bool s_cursorWarped = false;
POINT s_cursorWarp = {0, 0};
SDL_DisplayMode s_fullScreenMode;
bool s_fullScreenPending = false;  // asked for before the SDL window existed
bool s_fullScreenActive = false;
const GLubyte kEmptyBitmap[1] = {0};  // Mesa needs a pointer even for 0 x 0 bitmaps

void onCloseSignal(int) { s_signalsReceived = s_signalsReceived + 1; }

void installSignalHandlers() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void applyCursorVisibility() {
    if (s_video > 0) SDL_ShowCursor(s_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

bool videoUp() {
    if (s_video == 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            s_video = 1;
            applyCursorVisibility();
        } else {
            s_video = -1;
            std::fprintf(stderr, "platform: no display: %s\n", SDL_GetError());
        }
    }
    return s_video > 0;
}

void shutDown() {
    if (s_video > 0) SDL_Quit();
    s_video = 0;
}

// The MSVC runtime's quoting, so that the text splits back into the same arguments.
std::string commandLineOf(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        const char* arg = argv[i];
        if (*arg && !std::strpbrk(arg, " \t\n\v\"")) {
            line += arg;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (const char* c = arg; *c; ++c) {
            if (*c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(*c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += *c;
        }
        line.append(2 * backslashes, '\\');
        line += '"';
    }
    return line;
}

bool isWindow(HWND window) { return window == &s_window && s_window.exists; }
bool isOurDc(HDC dc) { return dc == &s_windowDc || dc == &s_desktopDc; }

// Window classes

// A class name is a string or, below 0x10000, an atom from RegisterClassA.
int findClass(LPCSTR name) {
    auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value == 0) return -1;
    if (value < 0x10000) {
        int index = static_cast<int>(value) - kFirstAtom;
        return index >= 0 && index < s_classCount ? index : -1;
    }
    for (int i = 0; i < s_classCount; ++i)
        if (strcasecmp(s_classes[i].name, name) == 0) return i;
    return -1;
}

// Display modes

DWORD depthOf(Uint32 format) { return 8u * SDL_BYTESPERPIXEL(format); }

void fillDevMode(const SDL_DisplayMode& mode, DEVMODEA* record) {
    record->dmDriverExtra = 0;
    record->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    record->dmBitsPerPel = depthOf(mode.format);
    record->dmPelsWidth = static_cast<DWORD>(mode.w);
    record->dmPelsHeight = static_cast<DWORD>(mode.h);
    record->dmDisplayFlags = 0;
    record->dmDisplayFrequency = static_cast<DWORD>(mode.refresh_rate);
    std::memset(record->dmDeviceName, 0, sizeof record->dmDeviceName);
    if (const char* name = SDL_GetDisplayName(0))
        std::strncpy(reinterpret_cast<char*>(record->dmDeviceName), name,
                     sizeof record->dmDeviceName - 1);
}

// The listed mode that the record asks for. Fields left out of dmFields keep the
// current mode's values; the rate counts when it is named or not 0. Without a rate
// the desktop's rate is preferred, else the first (SDL: highest) listed.
bool findListedMode(const DEVMODEA& wanted, SDL_DisplayMode* found) {
    SDL_DisplayMode current, desktop;
    if (SDL_GetCurrentDisplayMode(0, &current) != 0 || SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return false;
    const DWORD width = wanted.dmFields & DM_PELSWIDTH ? wanted.dmPelsWidth : DWORD(current.w);
    const DWORD height = wanted.dmFields & DM_PELSHEIGHT ? wanted.dmPelsHeight : DWORD(current.h);
    const DWORD depth =
        wanted.dmFields & DM_BITSPERPEL ? wanted.dmBitsPerPel : depthOf(current.format);
    const bool rateCounts =
        (wanted.dmFields & DM_DISPLAYFREQUENCY) != 0 || wanted.dmDisplayFrequency != 0;
    bool any = false;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (DWORD(mode.w) != width || DWORD(mode.h) != height || depthOf(mode.format) != depth)
            continue;
        if (rateCounts && DWORD(mode.refresh_rate) != wanted.dmDisplayFrequency) continue;
        if (!any || (!rateCounts && mode.refresh_rate == desktop.refresh_rate &&
                     found->refresh_rate != desktop.refresh_rate)) {
            *found = mode;
            any = true;
        }
    }
    return any;
}

bool enterFullScreen() {
    if (SDL_SetWindowDisplayMode(s_window.sdl, &s_fullScreenMode) != 0 ||
        SDL_SetWindowFullscreen(s_window.sdl, SDL_WINDOW_FULLSCREEN) != 0) {
        std::fprintf(stderr, "platform: full-screen mode refused: %s\n", SDL_GetError());
        return false;
    }
    s_fullScreenPending = false;
    s_fullScreenActive = true;
    return true;
}

// Pixel formats

void setGlAttributes(const PIXELFORMATDESCRIPTOR& format) {
    int red = 0, green = 0, blue = 0;
    if (format.cColorBits >= 24) {
        red = green = blue = 8;
    } else if (format.cColorBits >= 15) {
        red = blue = 5;
        green = format.cColorBits == 15 ? 5 : 6;
    }
    const int accum = format.cAccumBits / 4;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.cAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

BYTE glAttribute(SDL_GLattr attribute) {
    int value = 0;
    if (SDL_GL_GetAttribute(attribute, &value) != 0 || value < 0) value = 0;
    return static_cast<BYTE>(std::min(value, 255));
}

// What the request gets: the attributes are tried on a hidden window with a
// context of its own, since SDL fixes the visual when a window is made.
bool probeFormat(const PIXELFORMATDESCRIPTOR& request, PIXELFORMATDESCRIPTOR* obtained) {
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    setGlAttributes(request);
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN |
                                                             SDL_WINDOW_BORDERLESS);
    if (!probe) {
        std::fprintf(stderr, "platform: no window for the pixel format: %s\n", SDL_GetError());
        return false;
    }
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    if (context) {
        std::memset(obtained, 0, sizeof *obtained);
        obtained->nSize = sizeof *obtained;
        obtained->nVersion = 1;
        obtained->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
        if (glAttribute(SDL_GL_DOUBLEBUFFER)) obtained->dwFlags |= PFD_DOUBLEBUFFER;
        obtained->iPixelType = PFD_TYPE_RGBA;
        obtained->cRedBits = glAttribute(SDL_GL_RED_SIZE);
        obtained->cGreenBits = glAttribute(SDL_GL_GREEN_SIZE);
        obtained->cBlueBits = glAttribute(SDL_GL_BLUE_SIZE);
        obtained->cAlphaBits = glAttribute(SDL_GL_ALPHA_SIZE);
        obtained->cBlueShift = 0;
        obtained->cGreenShift = obtained->cBlueBits;
        obtained->cRedShift = static_cast<BYTE>(obtained->cBlueBits + obtained->cGreenBits);
        obtained->cAlphaShift = obtained->cAlphaBits
                                    ? static_cast<BYTE>(obtained->cRedShift + obtained->cRedBits)
                                    : 0;
        const int rgb = obtained->cRedBits + obtained->cGreenBits + obtained->cBlueBits;
        // 8-bit channels live in 4-byte pixels: 32, as the display depth counts them.
        obtained->cColorBits = static_cast<BYTE>(rgb == 24 ? 32 : rgb);
        obtained->cAccumRedBits = glAttribute(SDL_GL_ACCUM_RED_SIZE);
        obtained->cAccumGreenBits = glAttribute(SDL_GL_ACCUM_GREEN_SIZE);
        obtained->cAccumBlueBits = glAttribute(SDL_GL_ACCUM_BLUE_SIZE);
        obtained->cAccumAlphaBits = glAttribute(SDL_GL_ACCUM_ALPHA_SIZE);
        obtained->cAccumBits = static_cast<BYTE>(
            std::min(255, obtained->cAccumRedBits + obtained->cAccumGreenBits +
                              obtained->cAccumBlueBits + obtained->cAccumAlphaBits));
        obtained->cDepthBits = glAttribute(SDL_GL_DEPTH_SIZE);
        obtained->cStencilBits = glAttribute(SDL_GL_STENCIL_SIZE);
        obtained->iLayerType = PFD_MAIN_PLANE;
        SDL_GL_DeleteContext(context);
    } else {
        std::fprintf(stderr, "platform: no GL context for the pixel format: %s\n",
                     SDL_GetError());
    }
    SDL_DestroyWindow(probe);
    SDL_GL_MakeCurrent(previousWindow, previousContext);
    return context != nullptr;
}

// Messages

bool inRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool cursorPosition(POINT* point);

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (s_queueCount == kQueueCapacity) return;
    MSG& msg = s_queue[(s_queueHead + s_queueCount) % kQueueCapacity];
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = s_video > 0 ? SDL_GetTicks() : 0;
    msg.pt = POINT{0, 0};
    cursorPosition(&msg.pt);
    ++s_queueCount;
}

int virtualKeyOf(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12)
        return VK_F1 + (code - SDL_SCANCODE_F1);
    if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (code - SDL_SCANCODE_KP_1);
    switch (code) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_RETURN: return VK_RETURN;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
        case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
        case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
        case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
        case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
        case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
        case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
        case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
        case SDL_SCANCODE_GRAVE: return VK_OEM_3;
        case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
        case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return VK_OEM_2;
        case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
        case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
        case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
        case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
        case SDL_SCANCODE_KP_COMMA: return VK_SEPARATOR;
        case SDL_SCANCODE_APPLICATION: return VK_APPS;
        case SDL_SCANCODE_LCTRL: return VK_CONTROL;
        case SDL_SCANCODE_RCTRL: return VK_CONTROL;
        case SDL_SCANCODE_LSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_LALT: return VK_MENU;
        case SDL_SCANCODE_RALT: return VK_MENU;
        case SDL_SCANCODE_LGUI: return VK_LWIN;
        case SDL_SCANCODE_RGUI: return VK_RWIN;
        default: return 0;
    }
}

// The keys that Windows marks with the extended-key bit.
bool isExtendedKey(SDL_Scancode code) {
    switch (code) {
        case SDL_SCANCODE_RCTRL: case SDL_SCANCODE_RALT: case SDL_SCANCODE_LGUI:
        case SDL_SCANCODE_RGUI: case SDL_SCANCODE_APPLICATION: case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_DELETE: case SDL_SCANCODE_HOME: case SDL_SCANCODE_END:
        case SDL_SCANCODE_PAGEUP: case SDL_SCANCODE_PAGEDOWN: case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_RIGHT: case SDL_SCANCODE_UP: case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_KP_DIVIDE: case SDL_SCANCODE_KP_ENTER: case SDL_SCANCODE_NUMLOCKCLEAR:
        case SDL_SCANCODE_PRINTSCREEN:
            return true;
        default:
            return false;
    }
}

void translateKey(const SDL_KeyboardEvent& key) {
    const int vk = virtualKeyOf(key.keysym.scancode);
    if (vk == 0 || !s_window.exists) return;
    const bool up = key.type == SDL_KEYUP;
    const bool altHeld = (key.keysym.mod & KMOD_ALT) != 0 || (vk == VK_MENU && !up);
    const bool ctrlHeld = (key.keysym.mod & KMOD_CTRL) != 0;
    const bool system = (altHeld || vk == VK_MENU || vk == VK_F10) && !ctrlHeld;
    std::uint32_t bits = 1;  // repeat count
    if (isExtendedKey(key.keysym.scancode)) bits |= 1u << 24;
    if (system && altHeld) bits |= 1u << 29;
    if (key.repeat || up) bits |= 1u << 30;
    if (up) bits |= 1u << 31;
    const UINT message = system ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    post(&s_window, message, static_cast<WPARAM>(vk), static_cast<LPARAM>(bits));
}

bool isOurSdlWindow(Uint32 windowId) {
    return s_window.sdl && windowId == SDL_GetWindowID(s_window.sdl);
}

// SDL stamps key events with the window it believes has the keyboard; until its
// first focus event that is none (0), and the keys are still ours.
bool isOurKeyWindow(Uint32 windowId) {
    return s_window.sdl && (windowId == 0 || isOurSdlWindow(windowId));
}

// Moves what the system has for us into the queue: signals first, then SDL's events.
void pumpSystem() {
    const std::sig_atomic_t received = s_signalsReceived;
    if (received != s_signalsHandled && s_window.exists) {
        s_signalsHandled = received;
        post(&s_window, WM_CLOSE, 0, 0);
    }
    if (s_video <= 0) return;
    SDL_Event event;
    while (s_queueCount < kQueueCapacity && SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (isOurKeyWindow(event.key.windowID)) translateKey(event.key);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE &&
                    isOurSdlWindow(event.window.windowID))
                    post(&s_window, WM_CLOSE, 0, 0);
                break;
            case SDL_QUIT:
                if (s_window.exists) post(&s_window, WM_CLOSE, 0, 0);
                break;
            case SDL_MOUSEMOTION:
                // SDL's position has caught up with any warp made before this event.
                s_cursorWarped = false;
                break;
            default:
                break;
        }
    }
}

// Mouse

bool cursorPosition(POINT* point) {
    if (s_cursorWarped) {
        *point = s_cursorWarp;
        return true;
    }
    if (s_video <= 0) return false;
    int x = 0, y = 0;
    if (s_window.sdl && SDL_GetMouseFocus() == s_window.sdl) {
        int left = 0, top = 0;
        SDL_GetWindowPosition(s_window.sdl, &left, &top);
        SDL_GetMouseState(&x, &y);
        x += left;
        y += top;
    } else {
        SDL_GetGlobalMouseState(&x, &y);
    }
    point->x = x;
    point->y = y;
    return true;
}

// Fonts

// Windows-1252 as Unicode; 0 where the code page has no character.
std::uint32_t unicodeOf(DWORD code) {
    static const std::uint16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code < 32 || code == 127 || code > 255) return 0;
    if (code >= 128 && code < 160) return kHigh[code - 128];
    return code;
}

bool findFontFile(std::string* path, int* index) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontPattern));
    if (!pattern) return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        *path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    }
    FcPatternDestroy(match);
    return found;
}

bool openSystemFont(FT_Library library, FT_Face* face) {
    std::string path;
    int index = 0;
    if (!findFontFile(&path, &index)) {
        std::fprintf(stderr, "platform: fontconfig found no font for \"%s\"\n", kFontPattern);
        return false;
    }
    if (FT_New_Face(library, path.c_str(), index, face) != 0) {
        std::fprintf(stderr, "platform: FreeType cannot open %s\n", path.c_str());
        return false;
    }
    FT_Error error;
    if (FT_IS_SCALABLE(*face)) {
        FT_Size_RequestRec size = {FT_SIZE_REQUEST_TYPE_CELL, 0, kFontCellHeight * 64, 0, 0};
        error = FT_Request_Size(*face, &size);
    } else {
        error = (*face)->num_fixed_sizes > 0 ? FT_Select_Size(*face, 0) : 1;
    }
    if (error != 0) {
        std::fprintf(stderr, "platform: FreeType cannot size %s\n", path.c_str());
        FT_Done_Face(*face);
        return false;
    }
    return true;
}

// Compiles one glyph as a glBitmap into the list being built: rows bottom-up,
// (width + 7) / 8 bytes each, the raster position moved on by the advance.
void compileGlyph(FT_Face face, std::uint32_t unicode, std::vector<GLubyte>* rows) {
    const FT_UInt glyph = unicode ? FT_Get_Char_Index(face, unicode) : 0;
    if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
        glBitmap(0, 0, 0, 0, 0, 0, kEmptyBitmap);
        return;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const auto advance = static_cast<GLfloat>((slot->advance.x + 32) >> 6);
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    if (width == 0 || height == 0) {
        glBitmap(0, 0, 0, 0, advance, 0, kEmptyBitmap);
        return;
    }
    const int stride = (width + 7) / 8;
    rows->assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        GLubyte* target = rows->data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                ? (source[x / 8] & (0x80 >> (x % 8))) != 0
                                : source[x] >= 128;
            if (on) target[x / 8] = static_cast<GLubyte>(target[x / 8] | (0x80 >> (x % 8)));
        }
    }
    glBitmap(width, height, static_cast<GLfloat>(-slot->bitmap_left),
             static_cast<GLfloat>(height - slot->bitmap_top), advance, 0, rows->data());
}

// GL contexts

BOOL swapIntervalExt(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE; }

HGLRC__* liveContext(HGLRC context) {
    for (HGLRC__& slot : s_contexts)
        if (&slot == context && slot.context) return &slot;
    return nullptr;
}

// Real dialogs only for a person at a terminal: one would block an automated run.
bool dialogsWanted() { return !std::getenv("CI") && isatty(STDIN_FILENO) && videoUp(); }
}  // namespace

// Process entry

int main(int argc, char** argv) {
    installSignalHandlers();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Only drivers that show something: without a display SDL would fall back to
    // its offscreen driver and run on, invisible. SDL_VIDEODRIVER still wins.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, kVideoDrivers, SDL_HINT_DEFAULT);
    std::atexit(shutDown);
    std::string commandLine = commandLineOf(argc, argv);
    return WinMain(&s_instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
}

// Window class and window

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc) return 0;
    LPCSTR name = windowClass->lpszClassName;
    if (reinterpret_cast<std::uintptr_t>(name) < 0x10000 || !*name) return 0;
    if (std::strlen(name) >= sizeof s_classes[0].name) return 0;
    if (findClass(name) >= 0 || s_classCount == kMaxClasses) return 0;
    WindowClass& entry = s_classes[s_classCount];
    std::strcpy(entry.name, name);
    entry.proc = windowClass->lpfnWndProc;
    return static_cast<ATOM>(kFirstAtom + s_classCount++);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }

HGDIOBJ WINAPI GetStockObject(int object) {
    switch (object) {
        case WHITE_BRUSH: return &s_whiteBrush;
        case BLACK_BRUSH: return &s_blackBrush;
        case SYSTEM_FONT: return &s_systemFont;
        default: return nullptr;
    }
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU, HINSTANCE, void*) {
    const int index = findClass(className);
    if (index < 0 || parent || s_window.exists) return nullptr;
    if (!videoUp()) return nullptr;
    s_window = HWND__{};
    s_window.exists = true;
    s_window.proc = s_classes[index].proc;
    s_window.style = style;
    s_window.exStyle = exStyle;
    s_window.x = x;
    s_window.y = y;
    s_window.width = width;
    s_window.height = height;
    std::snprintf(s_window.title, sizeof s_window.title, "%s", windowName ? windowName : "");
    return &s_window;
}

HWND WINAPI SetFocus(HWND window) {
    if (!isWindow(window) || !s_window.sdl) return nullptr;
    HWND previous = SDL_GetKeyboardFocus() == s_window.sdl ? &s_window : nullptr;
    SDL_RaiseWindow(s_window.sdl);
    SDL_SetWindowInputFocus(s_window.sdl);
    return previous;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    if (!isWindow(window)) return FALSE;
    s_window.x = x;
    s_window.y = y;
    s_window.width = width;
    s_window.height = height;
    // A full-screen window keeps the mode's geometry; the record applies on leaving.
    if (s_window.sdl && !(SDL_GetWindowFlags(s_window.sdl) & SDL_WINDOW_FULLSCREEN)) {
        SDL_SetWindowPosition(s_window.sdl, x, y);
        SDL_SetWindowSize(s_window.sdl, std::max(width, 1), std::max(height, 1));
    }
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    s_cursorCount += show ? 1 : -1;
    applyCursorVisibility();
    return s_cursorCount;
}

// Screen facts

int WINAPI GetSystemMetrics(int index) {
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !videoUp()) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) return 0;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

HWND WINAPI GetDesktopWindow() { return &s_desktopWindow; }

HDC WINAPI GetDC(HWND window) {
    if (!window || window == &s_desktopWindow) return videoUp() ? &s_desktopDc : nullptr;
    if (isWindow(window)) return &s_windowDc;
    return nullptr;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (!isOurDc(dc) || index != BITSPIXEL || !videoUp()) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) return 0;
    return static_cast<int>(depthOf(mode.format));
}

int WINAPI ReleaseDC(HWND, HDC dc) { return isOurDc(dc) ? 1 : 0; }

// Display modes

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    if (device || !mode || !videoUp()) return FALSE;
    SDL_DisplayMode found;
    int result;
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        result = SDL_GetCurrentDisplayMode(0, &found);
    } else if (modeNumber == ENUM_REGISTRY_SETTINGS) {
        result = SDL_GetDesktopDisplayMode(0, &found);
    } else {
        const int count = SDL_GetNumDisplayModes(0);
        if (count <= 0 || modeNumber >= static_cast<DWORD>(count)) return FALSE;
        // SDL lists each size's rates from the highest down; Windows drivers list them
        // rising, and the shell's choice among equal sizes follows the listing order.
        result = SDL_GetDisplayMode(0, count - 1 - static_cast<int>(modeNumber), &found);
    }
    if (result != 0) return FALSE;
    fillDevMode(found, mode);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (!mode) {
        s_fullScreenPending = false;
        if (!s_fullScreenActive) return DISP_CHANGE_SUCCESSFUL;
        s_fullScreenActive = false;
        if (SDL_SetWindowFullscreen(s_window.sdl, 0) != 0) return DISP_CHANGE_FAILED;
        SDL_SetWindowPosition(s_window.sdl, s_window.x, s_window.y);
        SDL_SetWindowSize(s_window.sdl, std::max(s_window.width, 1), std::max(s_window.height, 1));
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!videoUp()) return DISP_CHANGE_FAILED;
    SDL_DisplayMode listed;
    if (!findListedMode(*mode, &listed)) return DISP_CHANGE_BADMODE;
    if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    s_fullScreenMode = listed;
    if (!s_window.sdl) {
        s_fullScreenPending = true;
        return DISP_CHANGE_SUCCESSFUL;
    }
    return enterFullScreen() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

// Pixel format and buffers

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    if (!isOurDc(dc) || !request || request->iPixelType != PFD_TYPE_RGBA || !videoUp()) return 0;
    PIXELFORMATDESCRIPTOR obtained;
    if (!probeFormat(*request, &obtained)) return 0;
    for (int i = 0; i < s_formatCount; ++i)
        if (std::memcmp(&s_formats[i], &obtained, sizeof obtained) == 0) return i + 1;
    if (s_formatCount == kMaxFormats) return 0;
    s_formats[s_formatCount] = obtained;
    return ++s_formatCount;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    if (!isOurDc(dc)) return 0;
    if (!description) return s_formatCount;
    if (format < 1 || format > s_formatCount || bytes < sizeof *description) return 0;
    *description = s_formats[format - 1];
    return s_formatCount;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    if (dc != &s_windowDc || !s_window.exists || format < 1 || format > s_formatCount) return FALSE;
    if (s_window.pixelFormat != 0) return s_window.pixelFormat == format ? TRUE : FALSE;
    setGlAttributes(s_formats[format - 1]);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS;
    flags |= (s_window.style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (s_window.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* window = SDL_CreateWindow(s_window.title, s_window.x, s_window.y,
                                          std::max(s_window.width, 1),
                                          std::max(s_window.height, 1), flags);
    if (!window) {
        std::fprintf(stderr, "platform: cannot create the window: %s\n", SDL_GetError());
        return FALSE;
    }
    s_window.sdl = window;
    s_window.pixelFormat = format;
    applyCursorVisibility();
    if (s_fullScreenPending) enterFullScreen();
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    if (dc != &s_windowDc || !s_window.sdl) return FALSE;
    SDL_GL_SwapWindow(s_window.sdl);
    return TRUE;
}

// GL context and font lists

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (dc != &s_windowDc || !s_window.sdl) return nullptr;
    HGLRC__* slot = nullptr;
    for (HGLRC__& candidate : s_contexts)
        if (!candidate.context) {
            slot = &candidate;
            break;
        }
    if (!slot) return nullptr;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    slot->context = SDL_GL_CreateContext(s_window.sdl);
    if (!slot->context) {
        std::fprintf(stderr, "platform: no GL context: %s\n", SDL_GetError());
        return nullptr;
    }
    // SDL makes a new context current; WGL does not.
    SDL_GL_MakeCurrent(previousWindow, previousContext);
    return slot;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    if (!context) {
        if (s_video <= 0) return FALSE;
        return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0 ? TRUE : FALSE;
    }
    HGLRC__* slot = liveContext(context);
    if (!slot || dc != &s_windowDc || !s_window.sdl) return FALSE;
    return SDL_GL_MakeCurrent(s_window.sdl, slot->context) == 0 ? TRUE : FALSE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    HGLRC__* slot = liveContext(context);
    if (!slot) return FALSE;
    SDL_GL_DeleteContext(slot->context);  // leaves no context current if it was
    slot->context = nullptr;
    return TRUE;
}

PROC WINAPI wglGetProcAddress(LPCSTR name) {
    if (!name || s_video <= 0 || !SDL_GL_GetCurrentContext()) return nullptr;
    // Through the generic function type: the caller casts back to BOOL (*)(int).
    if (std::strcmp(name, "wglSwapIntervalEXT") == 0)
        return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(swapIntervalExt));
    return nullptr;
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    if (!isOurDc(dc) || s_video <= 0 || !SDL_GL_GetCurrentContext()) return FALSE;
    if (dc->font != &s_systemFont) return FALSE;
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return FALSE;
    FT_Face face;
    if (!openSystemFont(library, &face)) {
        FT_Done_FreeType(library);
        return FALSE;
    }
    for (int drained = 0; drained < 16 && glGetError() != GL_NO_ERROR; ++drained) {
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    std::vector<GLubyte> rows;
    for (DWORD i = 0; i < count; ++i) {
        glNewList(listBase + i, GL_COMPILE);
        compileGlyph(face, unicodeOf(first + i), &rows);
        glEndList();
    }
    glPopClientAttrib();
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return glGetError() == GL_NO_ERROR ? TRUE : FALSE;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (!isOurDc(dc)) return nullptr;
    HGDIOBJ previous;
    if (object == &s_systemFont) {
        previous = dc->font;
        dc->font = object;
    } else if (object == &s_whiteBrush || object == &s_blackBrush) {
        previous = dc->brush;
        dc->brush = object;
    } else {
        return nullptr;
    }
    return previous;
}

// Messages

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    pumpSystem();
    for (std::size_t i = 0; i < s_queueCount; ++i) {
        const MSG& waiting = s_queue[(s_queueHead + i) % kQueueCapacity];
        if ((window && waiting.hwnd != window) || !inRange(waiting.message, filterMin, filterMax))
            continue;
        *msg = waiting;
        if (removeFlags & PM_REMOVE) {
            for (std::size_t j = i; j > 0; --j)
                s_queue[(s_queueHead + j) % kQueueCapacity] =
                    s_queue[(s_queueHead + j - 1) % kQueueCapacity];
            s_queueHead = (s_queueHead + 1) % kQueueCapacity;
            --s_queueCount;
        }
        return TRUE;
    }
    if (s_quitPosted && inRange(WM_QUIT, filterMin, filterMax)) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(s_quitCode);
        msg->time = s_video > 0 ? SDL_GetTicks() : 0;
        cursorPosition(&msg->pt);
        if (removeFlags & PM_REMOVE) s_quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !isWindow(msg->hwnd)) return 0;
    return s_window.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

void WINAPI PostQuitMessage(int exitCode) {
    s_quitPosted = true;
    s_quitCode = exitCode;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isWindow(window)) return 0;
    return s_window.proc(window, message, wParam, lParam);
}

// Mouse

BOOL WINAPI GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    // A motion that came after the last warp replaces the warp's position: take in
    // what SDL has waiting before trusting that position.
    if (s_cursorWarped && s_video > 0) pumpSystem();
    if (!s_cursorWarped && !videoUp()) return FALSE;
    return cursorPosition(point) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND window, RECT* rect) {
    if (!rect) return FALSE;
    if (window == &s_desktopWindow) {
        SDL_DisplayMode mode;
        if (!videoUp() || SDL_GetCurrentDisplayMode(0, &mode) != 0) return FALSE;
        *rect = RECT{0, 0, mode.w, mode.h};
        return TRUE;
    }
    if (!isWindow(window)) return FALSE;
    int x = s_window.x, y = s_window.y, width = s_window.width, height = s_window.height;
    if (s_window.sdl) {
        SDL_GetWindowPosition(s_window.sdl, &x, &y);
        SDL_GetWindowSize(s_window.sdl, &width, &height);
    }
    *rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    if (!videoUp() || SDL_WarpMouseGlobal(x, y) != 0) return FALSE;
    s_cursorWarped = true;
    s_cursorWarp = POINT{x, y};
    return TRUE;
}

// Time

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = kNanosecondsPerSecond;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter) {
    timespec now;
    if (!counter || clock_gettime(CLOCK_MONOTONIC, &now) != 0) return FALSE;
    counter->QuadPart = static_cast<long long>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    return TRUE;
}

// Dialogue

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (!caption) caption = "Error";
    if (!text) text = "";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (dialogsWanted()) {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        const UINT icon = type & 0xF0u;
        if (icon == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;
        else if (icon == MB_ICONWARNING) flags = SDL_MESSAGEBOX_WARNING;
        SDL_ShowSimpleMessageBox(flags, caption, text, isWindow(owner) ? s_window.sdl : nullptr);
    }
    return IDOK;
}

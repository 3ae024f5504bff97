// The Linux backend's state, in one place: the records behind the handles it hands
// out and everything it remembers between calls. Every file of this folder works
// on the one instance, g_layer (defined in entry.cpp); none keeps state of its own
// (the display guard's process keeps its own, in guard.cpp).
// The functions that the files call across the folder are declared here too.
#pragma once

#include <SDL.h>

#include <csignal>
#include <future>
#include <vector>

#include "shell/platform/platform.h"
#include "shell/platform/sdl/display.h"
#include "shell/platform/sdl/glyphs.h"
#include "shell/platform/sdl/queue.h"

// The records behind the handles.
struct HINSTANCE__ {
    int unused;
};

struct HWND__ {
    bool exists;  // CreateWindowExA has filled the record
    WNDPROC proc;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;  // display 0's coordinates, as on Windows
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

namespace sdlLayer {

constexpr int kMaxClasses = 16;
constexpr ATOM kFirstAtom = 0xC000;  // where Windows numbers registered classes
constexpr int kMaxContexts = 4;
constexpr int kMaxFormats = 8;
constexpr int kMaxCrtcOutputs = 8;

struct WindowClass {
    char name[256];
    WNDPROC proc;
};

struct FullScreen {
    bool pending = false;    // asked for before the SDL window existed
    bool active = false;     // the window covers display 0 in `mode`
    bool viaXrandr = false;  // switched by the layer on X11, not by SDL's full-screen
    SDL_DisplayMode mode = {};  // the listed mode asked for
};

// Display 0's CRTC as it was before the layer switched its mode (X ids).
struct SwitchedCrtc {
    bool switched = false;
    unsigned long crtc = 0;
    unsigned long mode = 0;
    int x = 0, y = 0;
    unsigned short rotation = 0;
    int outputCount = 0;
    unsigned long outputs[kMaxCrtcOutputs] = {};
};

// The display guard process (guard.cpp).
struct Guard {
    int pid = 0;
    int socket = -1;  // the program's end of the connection to the guard
    volatile std::sig_atomic_t switched = 0;  // the guard knows of a switch in force
};

struct Layer {
    // Entry and signals.
    volatile std::sig_atomic_t closeSignalsReceived = 0;  // written by the signal handler
    std::sig_atomic_t closeSignalsHandled = 0;
    int video = 0;  // 0: not tried yet, 1: running, -1: no display
    HINSTANCE__ instance = {0};
    Guard guard;
    alignas(16) char crashStack[64 * 1024] = {};  // the crash handler's, for a stack overflow

    // Window classes, the window, pixel formats, GL contexts.
    WindowClass classes[kMaxClasses] = {};
    int classCount = 0;
    HWND__ window = {};
    HWND__ desktopWindow = {};
    HGDIOBJ__ whiteBrush = {false};
    HGDIOBJ__ blackBrush = {false};
    HGDIOBJ__ systemFont = {true};
    HDC__ windowDc = {&systemFont, &whiteBrush};  // a new DC's selection, as on Windows
    HDC__ desktopDc = {&systemFont, &whiteBrush};
    HGLRC__ contexts[kMaxContexts] = {};
    PIXELFORMATDESCRIPTOR formats[kMaxFormats] = {};
    int formatCount = 0;
    // The window's SDL window as ChoosePixelFormat made it to learn what a request
    // gets, hidden until SetPixelFormat takes it (format numbered `readyFormat`),
    // and the context made on it then, for the first wglCreateContext.
    SDL_Window* readyWindow = nullptr;
    int readyFormat = 0;
    SDL_GLContext readyContext = nullptr;

    // Display modes.
    FullScreen fullScreen;
    SwitchedCrtc switchedCrtc;
    bool xRequestRefused = false;  // set by the X error handler while a request is checked

    // Messages.
    MessageQueue queue;
    bool quitPosted = false;
    int quitCode = 0;

    // Fonts: the system font's 256 glyphs, rasterised on a thread of their own from
    // the first GL context on, while the program goes on with its own start-up.
    bool systemGlyphsStarted = false;
    std::future<std::vector<Glyph>> systemGlyphsComing;
    std::vector<Glyph> systemGlyphs;  // empty when the font could not be loaded

    // Mouse.
    int cursorCount = 0;  // Windows' display counter: shown while >= 0
    bool cursorWarped = false;
    POINT cursorWarp = {0, 0};  // display 0's coordinates
};

extern Layer g_layer;

// Entry (entry.cpp): starts SDL's video on first use; false without a display.
bool videoUp();
inline bool videoRunning() { return g_layer.video > 0; }

// Window and GL (window.cpp).
bool isWindow(HWND window);
bool isOurDc(HDC dc);
void dropUnusedWindow();  // what ChoosePixelFormat made and nobody took

// The display guard (guard.cpp).
void startGuard();
void guardNoteSwitched(const SwitchedCrtc& saved, const char* displayName);
void guardNoteRestored();
void guardRestoreNow();  // async-signal-safe

// Display modes (modes.cpp).
bool enterFullScreen();  // applies g_layer.fullScreen.mode with the SDL window there
bool leaveFullScreen();  // undoes it (nothing to undo: true)
bool currentMode(SDL_DisplayMode* mode);  // display 0's mode in force
void reportXErrors();  // X errors reported on standard error instead of ending the process
// Display 0's top-left corner on the X screen ((0, 0) without video): where the
// layer's coordinates, Windows' screen coordinates, have their origin.
DisplayOrigin displayOrigin();

// Events (events.cpp).
void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void pumpSystem();  // moves signals and SDL's events into the queue

// Fonts (fonts.cpp).
void prepareSystemFont();

// Mouse (mouse.cpp).
bool cursorPosition(POINT* point);
void applyCursorVisibility();

}  // namespace sdlLayer

// Window and GL: window classes, the window, the screen facts, pixel formats, GL
// contexts and the buffer swap.
//
// Provides:
// - Window classes (name -> window procedure; names compare case-insensitively and
//   a second registration of a name fails) and one window per process, made in two
//   steps: CreateWindowExA fills the window's record (NULL without a display, with
//   SDL's reason on standard error), SetPixelFormat makes the borderless SDL
//   OpenGL window real at the record's position and size, shown with WS_VISIBLE.
//   MoveWindow works before and after that. Positions are Windows' screen
//   coordinates: display 0's top-left corner is (0, 0) wherever display 0 lies on
//   the X screen. SetFocus raises the window and gives it the keyboard.
// - Screen facts of display 0: GetSystemMetrics(SM_CXSCREEN/SM_CYSCREEN) and
//   GetDeviceCaps(BITSPIXEL) follow the mode in force (8 x its bytes per pixel).
// - Pixel formats: ChoosePixelFormat tries the request on a window and context and
//   numbers what it got; DescribePixelFormat reports that (a 24-bit depth request
//   may come back as 32). While the window has no format, the window tried on is
//   the window's own SDL window, made hidden where its record says, and kept with
//   its context: SetPixelFormat with that format takes it (and shows it), the first
//   wglCreateContext hands out that context, so the program pays for one window
//   and one context. Otherwise the window is a hidden one, thrown away; and
//   SetPixelFormat with another format makes the window anew.
//   GL contexts through SDL_GL_*; wglCreateContext leaves the current context as
//   it was. wglGetProcAddress knows only "wglSwapIntervalEXT" (SDL_GL_SetSwapInterval,
//   which fails harmlessly where the driver cannot do it).
//
// Leaves out (these say so by their results):
// - LoadIconA returns NULL: there are no resources on Linux. The class's
//   background brush is recorded but never painted; the application's frames
//   cover the window. There are no child windows, no second window and no window
//   destruction (the window goes with the process); CreateWindowExA returns NULL
//   for those. No creation, size, paint or focus messages are sent.
// - Only the RGBA pixel type. GetSystemMetrics answers only SM_CXSCREEN and
//   SM_CYSCREEN, GetDeviceCaps only BITSPIXEL; other indices give 0.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {

// A class name is a string or, below 0x10000, an atom from RegisterClassA.
int findClass(LPCSTR name) {
    auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value == 0) return -1;
    if (value < 0x10000) {
        int index = static_cast<int>(value) - kFirstAtom;
        return index >= 0 && index < g_layer.classCount ? index : -1;
    }
    for (int i = 0; i < g_layer.classCount; ++i)
        if (strcasecmp(g_layer.classes[i].name, name) == 0) return i;
    return -1;
}

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

// The format that the current context has, as Windows describes one.
void describeCurrentContext(PIXELFORMATDESCRIPTOR* obtained) {
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
    obtained->cAlphaShift =
        obtained->cAlphaBits ? static_cast<BYTE>(obtained->cRedShift + obtained->cRedBits) : 0;
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
}

Uint32 windowFlags(const HWND__& record) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (record.exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    return flags;
}

// The window's own SDL window, hidden, where its record says, with the visual
// that `format` asks for (SDL fixes the visual when a window is made).
SDL_Window* createWindow(const PIXELFORMATDESCRIPTOR& format) {
    const HWND__& record = g_layer.window;
    setGlAttributes(format);
    const POINT place = toScreen(POINT{record.x, record.y}, displayOrigin());
    SDL_Window* window = SDL_CreateWindow(record.title, place.x, place.y, std::max(record.width, 1),
                                          std::max(record.height, 1), windowFlags(record));
    if (!window) std::fprintf(stderr, "platform: cannot create the window: %s\n", SDL_GetError());
    return window;
}

// What the request gets: the attributes are tried on a window with a context of
// its own. While the window has no pixel format that window is the window's own,
// kept with its context for SetPixelFormat and wglCreateContext; otherwise a
// hidden one, made for this and thrown away.
bool tryFormat(const PIXELFORMATDESCRIPTOR& request, PIXELFORMATDESCRIPTOR* obtained,
               bool keepForTheWindow) {
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_Window* window;
    if (keepForTheWindow) {
        dropUnusedWindow();
        window = createWindow(request);
    } else {
        setGlAttributes(request);
        window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN |
                                                      SDL_WINDOW_BORDERLESS);
        if (!window) std::fprintf(stderr, "platform: no window for the pixel format: %s\n", SDL_GetError());
    }
    if (!window) return false;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context) {
        describeCurrentContext(obtained);
    } else {
        std::fprintf(stderr, "platform: no GL context for the pixel format: %s\n", SDL_GetError());
    }
    SDL_GL_MakeCurrent(previousWindow, previousContext);
    if (keepForTheWindow && context) {
        g_layer.readyWindow = window;
        g_layer.readyContext = context;
    } else {
        if (context) SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
    }
    return context != nullptr;
}

BOOL swapIntervalExt(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE; }

HGLRC__* liveContext(HGLRC context) {
    for (HGLRC__& slot : g_layer.contexts)
        if (&slot == context && slot.context) return &slot;
    return nullptr;
}

}  // namespace

void dropUnusedWindow() {
    if (g_layer.readyContext) SDL_GL_DeleteContext(g_layer.readyContext);
    if (g_layer.readyWindow && g_layer.readyWindow != g_layer.window.sdl)
        SDL_DestroyWindow(g_layer.readyWindow);
    g_layer.readyContext = nullptr;
    g_layer.readyWindow = nullptr;
    g_layer.readyFormat = 0;
}

bool isWindow(HWND window) { return window == &g_layer.window && g_layer.window.exists; }
bool isOurDc(HDC dc) { return dc == &g_layer.windowDc || dc == &g_layer.desktopDc; }

}  // namespace sdlLayer

using namespace sdlLayer;

// Window class and window

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpfnWndProc) return 0;
    LPCSTR name = windowClass->lpszClassName;
    if (reinterpret_cast<std::uintptr_t>(name) < 0x10000 || !*name) return 0;
    if (std::strlen(name) >= sizeof g_layer.classes[0].name) return 0;
    if (findClass(name) >= 0 || g_layer.classCount == kMaxClasses) return 0;
    WindowClass& entry = g_layer.classes[g_layer.classCount];
    std::strcpy(entry.name, name);
    entry.proc = windowClass->lpfnWndProc;
    return static_cast<ATOM>(kFirstAtom + g_layer.classCount++);
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU, HINSTANCE, void*) {
    const int index = findClass(className);
    HWND__& window = g_layer.window;
    if (index < 0 || parent || window.exists) return nullptr;
    if (!videoUp()) return nullptr;
    window = HWND__{};
    window.exists = true;
    window.proc = g_layer.classes[index].proc;
    window.style = style;
    window.exStyle = exStyle;
    window.x = x;
    window.y = y;
    window.width = width;
    window.height = height;
    std::snprintf(window.title, sizeof window.title, "%s", windowName ? windowName : "");
    return &window;
}

HWND WINAPI SetFocus(HWND window) {
    SDL_Window* sdl = g_layer.window.sdl;
    if (!isWindow(window) || !sdl) return nullptr;
    HWND previous = SDL_GetKeyboardFocus() == sdl ? &g_layer.window : nullptr;
    SDL_RaiseWindow(sdl);
    SDL_SetWindowInputFocus(sdl);
    return previous;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    if (!isWindow(window)) return FALSE;
    HWND__& record = g_layer.window;
    record.x = x;
    record.y = y;
    record.width = width;
    record.height = height;
    // A full-screen window keeps the mode's geometry; the record applies on leaving.
    if (record.sdl && !g_layer.fullScreen.active) {
        const POINT place = toScreen(POINT{x, y}, displayOrigin());
        SDL_SetWindowPosition(record.sdl, place.x, place.y);
        SDL_SetWindowSize(record.sdl, std::max(width, 1), std::max(height, 1));
    }
    return TRUE;
}

// Screen facts

int WINAPI GetSystemMetrics(int index) {
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !videoUp()) return 0;
    SDL_DisplayMode mode;
    if (!currentMode(&mode)) return 0;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

HWND WINAPI GetDesktopWindow() { return &g_layer.desktopWindow; }

HDC WINAPI GetDC(HWND window) {
    if (!window || window == &g_layer.desktopWindow) return videoUp() ? &g_layer.desktopDc : nullptr;
    if (isWindow(window)) return &g_layer.windowDc;
    return nullptr;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
    if (!isOurDc(dc) || index != BITSPIXEL || !videoUp()) return 0;
    SDL_DisplayMode mode;
    if (!currentMode(&mode)) return 0;
    return static_cast<int>(depthOfBytesPerPixel(SDL_BYTESPERPIXEL(mode.format)));
}

int WINAPI ReleaseDC(HWND, HDC dc) { return isOurDc(dc) ? 1 : 0; }

// Pixel format and buffers

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    if (!isOurDc(dc) || !request || request->iPixelType != PFD_TYPE_RGBA || !videoUp()) return 0;
    const HWND__& record = g_layer.window;
    const bool forTheWindow = dc == &g_layer.windowDc && record.exists && !record.sdl;
    PIXELFORMATDESCRIPTOR obtained;
    if (!tryFormat(*request, &obtained, forTheWindow)) return 0;
    int format = 0;
    for (int i = 0; i < g_layer.formatCount && !format; ++i)
        if (std::memcmp(&g_layer.formats[i], &obtained, sizeof obtained) == 0) format = i + 1;
    if (!format && g_layer.formatCount < kMaxFormats) {
        g_layer.formats[g_layer.formatCount] = obtained;
        format = ++g_layer.formatCount;
    }
    if (!format) dropUnusedWindow();
    if (forTheWindow) g_layer.readyFormat = format;
    return format;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    if (!isOurDc(dc)) return 0;
    if (!description) return g_layer.formatCount;
    if (format < 1 || format > g_layer.formatCount || bytes < sizeof *description) return 0;
    *description = g_layer.formats[format - 1];
    return g_layer.formatCount;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    HWND__& record = g_layer.window;
    if (dc != &g_layer.windowDc || !record.exists || format < 1 || format > g_layer.formatCount)
        return FALSE;
    if (record.pixelFormat != 0) return record.pixelFormat == format ? TRUE : FALSE;
    // The window that ChoosePixelFormat made for this format, where the record says
    // now; else a new one.
    SDL_Window* window = nullptr;
    if (g_layer.readyWindow && g_layer.readyFormat == format) {
        window = g_layer.readyWindow;
        const POINT place = toScreen(POINT{record.x, record.y}, displayOrigin());
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(window, &x, &y);
        SDL_GetWindowSize(window, &width, &height);
        if (x != place.x || y != place.y) SDL_SetWindowPosition(window, place.x, place.y);
        if (width != std::max(record.width, 1) || height != std::max(record.height, 1))
            SDL_SetWindowSize(window, std::max(record.width, 1), std::max(record.height, 1));
    } else {
        dropUnusedWindow();
        window = createWindow(g_layer.formats[format - 1]);
        if (!window) return FALSE;
    }
    g_layer.readyWindow = window;
    record.sdl = window;
    record.pixelFormat = format;
    applyCursorVisibility();
    if (record.style & WS_VISIBLE) SDL_ShowWindow(window);
    if (g_layer.fullScreen.pending) enterFullScreen();
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    if (dc != &g_layer.windowDc || !g_layer.window.sdl) return FALSE;
    SDL_GL_SwapWindow(g_layer.window.sdl);
    return TRUE;
}

// GL context

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (dc != &g_layer.windowDc || !g_layer.window.sdl) return nullptr;
    HGLRC__* slot = nullptr;
    for (HGLRC__& candidate : g_layer.contexts)
        if (!candidate.context) {
            slot = &candidate;
            break;
        }
    if (!slot) return nullptr;
    // The context that ChoosePixelFormat made on this window: new, never current
    // since, so as good as one made now.
    prepareSystemFont();  // wanted soon by most programs that make a context
    if (g_layer.readyContext && g_layer.readyWindow == g_layer.window.sdl) {
        slot->context = g_layer.readyContext;
        g_layer.readyContext = nullptr;
        return slot;
    }
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    slot->context = SDL_GL_CreateContext(g_layer.window.sdl);
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
        if (!videoRunning()) return FALSE;
        return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0 ? TRUE : FALSE;
    }
    HGLRC__* slot = liveContext(context);
    if (!slot || dc != &g_layer.windowDc || !g_layer.window.sdl) return FALSE;
    return SDL_GL_MakeCurrent(g_layer.window.sdl, slot->context) == 0 ? TRUE : FALSE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    HGLRC__* slot = liveContext(context);
    if (!slot) return FALSE;
    SDL_GL_DeleteContext(slot->context);  // leaves no context current if it was
    slot->context = nullptr;
    return TRUE;
}

PROC WINAPI wglGetProcAddress(LPCSTR name) {
    if (!name || !videoRunning() || !SDL_GL_GetCurrentContext()) return nullptr;
    // Through the generic function type: the caller casts back to BOOL (*)(int).
    if (std::strcmp(name, "wglSwapIntervalEXT") == 0)
        return reinterpret_cast<PROC>(reinterpret_cast<void (*)()>(swapIntervalExt));
    return nullptr;
}

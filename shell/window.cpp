// The shell's window: class and window, full-screen display mode, pixel format and
// GL context.
#include "shell/window.h"

#include <cstdio>
#include <cstring>

#include "shell/app.h"
#include "shell/pump.h"

HWND g_window = nullptr;
HDC g_deviceContext = nullptr;
HGLRC g_glContext = nullptr;

namespace {
// The display-mode record up to, not including, the two panning fields.
constexpr WORD kDevModeSize = 148;
constexpr int kSwapIntervalUnchanged = 2;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel-format record must be 40 bytes");
static_assert(sizeof(DEVMODEA) >= kDevModeSize, "display-mode record too small");

typedef BOOL(WINAPI* SwapIntervalProc)(int interval);

char s_message[1000];
bool s_displayModeChanged = false;

void clearDevMode(DEVMODEA* mode) {
    std::memset(mode, 0, sizeof *mode);
    mode->dmSize = kDevModeSize;
    mode->dmDriverExtra = 0;
}

// Among the listed modes of exactly width x height x bitsPerPixel that pass
// CDS_TEST, takes the highest rate not above the wanted one; a rate above it only
// while nothing at or below it has been taken, and then the lowest such. With the
// modes listed in rising rate order that is the closest rate at or below the wish,
// else the closest above it. Returns false when no mode fits.
bool findDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD frequency,
                     DEVMODEA* chosen) {
    DEVMODEA candidate;
    for (DWORD i = 0;; ++i) {
        clearDevMode(&candidate);
        if (!EnumDisplaySettingsA(nullptr, i, &candidate)) break;
        if (candidate.dmPelsWidth != width || candidate.dmPelsHeight != height ||
            candidate.dmBitsPerPel != bitsPerPixel)
            continue;
        DWORD f = candidate.dmDisplayFrequency;
        DWORD g = chosen->dmDisplayFrequency;
        bool contender = f > frequency ? (g == 0 || f < g) : f >= g;
        if (contender && ChangeDisplaySettingsA(&candidate, CDS_TEST) == DISP_CHANGE_SUCCESSFUL)
            *chosen = candidate;
    }
    return chosen->dmPelsWidth != 0;
}

void applyDisplayMode() {
    const DWORD width = g_settings.width;
    const DWORD height = g_settings.height;
    const DWORD bitsPerPixel = g_settings.bitsPerPixel;
    const DWORD frequency = g_settings.displayFrequency;

    DEVMODEA chosen;
    std::memset(&chosen, 0, sizeof chosen);
    if (frequency == 0) {
        chosen.dmSize = kDevModeSize;
        chosen.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        chosen.dmPelsWidth = width;
        chosen.dmPelsHeight = height;
        chosen.dmBitsPerPel = bitsPerPixel;
    } else if (!findDisplayMode(width, height, bitsPerPixel, frequency, &chosen)) {
        std::snprintf(s_message, sizeof s_message, "Can't set device mode %ix%ix%i",
                      static_cast<int>(width), static_cast<int>(height),
                      static_cast<int>(bitsPerPixel));
        shellLog(logWarning, s_message);
        clearDevMode(&chosen);
        // Without the desktop's mode there is nothing sound to switch to: the window
        // keeps the wanted size and the display stays as it is.
        if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &chosen)) return;
    }

    g_settings.width = chosen.dmPelsWidth;
    g_settings.height = chosen.dmPelsHeight;
    g_settings.bitsPerPixel = chosen.dmBitsPerPel;
    g_settings.displayFrequency = chosen.dmDisplayFrequency;
    MoveWindow(g_window, 0, 0, static_cast<int>(g_settings.width),
               static_cast<int>(g_settings.height), FALSE);
    s_displayModeChanged = true;
    ChangeDisplaySettingsA(&chosen, CDS_FULLSCREEN);
}

BYTE lowByte(std::int32_t value) { return static_cast<BYTE>(value & 0xff); }
}  // namespace

int shellSetPixelFormat() {
    PIXELFORMATDESCRIPTOR request;
    std::memset(&request, 0, sizeof request);
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = g_settings.pixelFormatFlags | PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = lowByte(g_settings.colorBits);
    request.cAlphaBits = lowByte(g_settings.alphaBits);
    request.cAccumBits = lowByte(g_settings.accumBits);
    request.cDepthBits = lowByte(g_settings.depthBits);
    request.cStencilBits = lowByte(g_settings.stencilBits);
    request.iLayerType = PFD_MAIN_PLANE;

    int format = ChoosePixelFormat(g_deviceContext, &request);
    if (format == 0) return 0;
    DescribePixelFormat(g_deviceContext, format, sizeof request, &request);
    return SetPixelFormat(g_deviceContext, format, &request) ? 1 : 0;
}

int shellOpenWindow(const char* title, int iconId) {
    ShowCursor(FALSE);

    if (g_settings.width == 0) g_settings.width = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
    if (g_settings.height == 0)
        g_settings.height = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
    if (g_settings.bitsPerPixel == 0) {
        HWND desktop = GetDesktopWindow();
        HDC desktopDc = GetDC(desktop);
        g_settings.bitsPerPixel = static_cast<DWORD>(GetDeviceCaps(desktopDc, BITSPIXEL));
        ReleaseDC(desktop, desktopDc);
    }

    shellInstallDefaultCallbacks();

    WNDCLASSA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = shellWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = iconId != 0 ? LoadIconA(g_instance, MAKEINTRESOURCEA(iconId)) : nullptr;
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = title;
    if (!RegisterClassA(&windowClass)) {
        MessageBoxA(nullptr, "Failed To Register The Window Class.", "Error", MB_OK | MB_ICONERROR);
        return 0;
    }

    DWORD exStyle = WS_EX_APPWINDOW | (g_settings.fullscreen ? WS_EX_TOPMOST : 0u);
    g_window = CreateWindowExA(exStyle, title, title,
                               WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               static_cast<int>(g_settings.width),
                               static_cast<int>(g_settings.height), nullptr, nullptr, g_instance,
                               nullptr);
    if (!g_window) return 0;

    g_deviceContext = GetDC(g_window);
    if (!g_deviceContext) return 0;
    shellSetPixelFormat();  // the context creation below decides whether the format will do
    SetFocus(g_window);

    if (g_settings.fullscreen) applyDisplayMode();

    shellTimerSampleFrequency();

    g_glContext = wglCreateContext(g_deviceContext);
    if (!g_glContext) return 0;
    if (!wglMakeCurrent(g_deviceContext, g_glContext)) return 0;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (g_settings.fullscreen)
        glViewport(0, 0, static_cast<GLsizei>(g_settings.width),
                   static_cast<GLsizei>(g_settings.height));

    if (g_settings.swapInterval != kSwapIntervalUnchanged) {
        PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
        if (proc) {
            // Through a generic function pointer: the look-up's type says nothing
            // about the real signature.
            auto swapInterval =
                reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void (*)()>(proc));
            swapInterval(g_settings.swapInterval);
        }
    }
    return 1;
}

int shellCloseWindow() {
    if (g_settings.fullscreen || s_displayModeChanged) {
        ChangeDisplaySettingsA(nullptr, 0);
        s_displayModeChanged = false;
    }
    if (g_glContext) {
        if (!wglMakeCurrent(g_deviceContext, nullptr)) return 0;
        if (!wglDeleteContext(g_glContext)) return 0;
        g_glContext = nullptr;
    }
    if (g_deviceContext) {
        ReleaseDC(g_window, g_deviceContext);
        g_deviceContext = nullptr;
    }
    return 1;
}

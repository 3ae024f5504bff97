// The platform seam: the Win32, WGL and OpenGL operations that the shell and the
// demo call, by their Win32 names.
//
// On Windows they are the system's own (user32, gdi32, kernel32, opengl32, glu32)
// and this header only pulls in the system headers. Elsewhere this header declares
// the subset that the program uses, with Win32's names, values and record layouts,
// and a backend defines it: the Linux layer on SDL2, FreeType and fontconfig in sdl/
// (the real program), or the tests' scripted stand-in with recorded calls
// (tests/support/scripted_platform.cpp). CMake links exactly one of them; code above
// the seam never knows which.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#else

#include <cstdint>

#include <GL/gl.h>
#include <GL/glu.h>

#define WINAPI
#define CALLBACK
#ifndef APIENTRY  // GL/gl.h defines it already
#define APIENTRY
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef std::uint16_t ATOM;

struct HWND__;
struct HDC__;
struct HGLRC__;
struct HINSTANCE__;
struct HICON__;
struct HGDIOBJ__;
typedef HWND__* HWND;
typedef HDC__* HDC;
typedef HGLRC__* HGLRC;
typedef HINSTANCE__* HINSTANCE;
typedef HICON__* HICON;
typedef HICON__* HCURSOR;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ__* HBRUSH;
typedef HGDIOBJ__* HFONT;
typedef HWND__* HMENU;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef std::intptr_t(WINAPI* PROC)();

#define TRUE 1
#define FALSE 0

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    long long QuadPart;
};

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

// Win32's display-mode record, laid out as on Windows so that the size the shell
// writes into dmSize (148: the record without the two panning fields) means the same.
struct DEVMODEA {
    BYTE dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    LONG dmPositionX;
    LONG dmPositionY;
    DWORD dmDisplayOrientation;
    DWORD dmDisplayFixedOutput;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};

#define MAKEINTRESOURCEA(i) ((LPSTR)(std::uintptr_t)(WORD)(i))
#define MAKEINTRESOURCE(i) MAKEINTRESOURCEA(i)

// Window class and window styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020
#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u
#define WS_CLIPSIBLINGS 0x04000000u
#define WS_CLIPCHILDREN 0x02000000u
#define WS_EX_TOPMOST 0x00000008u
#define WS_EX_APPWINDOW 0x00040000u

// Screen facts and stock objects.
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define BITSPIXEL 12
#define WHITE_BRUSH 0
#define BLACK_BRUSH 4
#define SYSTEM_FONT 13

// Display modes.
#define DM_BITSPERPEL 0x00040000u
#define DM_PELSWIDTH 0x00080000u
#define DM_PELSHEIGHT 0x00100000u
#define DM_DISPLAYFREQUENCY 0x00400000u
#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)
#define CDS_TEST 0x00000002u
#define CDS_FULLSCREEN 0x00000004u
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)

// Pixel formats.
#define PFD_DOUBLEBUFFER 0x00000001u
#define PFD_DRAW_TO_WINDOW 0x00000004u
#define PFD_SUPPORT_OPENGL 0x00000020u
#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0

// Messages.
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCOMMAND 0x0112
#define SC_CLOSE 0xF060
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Message box.
#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONINFORMATION 0x00000040u
#define IDOK 1

// Process entry.
#define SW_SHOWDEFAULT 10

// Virtual-key codes.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60  // VK_NUMPAD1..9 follow
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70  // VK_F2..F11 follow
#define VK_F4 0x73
#define VK_F10 0x79
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_OEM_1 0xBA       // ;:
#define VK_OEM_PLUS 0xBB    // =+
#define VK_OEM_COMMA 0xBC   // ,<
#define VK_OEM_MINUS 0xBD   // -_
#define VK_OEM_PERIOD 0xBE  // .>
#define VK_OEM_2 0xBF       // /?
#define VK_OEM_3 0xC0       // `~
#define VK_OEM_4 0xDB       // [{
#define VK_OEM_5 0xDC       // \|
#define VK_OEM_6 0xDD       // ]}
#define VK_OEM_7 0xDE       // '"
#define VK_OEM_102 0xE2     // the extra key beside left Shift on 102-key boards

// The process entry, defined by the shell and called by the backend's own main().
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Window class and window.
ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass);
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
HGDIOBJ WINAPI GetStockObject(int object);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, void* param);
HWND WINAPI SetFocus(HWND window);
BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
int WINAPI ShowCursor(BOOL show);

// Screen facts.
int WINAPI GetSystemMetrics(int index);
HWND WINAPI GetDesktopWindow();
HDC WINAPI GetDC(HWND window);
int WINAPI GetDeviceCaps(HDC dc, int index);
int WINAPI ReleaseDC(HWND window, HDC dc);

// Display modes.
BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode);
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// Pixel format and buffers.
int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
int WINAPI DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description);
BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
BOOL WINAPI SwapBuffers(HDC dc);

// GL context and font lists.
HGLRC WINAPI wglCreateContext(HDC dc);
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context);
BOOL WINAPI wglDeleteContext(HGLRC context);
PROC WINAPI wglGetProcAddress(LPCSTR name);
BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);

// Messages.
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Mouse.
BOOL WINAPI GetCursorPos(POINT* point);
BOOL WINAPI GetWindowRect(HWND window, RECT* rect);
BOOL WINAPI SetCursorPos(int x, int y);

// Time.
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* counter);

// Dialogue.
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#endif

// Display modes: the mode list of display 0 and the full-screen change.
//
// Provides:
// - EnumDisplaySettingsA: SDL's list of display 0 in reverse (rates rising within a
//   size, as Windows drivers list them; see display.h), ENUM_CURRENT_SETTINGS (the
//   mode in force) and ENUM_REGISTRY_SETTINGS (the desktop's). Depths are 8 x the
//   bytes per pixel, as GetDeviceCaps(BITSPIXEL) counts them.
// - ChangeDisplaySettingsA: CDS_TEST matches a listed mode exactly (chooseListedMode
//   in display.h) and changes nothing. Any other flags make the change, remembered
//   until the window exists if it does not yet: on X11 the layer switches display
//   0's CRTC itself with XRandR (to the server's mode behind the listed one, in
//   place: display 0 stays where it is on the screen) and puts the window over
//   display 0 at the mode's size, raised; a window manager, if one runs, is also
//   asked for its full-screen state, without waiting for its answer. (SDL's own
//   full-screen waits up to 100 ms for a window manager's answer on entering and
//   again on leaving, also when none runs.) On other video drivers SDL's full-screen
//   window makes the change. A NULL record undoes it: display 0's CRTC back as it
//   was, the window back where its record says. The change is undone at exit too,
//   when the program has not done so.
// - While switched, the screen facts (GetSystemMetrics, GetDeviceCaps, the desktop
//   window's rectangle, ENUM_CURRENT_SETTINGS) follow the mode in force.
//
// Leaves out: only the NULL device (display 0); mode changes are never stored. A
// failed switch leaves the display as it was and returns DISP_CHANGE_FAILED.
#include <SDL_syswm.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {

ListedMode listedModeOf(const SDL_DisplayMode& mode) {
    return ListedMode{static_cast<DWORD>(mode.w), static_cast<DWORD>(mode.h),
                      depthOfBytesPerPixel(SDL_BYTESPERPIXEL(mode.format)),
                      static_cast<DWORD>(mode.refresh_rate)};
}

void fillDevMode(const SDL_DisplayMode& mode, DEVMODEA* record) {
    const ListedMode listed = listedModeOf(mode);
    record->dmDriverExtra = 0;
    record->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    record->dmBitsPerPel = listed.depth;
    record->dmPelsWidth = listed.width;
    record->dmPelsHeight = listed.height;
    record->dmDisplayFlags = 0;
    record->dmDisplayFrequency = listed.rate;
    std::memset(record->dmDeviceName, 0, sizeof record->dmDeviceName);
    if (const char* name = SDL_GetDisplayName(0))
        std::strncpy(reinterpret_cast<char*>(record->dmDeviceName), name,
                     sizeof record->dmDeviceName - 1);
}

bool findListedMode(const DEVMODEA& wanted, SDL_DisplayMode* found) {
    SDL_DisplayMode current, desktop;
    if (!currentMode(&current) || SDL_GetDesktopDisplayMode(0, &desktop) != 0) return false;
    std::vector<SDL_DisplayMode> modes;
    std::vector<ListedMode> listed;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        modes.push_back(mode);
        listed.push_back(listedModeOf(mode));
    }
    const int index = chooseListedMode(wanted, listedModeOf(current), listedModeOf(desktop), listed);
    if (index < 0) return false;
    *found = modes[static_cast<std::size_t>(index)];
    return true;
}

// X11

int catchXError(Display*, XErrorEvent*) {
    g_layer.xRequestRefused = true;
    return 0;
}

// Xlib's own handler ends the process from inside Xlib, and the exit handlers then
// wait on that same connection for ever.
int reportXError(Display* display, XErrorEvent* error) {
    char text[128] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "platform: X error (%s) on request %d.%d\n", text, error->request_code,
                 error->minor_code);
    return 0;
}

// SDL's connection to the X server, when the window is on one.
Display* xDisplay(Window* window = nullptr) {
    if (!g_layer.window.sdl) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(g_layer.window.sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    if (window) *window = info.info.x11.window;
    return info.info.x11.display;
}

struct XCrtc {
    RRCrtc id = 0;
    RROutput output = 0;
};

// Display 0's CRTC: the one whose place on the screen is display 0's bounds,
// driving the primary output if any does.
XCrtc displayZeroCrtc(Display* display, XRRScreenResources* resources) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) != 0) return XCrtc{};
    const RROutput primary = XRRGetOutputPrimary(display, DefaultRootWindow(display));
    XCrtc found;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (!output) continue;
        if (output->connection == RR_Connected && output->crtc) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc);
            if (crtc && crtc->x == bounds.x && crtc->y == bounds.y &&
                static_cast<int>(crtc->width) == bounds.w && static_cast<int>(crtc->height) == bounds.h &&
                (!found.id || resources->outputs[i] == primary))
                found = XCrtc{output->crtc, resources->outputs[i]};
            if (crtc) XRRFreeCrtcInfo(crtc);
        }
        XRRFreeOutputInfo(output);
    }
    return found;
}

// The server's mode behind the listed one, among those of the output.
RRMode screenModeOf(Display* display, XRRScreenResources* resources, RROutput outputId,
                    Rotation rotation, const SDL_DisplayMode& listed) {
    XRROutputInfo* output = XRRGetOutputInfo(display, resources, outputId);
    if (!output) return 0;
    const bool turned = (rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0;
    std::vector<ScreenMode> modes;
    std::vector<RRMode> ids;
    for (int i = 0; i < output->nmode; ++i) {
        for (int j = 0; j < resources->nmode; ++j) {
            const XRRModeInfo& info = resources->modes[j];
            if (info.id != output->modes[i]) continue;
            const double lines = static_cast<double>(info.hTotal) * info.vTotal;
            modes.push_back(ScreenMode{turned ? info.height : info.width,
                                       turned ? info.width : info.height,
                                       lines > 0 ? static_cast<double>(info.dotClock) / lines : 0.0});
            ids.push_back(info.id);
        }
    }
    XRRFreeOutputInfo(output);
    const int index = chooseScreenMode(modes, static_cast<DWORD>(listed.w),
                                       static_cast<DWORD>(listed.h),
                                       static_cast<DWORD>(listed.refresh_rate));
    return index < 0 ? 0 : ids[static_cast<std::size_t>(index)];
}

// Sets a CRTC, catching the server's refusal instead of letting Xlib end the process.
bool setCrtc(Display* display, XRRScreenResources* resources, RRCrtc crtc, int x, int y, RRMode mode,
             Rotation rotation, RROutput* outputs, int outputCount) {
    XSync(display, False);
    g_layer.xRequestRefused = false;
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(catchXError);
    const Status status = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, x, y, mode,
                                           rotation, outputs, outputCount);
    XSync(display, False);
    XSetErrorHandler(previous);
    return status == RRSetConfigSuccess && !g_layer.xRequestRefused;
}

bool windowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const bool present = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                            XA_WINDOW, &type, &format, &count, &left, &data) == Success &&
                         type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return present;
}

// Asks a window manager to add or remove the window's full-screen state; no answer
// is awaited (without a window manager nobody would give one).
void askWindowManagerForFullScreen(Display* display, Window window, bool fullScreen) {
    if (!windowManagerRuns(display)) return;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = fullScreen ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // a normal application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

void placeWindow(int x, int y, int width, int height) {
    const POINT place = toScreen(POINT{x, y}, displayOrigin());
    SDL_SetWindowPosition(g_layer.window.sdl, place.x, place.y);
    SDL_SetWindowSize(g_layer.window.sdl, std::max(width, 1), std::max(height, 1));
}

// Switches display 0 to the wanted mode with XRandR and covers it with the window.
bool enterOnX11(Display* display, Window window) {
    const SDL_DisplayMode& wanted = g_layer.fullScreen.mode;
    SwitchedCrtc& saved = g_layer.switchedCrtc;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    bool entered = false;
    const XCrtc crtc = saved.switched ? XCrtc{saved.crtc, saved.outputs[0]}
                                      : displayZeroCrtc(display, resources);
    XRRCrtcInfo* info = crtc.id ? XRRGetCrtcInfo(display, resources, crtc.id) : nullptr;
    const RRMode mode = info ? screenModeOf(display, resources, crtc.output, info->rotation, wanted) : 0;
    if (!mode) {
        std::fprintf(stderr, "platform: display 0 has no X mode %dx%d at %d Hz\n", wanted.w, wanted.h,
                     wanted.refresh_rate);
    } else if (mode == info->mode) {
        entered = true;  // already in force: nothing to switch
    } else {
        if (!saved.switched) {
            saved.crtc = crtc.id;
            saved.mode = info->mode;
            saved.x = info->x;
            saved.y = info->y;
            saved.rotation = info->rotation;
            saved.outputCount = std::min(info->noutput, kMaxCrtcOutputs);
            for (int i = 0; i < saved.outputCount; ++i) saved.outputs[i] = info->outputs[i];
            // Told before the switch: from here on any end of the program restores.
            guardNoteSwitched(saved, DisplayString(display));
        }
        entered = setCrtc(display, resources, crtc.id, info->x, info->y, mode, info->rotation,
                          info->outputs, info->noutput);
        if (entered) {
            saved.switched = true;
        } else {
            if (!saved.switched) guardNoteRestored();
            std::fprintf(stderr, "platform: the X server refused the mode %dx%d at %d Hz\n",
                         wanted.w, wanted.h, wanted.refresh_rate);
        }
    }
    if (info) XRRFreeCrtcInfo(info);
    XRRFreeScreenResources(resources);
    if (!entered) return false;
    placeWindow(0, 0, wanted.w, wanted.h);
    SDL_RaiseWindow(g_layer.window.sdl);
    askWindowManagerForFullScreen(display, window, true);
    return true;
}

// Puts display 0's CRTC back as it was before the layer switched it.
bool restoreOnX11(Display* display) {
    SwitchedCrtc& saved = g_layer.switchedCrtc;
    if (!saved.switched) return true;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    RROutput outputs[kMaxCrtcOutputs];
    for (int i = 0; i < saved.outputCount; ++i) outputs[i] = saved.outputs[i];
    const bool restored = setCrtc(display, resources, saved.crtc, saved.x, saved.y, saved.mode,
                                  static_cast<Rotation>(saved.rotation), outputs, saved.outputCount);
    XRRFreeScreenResources(resources);
    if (restored) {
        saved.switched = false;
        guardNoteRestored();
    } else {
        std::fprintf(stderr, "platform: the X server refused the desktop mode back\n");
    }
    return restored;
}

}  // namespace

void reportXErrors() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) XSetErrorHandler(reportXError);
}

DisplayOrigin displayOrigin() {
    SDL_Rect bounds;
    if (!videoRunning() || SDL_GetDisplayBounds(0, &bounds) != 0) return DisplayOrigin{0, 0};
    return DisplayOrigin{bounds.x, bounds.y};
}

bool currentMode(SDL_DisplayMode* mode) {
    if (!videoRunning()) return false;
    // SDL does not see a switch that the layer made itself.
    if (g_layer.fullScreen.active && g_layer.fullScreen.viaXrandr) {
        *mode = g_layer.fullScreen.mode;
        return true;
    }
    return SDL_GetCurrentDisplayMode(0, mode) == 0;
}

bool enterFullScreen() {
    FullScreen& state = g_layer.fullScreen;
    Window xWindow = 0;
    if (Display* display = xDisplay(&xWindow)) {
        if (!enterOnX11(display, xWindow)) return false;
        state.viaXrandr = true;
    } else {
        SDL_Window* window = g_layer.window.sdl;
        if (SDL_SetWindowDisplayMode(window, &state.mode) != 0 ||
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
            std::fprintf(stderr, "platform: full-screen mode refused: %s\n", SDL_GetError());
            return false;
        }
        state.viaXrandr = false;
    }
    state.pending = false;
    state.active = true;
    return true;
}

bool leaveFullScreen() {
    FullScreen& state = g_layer.fullScreen;
    state.pending = false;
    if (!state.active) return true;
    const HWND__& record = g_layer.window;
    bool left;
    if (state.viaXrandr) {
        Window xWindow = 0;
        Display* display = xDisplay(&xWindow);
        left = display && restoreOnX11(display);
        if (display) askWindowManagerForFullScreen(display, xWindow, false);
    } else {
        left = SDL_SetWindowFullscreen(record.sdl, 0) == 0;
    }
    state.active = false;
    placeWindow(record.x, record.y, record.width, record.height);
    return left;
}

}  // namespace sdlLayer

using namespace sdlLayer;

BOOL WINAPI EnumDisplaySettingsA(LPCSTR device, DWORD modeNumber, DEVMODEA* mode) {
    if (device || !mode || !videoUp()) return FALSE;
    SDL_DisplayMode found;
    bool known;
    if (modeNumber == ENUM_CURRENT_SETTINGS) {
        known = currentMode(&found);
    } else if (modeNumber == ENUM_REGISTRY_SETTINGS) {
        known = SDL_GetDesktopDisplayMode(0, &found) == 0;
    } else {
        const int index = listedIndexOf(modeNumber, SDL_GetNumDisplayModes(0));
        known = index >= 0 && SDL_GetDisplayMode(0, index, &found) == 0;
    }
    if (!known) return FALSE;
    fillDevMode(found, mode);
    return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (!mode) return leaveFullScreen() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    if (!videoUp()) return DISP_CHANGE_FAILED;
    SDL_DisplayMode listed;
    if (!findListedMode(*mode, &listed)) return DISP_CHANGE_BADMODE;
    if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    g_layer.fullScreen.mode = listed;
    if (!g_layer.window.sdl) {
        g_layer.fullScreen.pending = true;
        return DISP_CHANGE_SUCCESSFUL;
    }
    return enterFullScreen() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

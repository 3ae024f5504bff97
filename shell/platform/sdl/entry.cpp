// Entry and signals: the process entry of the Linux backend, its signals, SDL's
// start and end, and two process services (time, message box).
//
// Provides:
// - main(): starts the display guard (guard.cpp) before anything else, installs the
//   signal handlers, keeps SDL's own handlers out, calls WinMain(instance, NULL,
//   the arguments after the program name quoted into one line as the Microsoft C
//   runtime would read them back, SW_SHOWDEFAULT) and returns its result. At exit a
//   display-mode change left behind is undone and SDL is shut down.
// - Close signals: SIGINT, SIGTERM and SIGHUP each become a WM_CLOSE to the window
//   at the next PeekMessageA (also when it came during start-up), so the program
//   ends through its normal close path, which restores the display mode.
// - Crash signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT, SIGTRAP,
//   SIGSYS: those that dump core by default): the guard restores the desktop mode,
//   then the signal ends the process with its default action, as it would have (the
//   same exit status and core dump). The handler runs on a stack of its own.
//   Any other end (kill -9 included) leaves the restore to the guard, right after.
// - Video from X11 first, then Wayland or KMS/DRM (unless SDL_VIDEODRIVER names
//   others); SDL's invisible offscreen and dummy drivers do not count as a display.
//   X11 comes first because only there can the cursor be put anywhere (native
//   Wayland cannot warp the pointer; XWayland can). Video starts on first use;
//   without a display every operation that needs one fails (NULL, 0, FALSE or
//   DISP_CHANGE_FAILED) and one line on standard error gives SDL's reason.
// - Time: CLOCK_MONOTONIC in nanoseconds (frequency 1e9).
// - MessageBoxA writes "caption: text" to standard error. It shows an SDL dialog as
//   well only when standard input is a terminal, the environment has no CI
//   variable and a display is available; otherwise it returns IDOK at once.
//
// Leaves out: other signals keep their default actions (the guard cleans up after
// the end they make). X errors are written to standard error and otherwise
// ignored (Xlib's own handler would end the process from inside Xlib, where the
// exit handlers then wait for ever).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "shell/platform/sdl/state.h"
#include "shell/platform/sdl/text.h"

namespace sdlLayer {

Layer g_layer;

namespace {
constexpr long long kNanosecondsPerSecond = 1000000000;
constexpr const char* kVideoDrivers = "x11,wayland,KMSDRM";

// Asked to close: Ctrl+C, kill, the terminal gone.
constexpr int kCloseSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Ending the process with a core dump by default.
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT, SIGTRAP, SIGSYS};

void onCloseSignal(int) { g_layer.closeSignalsReceived = g_layer.closeSignalsReceived + 1; }

// The desktop mode back through the guard (this process's X connection may be in
// any state now), then the signal again with its default action, installed on
// entry (SA_RESETHAND): it ends the process as it would have, with the same
// status and core dump. Raised here, it waits while the handler runs.
void onCrashSignal(int number) {
    guardRestoreNow();
    raise(number);
}

void installSignalHandlers() {
    struct sigaction closeAction;
    std::memset(&closeAction, 0, sizeof closeAction);
    closeAction.sa_handler = onCloseSignal;
    sigemptyset(&closeAction.sa_mask);
    for (int number : kCloseSignals) sigaddset(&closeAction.sa_mask, number);
    closeAction.sa_flags = SA_RESTART;
    for (int number : kCloseSignals) sigaction(number, &closeAction, nullptr);

    stack_t stack;
    std::memset(&stack, 0, sizeof stack);
    stack.ss_sp = g_layer.crashStack;
    stack.ss_size = sizeof g_layer.crashStack;
    sigaltstack(&stack, nullptr);
    struct sigaction crashAction;
    std::memset(&crashAction, 0, sizeof crashAction);
    crashAction.sa_handler = onCrashSignal;
    sigfillset(&crashAction.sa_mask);
    crashAction.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (int number : kCrashSignals) sigaction(number, &crashAction, nullptr);
}

// At exit: the display mode back, as Windows restores a CDS_FULLSCREEN change when
// its program ends, then SDL down.
void shutDown() {
    if (videoRunning()) {
        leaveFullScreen();
        dropUnusedWindow();
        SDL_Quit();
    }
    g_layer.video = 0;
}

// Real dialogs only for a person at a terminal: one would block an automated run.
bool dialogsWanted() { return !std::getenv("CI") && isatty(STDIN_FILENO) && videoUp(); }
}  // namespace

bool videoUp() {
    if (g_layer.video == 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            g_layer.video = 1;
            reportXErrors();
            applyCursorVisibility();
        } else {
            g_layer.video = -1;
            std::fprintf(stderr, "platform: no display: %s\n", SDL_GetError());
        }
    }
    return videoRunning();
}

}  // namespace sdlLayer

using namespace sdlLayer;

// Process entry

int main(int argc, char** argv) {
    startGuard();  // first: before SDL, threads or an X connection exist
    installSignalHandlers();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Only drivers that show something: without a display SDL would fall back to
    // its offscreen driver and run on, invisible. SDL_VIDEODRIVER still wins.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, kVideoDrivers, SDL_HINT_DEFAULT);
    std::atexit(shutDown);
    std::string commandLine = commandLineOf(argc, argv);
    return WinMain(&g_layer.instance, nullptr, commandLine.data(), SW_SHOWDEFAULT);
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
        SDL_ShowSimpleMessageBox(flags, caption, text, isWindow(owner) ? g_layer.window.sdl : nullptr);
    }
    return IDOK;
}

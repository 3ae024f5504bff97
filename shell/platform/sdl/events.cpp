// Events and keys: the window's message queue fed from SDL's events and the
// signals, and the message calls.
//
// Provides:
// - PeekMessageA: first moves what the system has into the queue (a close signal
//   received since the last look, then every event SDL has waiting), then takes the
//   oldest message that passes the window and range filters. The queue loses
//   nothing: past 256 waiting messages a key's auto-repeats fold into its waiting
//   key-down, and anything else makes it grow (queue.h). Keys become WM_KEYDOWN,
//   WM_KEYUP, WM_SYSKEYDOWN and WM_SYSKEYUP by the rules of keys.h (Num Lock as SDL
//   last saw it);
//   SDL stamps a key with the window it thinks has the keyboard, none (0) until its
//   first focus event, and such keys are the window's too. The window manager's
//   close request, SDL_QUIT and the close signals become WM_CLOSE to the window.
//   WM_QUIT (PostQuitMessage) comes once no waiting message passes the filters,
//   whatever the filters are (as Windows retrieves it), and once only.
// - SendMessageA and DispatchMessageA call the window procedure at once.
// - DefWindowProcA returns 0; of Windows' default processing it does what a user
//   of this program would miss: Alt+F4 (WM_SYSKEYDOWN with VK_F4 and lParam bit 29)
//   posts WM_SYSCOMMAND with SC_CLOSE, and WM_SYSCOMMAND with SC_CLOSE sends
//   WM_CLOSE, so a window procedure that passes both on is closed by Alt+F4 as on
//   Windows, with or without a window manager.
//
// Leaves out (these say so by their results): TranslateMessage makes no character
// messages and returns FALSE. DefWindowProcA has no other default processing (no
// window menu; WM_CLOSE destroys nothing: there is no window destruction). No
// mouse messages: the mouse is seen through GetCursorPos. PeekMessageA's window
// filter takes NULL or the window.
#include "shell/platform/sdl/keys.h"
#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {

void translateKey(const SDL_KeyboardEvent& event) {
    if (!g_layer.window.exists) return;
    const KeyEvent key = {event.keysym.scancode, event.type == SDL_KEYUP, event.repeat != 0,
                          event.keysym.mod};
    KeyMessage message;
    if (keyMessageOf(key, &message))
        post(&g_layer.window, message.message, message.virtualKey, message.lParam);
}

bool isOurSdlWindow(Uint32 windowId) {
    return g_layer.window.sdl && windowId == SDL_GetWindowID(g_layer.window.sdl);
}

// SDL stamps key events with the window it believes has the keyboard; until its
// first focus event that is none (0), and the keys are still ours.
bool isOurKeyWindow(Uint32 windowId) {
    return g_layer.window.sdl && (windowId == 0 || isOurSdlWindow(windowId));
}

}  // namespace

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = videoRunning() ? SDL_GetTicks() : 0;
    msg.pt = POINT{0, 0};
    cursorPosition(&msg.pt);
    g_layer.queue.post(msg);
}

void pumpSystem() {
    const std::sig_atomic_t received = g_layer.closeSignalsReceived;
    if (received != g_layer.closeSignalsHandled && g_layer.window.exists) {
        g_layer.closeSignalsHandled = received;
        post(&g_layer.window, WM_CLOSE, 0, 0);
    }
    if (!videoRunning()) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (isOurKeyWindow(event.key.windowID)) translateKey(event.key);
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE && isOurSdlWindow(event.window.windowID))
                    post(&g_layer.window, WM_CLOSE, 0, 0);
                break;
            case SDL_QUIT:
                if (g_layer.window.exists) post(&g_layer.window, WM_CLOSE, 0, 0);
                break;
            case SDL_MOUSEMOTION:
                // SDL's position has caught up with any warp made before this event.
                g_layer.cursorWarped = false;
                break;
            default:
                break;
        }
    }
}

}  // namespace sdlLayer

using namespace sdlLayer;

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    pumpSystem();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (g_layer.queue.take(window, filterMin, filterMax, remove, msg)) return TRUE;
    // As on Windows, the quit message comes whatever the filters ask for.
    if (g_layer.quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(g_layer.quitCode);
        msg->time = videoRunning() ? SDL_GetTicks() : 0;
        cursorPosition(&msg->pt);
        if (remove) g_layer.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !isWindow(msg->hwnd)) return 0;
    return g_layer.window.proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isWindow(window)) return 0;
    // Alt+F4 travels as Windows sends it: a posted WM_SYSCOMMAND, whose own default
    // processing sends WM_CLOSE.
    if (const WPARAM command = systemCommandOf(message, wParam, lParam))
        post(window, WM_SYSCOMMAND, command, 0);
    else if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        SendMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    g_layer.quitPosted = true;
    g_layer.quitCode = exitCode;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isWindow(window)) return 0;
    return g_layer.window.proc(window, message, wParam, lParam);
}

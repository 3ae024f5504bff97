// The display guard: a small process that puts display 0's mode back when the
// program dies without doing so itself (kill -9, a crash, any end that runs no
// code of the program's). Windows undoes a CDS_FULLSCREEN change when the program
// that made it is gone; on X nothing does, so the layer keeps a process of its own
// for it.
//
// Provides:
// - startGuard: forks the guard from main(), before SDL starts, so that it shares
//   no X connection and no thread with the program. It talks with the program over
//   a socket pair of whole messages (closed on exec, so that no program started
//   later holds it; written without SIGPIPE, so that a guard that is gone does not
//   end the program) and holds no X connection of its own until it has to restore. It ignores the
//   terminal's signals (SIGINT, SIGQUIT, SIGHUP, SIGTSTP), which are the program's
//   to handle.
// - guardNoteSwitched, before the layer switches display 0's CRTC: what to put
//   back (the CRTC, its mode, place, rotation and outputs, and the X display's
//   name). guardNoteRestored, after the layer has put it back: nothing to do.
// - guardRestoreNow, from a crash signal's handler (async-signal-safe): the guard
//   restores at once and answers; the handler waits for the answer, at most 5 s.
// - The guard ends when the program does (the pipe's end, or the kernel's notice
//   that its parent died), after restoring if a switch is still in force. A switch
//   that the program undid, or never made, leaves the display untouched. It only
//   sets the CRTC back when it is not already in that mode, and writes one line
//   on standard error when it did.
//
// Leaves out: with no DISPLAY there is no guard (nothing on X to restore); switches
// made through SDL's full-screen (other video drivers) are not guarded. If the
// fork fails the program runs without a guard.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {

enum GuardMessageKind : std::uint32_t { kSwitched = 1, kRestored = 2, kRestoreNow = 3 };

struct GuardMessage {
    std::uint32_t kind;
    std::uint32_t outputCount;
    std::uint64_t crtc;
    std::uint64_t mode;
    std::int32_t x, y;
    std::uint32_t rotation;
    std::uint64_t outputs[kMaxCrtcOutputs];
    char display[128];
};

constexpr int kAnswerWaitMs = 5000;
constexpr int kParentCheckMs = 1000;

volatile std::sig_atomic_t s_parentGone = 0;  // the guard's own: set by SIGUSR1
void onParentGone(int) { s_parentGone = 1; }

int ignoreXError(Display*, XErrorEvent*) { return 0; }
int leaveOnXConnectionLoss(Display*) { _exit(0); }

// Sets the CRTC back as the message says, when it is not already so.
void restore(const GuardMessage& switched) {
    Display* display = XOpenDisplay(switched.display);
    if (!display) return;
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(leaveOnXConnectionLoss);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    bool restored = false;
    if (resources) {
        XRRCrtcInfo* now = XRRGetCrtcInfo(display, resources, static_cast<RRCrtc>(switched.crtc));
        if (now && now->mode != static_cast<RRMode>(switched.mode)) {
            RROutput outputs[kMaxCrtcOutputs];
            for (std::uint32_t i = 0; i < switched.outputCount; ++i)
                outputs[i] = static_cast<RROutput>(switched.outputs[i]);
            restored = XRRSetCrtcConfig(display, resources, static_cast<RRCrtc>(switched.crtc),
                                        CurrentTime, switched.x, switched.y,
                                        static_cast<RRMode>(switched.mode),
                                        static_cast<Rotation>(switched.rotation), outputs,
                                        static_cast<int>(switched.outputCount)) == RRSetConfigSuccess;
        }
        if (now) XRRFreeCrtcInfo(now);
        XRRFreeScreenResources(resources);
    }
    XSync(display, False);
    XCloseDisplay(display);
    if (restored) std::fprintf(stderr, "platform: display guard: the desktop mode is back\n");
}

// Reads one whole message; false at the connection's end or when the parent is gone.
bool readMessage(int socket, pid_t parent, GuardMessage* message) {
    for (;;) {
        if (s_parentGone || getppid() != parent) return false;
        pollfd ready = {socket, POLLIN, 0};
        const int polled = poll(&ready, 1, kParentCheckMs);
        if (polled < 0 && errno != EINTR) return false;
        if (polled <= 0) continue;
        const ssize_t n = recv(socket, message, sizeof *message, 0);
        if (n == static_cast<ssize_t>(sizeof *message)) return true;
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
    }
}

[[noreturn]] void runGuard(int socket, pid_t parent) {
    for (int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTSTP, SIGPIPE}) std::signal(signal, SIG_IGN);
    struct sigaction gone;
    std::memset(&gone, 0, sizeof gone);
    gone.sa_handler = onParentGone;
    sigemptyset(&gone.sa_mask);
    sigaction(SIGUSR1, &gone, nullptr);
    prctl(PR_SET_PDEATHSIG, SIGUSR1);
    prctl(PR_SET_NAME, "display guard");
    // Nothing of the program's terminal but standard error.
    const int nothing = open("/dev/null", O_RDWR);
    if (nothing >= 0) {
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDOUT_FILENO);
        if (nothing > STDERR_FILENO) close(nothing);
    }

    GuardMessage switched{};
    bool inForce = false;
    GuardMessage message;
    while (readMessage(socket, parent, &message)) {
        switch (message.kind) {
            case kSwitched:
                switched = message;
                inForce = true;
                break;
            case kRestored:
                inForce = false;
                break;
            case kRestoreNow: {
                if (inForce) restore(switched);
                inForce = false;
                const char done = 'R';
                (void)!send(socket, &done, 1, MSG_NOSIGNAL);
                break;
            }
            default:
                break;
        }
    }
    if (inForce) restore(switched);
    _exit(0);
}

bool sendToGuard(const GuardMessage& message) {
    const int socket = g_layer.guard.socket;
    if (socket < 0) return false;
    ssize_t n;
    do {
        n = send(socket, &message, sizeof message, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof message);
}

}  // namespace

void startGuard() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        runGuard(ends[1], parent);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return;
    }
    g_layer.guard.pid = pid;
    g_layer.guard.socket = ends[0];
}

void guardNoteSwitched(const SwitchedCrtc& saved, const char* displayName) {
    GuardMessage message{};
    message.kind = kSwitched;
    message.crtc = saved.crtc;
    message.mode = saved.mode;
    message.x = saved.x;
    message.y = saved.y;
    message.rotation = saved.rotation;
    message.outputCount = static_cast<std::uint32_t>(saved.outputCount);
    for (int i = 0; i < saved.outputCount; ++i) message.outputs[i] = saved.outputs[i];
    std::snprintf(message.display, sizeof message.display, "%s", displayName ? displayName : "");
    if (sendToGuard(message)) g_layer.guard.switched = 1;
}

void guardNoteRestored() {
    GuardMessage message{};
    message.kind = kRestored;
    sendToGuard(message);
    g_layer.guard.switched = 0;
}

void guardRestoreNow() {
    if (!g_layer.guard.switched) return;
    GuardMessage message{};  // no library calls: this runs in a signal handler
    message.kind = kRestoreNow;
    if (!sendToGuard(message)) return;
    pollfd answer = {g_layer.guard.socket, POLLIN, 0};
    if (poll(&answer, 1, kAnswerWaitMs) > 0) {
        char done;
        (void)!recv(g_layer.guard.socket, &done, 1, 0);
    }
    g_layer.guard.switched = 0;
}

}  // namespace sdlLayer

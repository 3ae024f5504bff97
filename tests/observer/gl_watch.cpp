// gl_watch: an observer loaded into the real, unmodified demo with LD_PRELOAD. It
// stands in front of a few SDL, GL, GLU and C library functions that the program
// calls through shared libraries, passes every call on to the real function, and
// keeps count of what the fault tests and the soak need to know from outside:
//
//   frames, and the time between consecutive buffer swaps (a histogram of 10 us
//   buckets up to 5 s, allocated and touched when the library loads, so that
//   watching allocates nothing and adds nothing to the resident memory later);
//   the size of the last viewport that the program set;
//   whether any gluLookAt (the camera), glLightfv(GL_POSITION) (the light) or
//   gluPerspective (the aspect) ever received a value that is not finite (or a
//   view direction of zero length), and whether the eye and the light moved
//   between the first frame and the last;
//   display lists generated and deleted, GL contexts created and deleted, and the
//   program's own display-mode switches: through SDL's full-screen
//   (SDL_SetWindowFullscreen) and through XRandR (XRRSetCrtcConfig called by the
//   program itself, as the Linux layer does on X11: an entry sets a CRTC to
//   another mode than the one it had when the program first set it, a leave sets
//   it back). fullscreen_active says whether the program left a switch in force.
//
// While the program runs, the file named by GL_WATCH_LIVE holds live counters that
// the test harness polls (scripts/lib/harness.sh): unsigned 64-bit words in the
// machine's order, mapped shared so that counting is a store, not a system call:
//   0 frames (buffer swaps), 1 event polls (SDL_PollEvent: the message pump is
//   taking in the system's events), 2 display lists begun (glNewList).
//
// Faults it can make, chosen by environment variables:
//   GL_WATCH_CLOCK=stall       CLOCK_MONOTONIC, read by the program itself (not by
//                              SDL or Mesa), stands still at its first value;
//   GL_WATCH_CLOCK=backwards   it runs backwards by 1 ms per reading;
//   GL_WATCH_ZERO_HEIGHT=1     every glViewport gets a height of 0;
//   GL_WATCH_RAISE=TERM|INT|HUP  the program sends itself that signal when it
//                              begins its first display list: during start-up,
//                              while the planet is being built.
//
// At exit (after the program's own exit handlers) it writes key=value lines to the
// file named by GL_WATCH_REPORT. It writes nothing to standard output.
#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <csignal>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::int64_t kBucketNs = 10'000;  // 10 us
constexpr std::size_t kBuckets = 500'000;   // up to 5 s; longer frames share the last

enum class ClockFault { none, stall, backwards };

struct Watch {
    std::uint32_t histogram[kBuckets];
    std::int64_t lastSwapNs;
    long long frames;
    long long lookAts, badLookAts;
    long long lights, badLights;
    double firstEye[3], lastEye[3];
    double firstLight[4], lastLight[4];
    long long perspectives, badPerspectives;
    long long viewportsZeroed;
    int viewportWidth, viewportHeight;  // as the program asked for the last one
    long long listsMade, listsLive;
    long long contextsMade, contextsLive;
    long long fullscreenEnters, fullscreenLeaves;
    bool fullscreenActive;         // through SDL's full-screen
    unsigned long switchedCrtc;    // the CRTC that the program set through XRandR
    unsigned long crtcFirstMode;   // its mode before the program first set it
    bool crtcSwitched;
    ClockFault clockFault;
    bool zeroHeight;
    bool haveClockBase;
    timespec clockBase;
    long long clockReadings;
    std::uintptr_t programStart, programEnd;  // the executable's loaded segments
    int raiseSignal;                          // 0: none
};
Watch s_watch;

enum LiveWord { liveFrames, livePolls, liveListsBegun, liveWords };
std::uint64_t s_noLive[liveWords];
std::uint64_t* s_live = s_noLive;  // the shared mapping when GL_WATCH_LIVE is set

void countLive(LiveWord word) { __atomic_fetch_add(&s_live[word], 1, __ATOMIC_RELAXED); }

void mapLiveCounters(const char* path) {
    const int fd = open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::size_t size = sizeof(std::uint64_t) * liveWords;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
        void* shared = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (shared != MAP_FAILED) s_live = static_cast<std::uint64_t*>(shared);
    }
    close(fd);
}

int signalNamed(const char* name) {
    if (!name) return 0;
    if (std::strcmp(name, "TERM") == 0) return SIGTERM;
    if (std::strcmp(name, "INT") == 0) return SIGINT;
    if (std::strcmp(name, "HUP") == 0) return SIGHUP;
    return 0;
}

template <typename F>
F real(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol) {
        std::fprintf(stderr, "gl_watch: no %s behind the watch\n", name);
        std::abort();
    }
    return reinterpret_cast<F>(symbol);
}

std::int64_t monotonicNs() {
    static auto clockGettime = real<int (*)(clockid_t, timespec*)>("clock_gettime");
    timespec now;
    clockGettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

int findProgram(dl_phdr_info* info, std::size_t, void*) {
    // The first object listed is the executable itself.
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        const std::uintptr_t end = start + segment.p_memsz;
        if (s_watch.programStart == 0 || start < s_watch.programStart) s_watch.programStart = start;
        if (end > s_watch.programEnd) s_watch.programEnd = end;
    }
    return 1;
}

bool fromProgram(const void* caller) {
    const auto address = reinterpret_cast<std::uintptr_t>(caller);
    return address >= s_watch.programStart && address < s_watch.programEnd;
}

bool finite(const double* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

// The value below which the given share of the frame times lie, in milliseconds.
double percentileMs(double share) {
    long long seen = 0;
    const long long total = s_watch.frames > 0 ? s_watch.frames - 1 : 0;  // intervals
    if (total == 0) return 0.0;
    const auto wanted = static_cast<long long>(std::ceil(share * static_cast<double>(total)));
    for (std::size_t b = 0; b < kBuckets; ++b) {
        seen += s_watch.histogram[b];
        if (seen >= wanted && seen > 0)
            return (static_cast<double>(b) + 0.5) * static_cast<double>(kBucketNs) / 1e6;
    }
    return static_cast<double>(kBuckets) * static_cast<double>(kBucketNs) / 1e6;
}

__attribute__((constructor)) void startWatching() {
    std::memset(&s_watch, 0, sizeof s_watch);  // touches every page now, not later
    dl_iterate_phdr(findProgram, nullptr);
    const char* clock = std::getenv("GL_WATCH_CLOCK");
    if (clock && std::strcmp(clock, "stall") == 0) s_watch.clockFault = ClockFault::stall;
    if (clock && std::strcmp(clock, "backwards") == 0) s_watch.clockFault = ClockFault::backwards;
    const char* zero = std::getenv("GL_WATCH_ZERO_HEIGHT");
    s_watch.zeroHeight = zero && std::strcmp(zero, "1") == 0;
    s_watch.raiseSignal = signalNamed(std::getenv("GL_WATCH_RAISE"));
    if (const char* live = std::getenv("GL_WATCH_LIVE")) mapLiveCounters(live);
}

__attribute__((destructor)) void report() {
    const char* path = std::getenv("GL_WATCH_REPORT");
    if (!path) return;
    FILE* file = std::fopen(path, "w");
    if (!file) return;
    const Watch& w = s_watch;
    std::fprintf(file,
                 "frames=%lld\nframe_ms_median=%.2f\nframe_ms_p99=%.2f\n"
                 "lookats=%lld\nnonfinite_lookats=%lld\neye_moved=%d\n"
                 "light_positions=%lld\nnonfinite_lights=%lld\nlight_moved=%d\n"
                 "perspectives=%lld\nbad_perspectives=%lld\nviewport=%dx%d\nviewports_zeroed=%lld\n"
                 "lists_made=%lld\nlists_live=%lld\n"
                 "contexts_made=%lld\ncontexts_live=%lld\n"
                 "fullscreen_enters=%lld\nfullscreen_leaves=%lld\nfullscreen_active=%d\n"
                 "clock_readings_altered=%lld\n",
                 w.frames, percentileMs(0.5), percentileMs(0.99), w.lookAts, w.badLookAts,
                 std::memcmp(w.firstEye, w.lastEye, sizeof w.firstEye) != 0 ? 1 : 0, w.lights,
                 w.badLights, std::memcmp(w.firstLight, w.lastLight, sizeof w.firstLight) != 0 ? 1 : 0, w.perspectives, w.badPerspectives, w.viewportWidth,
                 w.viewportHeight, w.viewportsZeroed,
                 w.listsMade, w.listsLive, w.contextsMade, w.contextsLive, w.fullscreenEnters,
                 w.fullscreenLeaves, w.fullscreenActive || w.crtcSwitched ? 1 : 0,
                 w.clockReadings);
    std::fclose(file);
}

}  // namespace

extern "C" {

// SDL, declared here by the shapes that matter (pointers and 32-bit flags).
void SDL_GL_SwapWindow(void* window) {
    static auto next = real<void (*)(void*)>("SDL_GL_SwapWindow");
    next(window);
    const std::int64_t now = monotonicNs();
    if (s_watch.frames > 0) {
        const std::int64_t interval = now - s_watch.lastSwapNs;
        std::size_t bucket = interval > 0 ? static_cast<std::size_t>(interval / kBucketNs) : 0;
        if (bucket >= kBuckets) bucket = kBuckets - 1;
        ++s_watch.histogram[bucket];
    }
    s_watch.lastSwapNs = now;
    ++s_watch.frames;
    countLive(liveFrames);
}

struct SDL_Event;
int SDL_PollEvent(SDL_Event* event) {
    static auto next = real<int (*)(SDL_Event*)>("SDL_PollEvent");
    countLive(livePolls);
    return next(event);
}

void glNewList(GLuint list, GLenum mode) {
    static auto next = real<void (*)(GLuint, GLenum)>("glNewList");
    countLive(liveListsBegun);
    if (s_watch.raiseSignal != 0) {
        const int signal = s_watch.raiseSignal;
        s_watch.raiseSignal = 0;
        std::raise(signal);
    }
    next(list, mode);
}

int SDL_SetWindowFullscreen(void* window, std::uint32_t flags) {
    static auto next = real<int (*)(void*, std::uint32_t)>("SDL_SetWindowFullscreen");
    const int result = next(window, flags);
    if (result == 0) {
        if (flags != 0) ++s_watch.fullscreenEnters;
        else ++s_watch.fullscreenLeaves;
        s_watch.fullscreenActive = flags != 0;
    }
    return result;
}

// XRandR, declared here by the shapes that matter: the mode a CRTC has now (from the
// leading fields of XRRCrtcInfo) and the call that sets it.
struct CrtcInfoHead {
    unsigned long timestamp;
    int x, y;
    unsigned width, height;
    unsigned long mode;
};

int XRRSetCrtcConfig(void* display, void* resources, unsigned long crtc, unsigned long time, int x,
                     int y, unsigned long mode, unsigned short rotation, unsigned long* outputs,
                     int outputCount) {
    static auto next = real<int (*)(void*, void*, unsigned long, unsigned long, int, int,
                                    unsigned long, unsigned short, unsigned long*, int)>(
        "XRRSetCrtcConfig");
    const bool fromTheProgram = fromProgram(__builtin_return_address(0));
    if (fromTheProgram && s_watch.switchedCrtc == 0) {
        static auto crtcInfo = real<CrtcInfoHead* (*)(void*, void*, unsigned long)>("XRRGetCrtcInfo");
        static auto freeInfo = real<void (*)(CrtcInfoHead*)>("XRRFreeCrtcInfo");
        if (CrtcInfoHead* before = crtcInfo(display, resources, crtc)) {
            s_watch.switchedCrtc = crtc;
            s_watch.crtcFirstMode = before->mode;
            freeInfo(before);
        }
    }
    const int status = next(display, resources, crtc, time, x, y, mode, rotation, outputs, outputCount);
    if (fromTheProgram && status == 0 && crtc == s_watch.switchedCrtc) {
        const bool switched = mode != s_watch.crtcFirstMode;
        if (switched) ++s_watch.fullscreenEnters;
        else ++s_watch.fullscreenLeaves;
        s_watch.crtcSwitched = switched;
    }
    return status;
}

void* SDL_GL_CreateContext(void* window) {
    static auto next = real<void* (*)(void*)>("SDL_GL_CreateContext");
    void* context = next(window);
    if (context) {
        ++s_watch.contextsMade;
        ++s_watch.contextsLive;
    }
    return context;
}

void SDL_GL_DeleteContext(void* context) {
    static auto next = real<void (*)(void*)>("SDL_GL_DeleteContext");
    if (context) --s_watch.contextsLive;
    next(context);
}

GLuint glGenLists(GLsizei range) {
    static auto next = real<GLuint (*)(GLsizei)>("glGenLists");
    const GLuint first = next(range);
    if (first != 0) {
        s_watch.listsMade += range;
        s_watch.listsLive += range;
    }
    return first;
}

void glDeleteLists(GLuint list, GLsizei range) {
    static auto next = real<void (*)(GLuint, GLsizei)>("glDeleteLists");
    if (list != 0 && range > 0) s_watch.listsLive -= range;
    next(list, range);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    static auto next = real<void (*)(GLint, GLint, GLsizei, GLsizei)>("glViewport");
    s_watch.viewportWidth = width;
    s_watch.viewportHeight = height;
    if (s_watch.zeroHeight) {
        height = 0;
        ++s_watch.viewportsZeroed;
    }
    next(x, y, width, height);
}

void glLightfv(GLenum light, GLenum name, const GLfloat* params) {
    static auto next = real<void (*)(GLenum, GLenum, const GLfloat*)>("glLightfv");
    if (name == GL_POSITION && params) {
        ++s_watch.lights;
        const double p[4] = {params[0], params[1], params[2], params[3]};
        if (!finite(p, 4)) ++s_watch.badLights;
        if (s_watch.lights == 1) std::memcpy(s_watch.firstLight, p, sizeof p);
        std::memcpy(s_watch.lastLight, p, sizeof p);
    }
    next(light, name, params);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    static auto next = real<void (*)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                                     GLdouble, GLdouble, GLdouble)>("gluLookAt");
    ++s_watch.lookAts;
    const double v[9] = {eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ};
    // The view direction is centre minus eye: it must not vanish either.
    const bool degenerate = eyeX == centerX && eyeY == centerY && eyeZ == centerZ;
    if (!finite(v, 9) || degenerate) ++s_watch.badLookAts;
    if (s_watch.lookAts == 1) std::memcpy(s_watch.firstEye, v, sizeof s_watch.firstEye);
    std::memcpy(s_watch.lastEye, v, sizeof s_watch.lastEye);
    next(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    static auto next = real<void (*)(GLdouble, GLdouble, GLdouble, GLdouble)>("gluPerspective");
    ++s_watch.perspectives;
    const double v[4] = {fovy, aspect, zNear, zFar};
    if (!finite(v, 4) || !(aspect > 0.0)) ++s_watch.badPerspectives;
    next(fovy, aspect, zNear, zFar);
}

int clock_gettime(clockid_t clock, timespec* now) {
    static auto next = real<int (*)(clockid_t, timespec*)>("clock_gettime");
    const int result = next(clock, now);
    if (result != 0 || clock != CLOCK_MONOTONIC || s_watch.clockFault == ClockFault::none ||
        !fromProgram(__builtin_return_address(0)))
        return result;
    if (!s_watch.haveClockBase) {
        s_watch.clockBase = *now;
        s_watch.haveClockBase = true;
    }
    ++s_watch.clockReadings;
    *now = s_watch.clockBase;
    if (s_watch.clockFault == ClockFault::backwards) {
        const std::int64_t base =
            static_cast<std::int64_t>(now->tv_sec) * 1'000'000'000 + now->tv_nsec;
        const std::int64_t back = base - s_watch.clockReadings * 1'000'000;
        now->tv_sec = static_cast<time_t>(back / 1'000'000'000);
        now->tv_nsec = static_cast<long>(back % 1'000'000'000);
        if (now->tv_nsec < 0) {
            now->tv_nsec += 1'000'000'000;
            now->tv_sec -= 1;
        }
    }
    return result;
}

}  // extern "C"

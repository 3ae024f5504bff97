// frame_probe: loaded into a GL program with LD_PRELOAD to time it from outside,
// unmodified. It stands in front of SDL_GL_SwapWindow and of the C library's
// allocator, passes every call on, and records:
//   - the time of the first buffer swap after the launch (FRAME_PROBE_LAUNCH_NS,
//     CLOCK_REALTIME in nanoseconds when the program was started): start-up to the
//     first frame;
//   - on the way there, when the GL context was made (SDL_GL_CreateContext) and
//     how long each display list took to compile (glNewList to glEndList: the
//     first is the planet, the rest the font), and when the first frame began
//     (its glClear): where start-up goes;
//   - the time between consecutive swaps for FRAME_PROBE_FRAMES frames (default
//     200) after FRAME_PROBE_WARMUP frames (default 20): the frame time, and the
//     process's CPU time (all threads) spent per frame;
//   - every allocation (malloc, calloc, realloc, the aligned ones) made while those
//     frames ran, on the program's main thread and on any other thread, with the
//     addresses that asked for the main thread's ones.
//   - where start-up and exit go: every call of a few SDL, XRandR and GL functions
//     that make windows, contexts, display-mode switches and display lists, with
//     its start, its duration and the calling thread's CPU time in it (what is
//     left of the duration was waiting, or the machine busy with others), from the
//     launch to the first frame (startup_call=NAME START_MS DURATION_MS CPU_MS) and
//     from the Escape key's arrival
//     (the SDL_PollEvent that hands the program its key-down) to the end
//     (exit_call=..., times since that arrival; exit_end_ms: the probe's own end,
//     among the last code that the process runs).
// After the last measured frame it writes key=value lines to FRAME_PROBE_REPORT and
// sends the program SIGTERM, which the demo answers with its normal close; with
// FRAME_PROBE_READY set it makes that file instead and lets the program run on
// until it ends by itself (Escape), then adds the exit's lines to the report. All of
// its own storage is static: measuring allocates nothing.
#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

constexpr int kMaxFrames = 20000;
constexpr int kCallers = 512;

struct Caller {
    void* address;
    long long count;
};

std::int64_t s_launchNs = 0;
std::int64_t s_startupNs = -1;
int s_warmup = 20;
int s_frames = 200;
long long s_swaps = 0;
std::int64_t s_lastSwapNs = 0;
std::int64_t s_intervals[kMaxFrames];
std::int64_t s_cpuIntervals[kMaxFrames];  // the process's CPU time, all threads
std::int64_t s_lastSwapCpuNs = 0;
int s_measured = 0;
bool s_counting = false;
pthread_t s_mainThread;
long long s_mainAllocations = 0, s_mainBytes = 0, s_otherAllocations = 0, s_otherBytes = 0;
Caller s_callers[kCallers];
long long s_unplacedCallers = 0;
const char* s_report = nullptr;
void (*s_realSwap)(void*) = nullptr;
void* (*s_realCreateContext)(void*) = nullptr;
void (*s_realNewList)(unsigned, unsigned) = nullptr;
void (*s_realEndList)() = nullptr;
std::int64_t s_contextNs = -1;
std::int64_t s_listStartNs = 0;
std::int64_t s_firstListNs = -1;  // compile time of the first list
std::int64_t s_otherListsNs = 0;
int s_lists = 0;
void (*s_realClear)(unsigned) = nullptr;
std::int64_t s_firstClearNs = -1;  // the first frame's start, since launch
std::int64_t s_firstListStartNs = -1;  // the planet's compile's start, since launch
const char* s_ready = nullptr;
std::int64_t s_escapeNs = -1;  // the Escape key handed to the program, since launch

// Timed calls of start-up (before the first swap) and of the exit (after Escape).
struct Call {
    const char* name;
    std::int64_t startNs;  // since launch
    std::int64_t durationNs;
    std::int64_t cpuNs;  // the calling thread's CPU time in it: the rest was waiting
    bool exiting;
};
constexpr int kMaxCalls = 512;
Call s_calls[kMaxCalls];
int s_callCount = 0;

double milliseconds(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

std::int64_t nowNs(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

long long envNumber(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoll(text) : fallback;
}

std::int64_t sinceLaunch() { return nowNs(CLOCK_REALTIME) - s_launchNs; }

std::int64_t threadCpuNs() { return nowNs(CLOCK_THREAD_CPUTIME_ID); }

void noteCall(const char* name, std::int64_t start, std::int64_t startCpu) {
    const bool exiting = s_escapeNs >= 0;
    if ((s_swaps > 0 && !exiting) || s_callCount == kMaxCalls) return;
    s_calls[s_callCount++] = Call{name, start, sinceLaunch() - start, threadCpuNs() - startCpu, exiting};
}

template <typename F>
F next(F* slot, const char* name) {
    if (!*slot) *slot = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    return *slot;
}

__attribute__((constructor)) void start() {
    s_mainThread = pthread_self();
    s_launchNs = envNumber("FRAME_PROBE_LAUNCH_NS", 0);
    s_warmup = static_cast<int>(envNumber("FRAME_PROBE_WARMUP", 20));
    s_frames = static_cast<int>(std::min<long long>(envNumber("FRAME_PROBE_FRAMES", 200), kMaxFrames));
    s_report = std::getenv("FRAME_PROBE_REPORT");
    s_ready = std::getenv("FRAME_PROBE_READY");
}

// Near the very end (the preloaded probe is finalised after the libraries that
// depend on what it stands in front of): the exit's calls, added to the report.
__attribute__((destructor)) void finish() {
    if (!s_ready || s_escapeNs < 0 || !s_report) return;
    const std::int64_t end = sinceLaunch();
    FILE* out = std::fopen(s_report, "a");
    if (!out) return;
    for (int i = 0; i < s_callCount; ++i)
        if (s_calls[i].exiting)
            std::fprintf(out, "exit_call=%s %.3f %.3f %.3f\n", s_calls[i].name,
                         milliseconds(s_calls[i].startNs - s_escapeNs), milliseconds(s_calls[i].durationNs),
                         milliseconds(s_calls[i].cpuNs));
    std::fprintf(out, "escape_ms=%.3f\nexit_end_ms=%.3f\n", milliseconds(s_escapeNs),
                 milliseconds(end - s_escapeNs));
    std::fclose(out);
}

void noteAllocation(std::size_t size, void* caller) {
    if (!s_counting) return;
    if (!pthread_equal(pthread_self(), s_mainThread)) {
        __atomic_add_fetch(&s_otherAllocations, 1, __ATOMIC_RELAXED);
        __atomic_add_fetch(&s_otherBytes, static_cast<long long>(size), __ATOMIC_RELAXED);
        return;
    }
    ++s_mainAllocations;
    s_mainBytes += static_cast<long long>(size);
    for (Caller& c : s_callers) {
        if (c.address == caller || !c.address) {
            c.address = caller;
            ++c.count;
            return;
        }
    }
    ++s_unplacedCallers;
}

// Which part of the process an address belongs to, by the file it was loaded from.
const char* partOf(const char* file, const char* program) {
    const char* base = std::strrchr(file, '/');
    base = base ? base + 1 : file;
    if (std::strcmp(file, program) == 0) return "program";
    if (std::strncmp(base, "libstdc++", 9) == 0) return "libstdcxx";
    if (std::strncmp(base, "libSDL2", 7) == 0) return "sdl";
    if (std::strncmp(base, "libX", 4) == 0 || std::strncmp(base, "libxcb", 6) == 0) return "x11";
    if (std::strstr(base, "dri") || std::strncmp(base, "libGL", 5) == 0 || std::strncmp(base, "libglapi", 8) == 0 ||
        std::strncmp(base, "libLLVM", 7) == 0 || std::strncmp(base, "libgallium", 10) == 0)
        return "mesa";
    return "other";
}


void writeReport() {
    static std::int64_t sorted[kMaxFrames];
    std::copy(s_intervals, s_intervals + s_measured, sorted);
    std::sort(sorted, sorted + s_measured);
    auto quantile = [&](double q) { return milliseconds(sorted[static_cast<int>(q * (s_measured - 1) + 0.5)]); };
    static std::int64_t sortedCpu[kMaxFrames];
    std::copy(s_cpuIntervals, s_cpuIntervals + s_measured, sortedCpu);
    std::sort(sortedCpu, sortedCpu + s_measured);
    std::int64_t total = 0;
    for (int i = 0; i < s_measured; ++i) total += s_intervals[i];
    FILE* out = s_report ? std::fopen(s_report, "w") : nullptr;
    if (!out) return;
    std::fprintf(out, "startup_ms=%.3f\n", s_launchNs ? milliseconds(s_startupNs) : -1.0);
    std::fprintf(out, "context_ms=%.3f\n", s_launchNs && s_contextNs >= 0 ? milliseconds(s_contextNs) : -1.0);
    std::fprintf(out, "first_list_start_ms=%.3f\n", s_launchNs && s_firstListStartNs >= 0 ? milliseconds(s_firstListStartNs) : -1.0);
    std::fprintf(out, "first_list_compile_ms=%.3f\n", milliseconds(s_firstListNs));
    std::fprintf(out, "other_lists_compile_ms=%.3f\nlists=%d\n", milliseconds(s_otherListsNs), s_lists);
    std::fprintf(out, "first_frame_start_ms=%.3f\n", s_launchNs && s_firstClearNs >= 0 ? milliseconds(s_firstClearNs) : -1.0);
    std::fprintf(out, "frames=%d\n", s_measured);
    std::fprintf(out, "frame_median_ms=%.4f\n", quantile(0.5));
    std::fprintf(out, "frame_p10_ms=%.4f\nframe_p90_ms=%.4f\n", quantile(0.1), quantile(0.9));
    std::fprintf(out, "frame_mean_ms=%.4f\n", milliseconds(total) / s_measured);
    std::fprintf(out, "frame_cpu_median_ms=%.4f\n", milliseconds(sortedCpu[s_measured / 2]));
    std::fprintf(out, "main_thread_allocations=%lld\nmain_thread_bytes=%lld\n", s_mainAllocations, s_mainBytes);
    std::fprintf(out, "other_thread_allocations=%lld\nother_thread_bytes=%lld\n", s_otherAllocations, s_otherBytes);
    // The main thread's allocations by the part of the process that asked for them.
    static char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    program[length > 0 ? length : 0] = 0;
    const char* parts[] = {"program", "libstdcxx", "sdl", "x11", "mesa", "other"};
    for (const char* part : parts) {
        long long count = 0;
        for (const Caller& c : s_callers) {
            if (!c.address) break;
            Dl_info info = {};
            const char* file = dladdr(c.address, &info) && info.dli_fname ? info.dli_fname : "?";
            if (std::strcmp(partOf(file, program), part) == 0) count += c.count;
        }
        std::fprintf(out, "main_thread_allocations_%s=%lld\n", part, count);
    }
    std::fprintf(out, "main_thread_allocations_unplaced=%lld\n", s_unplacedCallers);
    for (int i = 0; i < s_callCount; ++i)
        if (!s_calls[i].exiting)
            std::fprintf(out, "startup_call=%s %.3f %.3f %.3f\n", s_calls[i].name,
                         milliseconds(s_calls[i].startNs), milliseconds(s_calls[i].durationNs),
                         milliseconds(s_calls[i].cpuNs));
    for (const Caller& c : s_callers) {
        if (!c.address) break;
        Dl_info info = {};
        dladdr(c.address, &info);
        std::fprintf(out, "main_thread_caller=%lld %s %s\n", c.count, info.dli_fname ? info.dli_fname : "?",
                     info.dli_sname ? info.dli_sname : "?");
    }
    std::fclose(out);
}

void afterSwap() {
    const std::int64_t now = nowNs(CLOCK_MONOTONIC);
    if (s_swaps == 0) s_startupNs = nowNs(CLOCK_REALTIME) - s_launchNs;
    ++s_swaps;
    const std::int64_t cpu = nowNs(CLOCK_PROCESS_CPUTIME_ID);
    if (s_swaps > s_warmup + 1 && s_measured < s_frames) {
        s_cpuIntervals[s_measured] = cpu - s_lastSwapCpuNs;
        s_intervals[s_measured++] = now - s_lastSwapNs;
    }
    s_lastSwapNs = now;
    s_lastSwapCpuNs = cpu;
    // Allocations are counted from the end of the last warm-up frame to the end of
    // the last measured one.
    if (s_swaps == s_warmup + 1) s_counting = true;
    if (s_measured == s_frames && s_counting) {
        s_counting = false;
        writeReport();
        if (!s_ready) {
            raise(SIGTERM);
        } else if (FILE* ready = std::fopen(s_ready, "w")) {
            std::fclose(ready);
        }
    }
}

}  // namespace

extern "C" {

void SDL_GL_SwapWindow(void* window) {
    if (!s_realSwap) s_realSwap = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    s_realSwap(window);
    afterSwap();
}

void* SDL_GL_CreateContext(void* window) {
    if (!s_realCreateContext)
        s_realCreateContext = reinterpret_cast<void* (*)(void*)>(dlsym(RTLD_NEXT, "SDL_GL_CreateContext"));
    const std::int64_t start = sinceLaunch(), startCpu = threadCpuNs();
    void* context = s_realCreateContext(window);
    noteCall("SDL_GL_CreateContext", start, startCpu);
    if (s_contextNs < 0) s_contextNs = nowNs(CLOCK_REALTIME) - s_launchNs;
    return context;
}

// The timed calls. SDL's and Xlib's types by the shapes that matter.
#define PROBE_TIMED(result, name, params, args)                          \
    result name params {                                                 \
        static result(*real) params = nullptr;                           \
        const std::int64_t start = sinceLaunch(), startCpu = threadCpuNs(); \
        auto call = next(&real, #name);                                  \
        PROBE_TIMED_RETURN_##result(call args, #name, start, startCpu)   \
    }
#define PROBE_TIMED_RETURN_void(call, label, start, cpu) \
    call;                                                 \
    noteCall(label, start, cpu);
#define PROBE_TIMED_RETURN_int(call, label, start, cpu) \
    const int value = call;                              \
    noteCall(label, start, cpu);                         \
    return value;
#define PROBE_TIMED_RETURN_pointer(call, label, start, cpu) \
    void* const value = call;                                \
    noteCall(label, start, cpu);                             \
    return value;
typedef void* pointer;

PROBE_TIMED(int, SDL_Init, (std::uint32_t flags), (flags))
PROBE_TIMED(int, SDL_InitSubSystem, (std::uint32_t flags), (flags))
PROBE_TIMED(void, SDL_Quit, (), ())
PROBE_TIMED(pointer, SDL_CreateWindow, (const char* title, int x, int y, int w, int h, std::uint32_t flags),
            (title, x, y, w, h, flags))
PROBE_TIMED(void, SDL_DestroyWindow, (void* window), (window))
PROBE_TIMED(void, SDL_ShowWindow, (void* window), (window))
PROBE_TIMED(void, SDL_HideWindow, (void* window), (window))
PROBE_TIMED(void, SDL_RaiseWindow, (void* window), (window))
PROBE_TIMED(int, SDL_SetWindowInputFocus, (void* window), (window))
PROBE_TIMED(void, SDL_SetWindowPosition, (void* window, int x, int y), (window, x, y))
PROBE_TIMED(void, SDL_SetWindowSize, (void* window, int w, int h), (window, w, h))
PROBE_TIMED(int, SDL_SetWindowFullscreen, (void* window, std::uint32_t flags), (window, flags))
PROBE_TIMED(int, SDL_GL_MakeCurrent, (void* window, void* context), (window, context))
PROBE_TIMED(void, SDL_GL_DeleteContext, (void* context), (context))
PROBE_TIMED(int, XRRSetCrtcConfig,
            (void* display, void* resources, unsigned long crtc, unsigned long time, int x, int y,
             unsigned long mode, unsigned short rotation, unsigned long* outputs, int count),
            (display, resources, crtc, time, x, y, mode, rotation, outputs, count))

// The Escape key-down as the program takes it in (SDL_Event: the type first, the
// key's scancode 16 bytes in).
int SDL_PollEvent(void* event) {
    static int (*real)(void*) = nullptr;
    const int got = next(&real, "SDL_PollEvent")(event);
    if (got && event && s_escapeNs < 0) {
        std::uint32_t type = 0, scancode = 0;
        std::memcpy(&type, event, sizeof type);
        std::memcpy(&scancode, static_cast<const char*>(event) + 16, sizeof scancode);
        if (type == 0x300 && scancode == 41) s_escapeNs = sinceLaunch();  // SDL_KEYDOWN, Escape
    }
    return got;
}

void glClear(unsigned mask) {
    if (!s_realClear) s_realClear = reinterpret_cast<void (*)(unsigned)>(dlsym(RTLD_NEXT, "glClear"));
    if (s_firstClearNs < 0) s_firstClearNs = nowNs(CLOCK_REALTIME) - s_launchNs;
    s_realClear(mask);
}

void glNewList(unsigned list, unsigned mode) {
    if (!s_realNewList) s_realNewList = reinterpret_cast<void (*)(unsigned, unsigned)>(dlsym(RTLD_NEXT, "glNewList"));
    s_listStartNs = nowNs(CLOCK_MONOTONIC);
    if (s_firstListStartNs < 0) s_firstListStartNs = nowNs(CLOCK_REALTIME) - s_launchNs;
    s_realNewList(list, mode);
}

void glEndList() {
    if (!s_realEndList) s_realEndList = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glEndList"));
    s_realEndList();
    const std::int64_t spent = nowNs(CLOCK_MONOTONIC) - s_listStartNs;
    if (s_lists++ == 0) s_firstListNs = spent;
    else s_otherListsNs += spent;
}

void* malloc(std::size_t size) noexcept {
    noteAllocation(size, __builtin_return_address(0));
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    noteAllocation(count * size, __builtin_return_address(0));
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) noexcept {
    noteAllocation(size, __builtin_return_address(0));
    return __libc_realloc(block, size);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation(size, __builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation(size, __builtin_return_address(0));
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
    noteAllocation(size, __builtin_return_address(0));
    void* p = __libc_memalign(alignment, size);
    if (!p) return 12;  // ENOMEM
    *block = p;
    return 0;
}
void free(void* block) noexcept { __libc_free(block); }

}  // extern "C"

// frame_probe: loaded into a GL program with LD_PRELOAD to time it from outside,
// unmodified. It stands in front of SDL_GL_SwapWindow and of the C library's
// allocator, passes every call on, and records:
//   - the time of the first buffer swap after the launch (FRAME_PROBE_LAUNCH_NS,
//     CLOCK_REALTIME in nanoseconds when the program was started): start-up to the
//     first frame;
//   - the time between consecutive swaps for FRAME_PROBE_FRAMES frames (default
//     200) after FRAME_PROBE_WARMUP frames (default 20): the frame time;
//   - every allocation (malloc, calloc, realloc, the aligned ones) made while those
//     frames ran, on the program's main thread and on any other thread, with the
//     addresses that asked for the main thread's ones.
// After the last measured frame it writes key=value lines to FRAME_PROBE_REPORT and
// sends the program SIGTERM, which the demo answers with its normal close. All of
// its own storage is static: measuring allocates nothing.
#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>

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
constexpr int kCallers = 16;

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
int s_measured = 0;
bool s_counting = false;
pthread_t s_mainThread;
long long s_mainAllocations = 0, s_mainBytes = 0, s_otherAllocations = 0, s_otherBytes = 0;
Caller s_callers[kCallers];
const char* s_report = nullptr;
void (*s_realSwap)(void*) = nullptr;

std::int64_t nowNs(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

long long envNumber(const char* name, long long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoll(text) : fallback;
}

__attribute__((constructor)) void start() {
    s_mainThread = pthread_self();
    s_launchNs = envNumber("FRAME_PROBE_LAUNCH_NS", 0);
    s_warmup = static_cast<int>(envNumber("FRAME_PROBE_WARMUP", 20));
    s_frames = static_cast<int>(std::min<long long>(envNumber("FRAME_PROBE_FRAMES", 200), kMaxFrames));
    s_report = std::getenv("FRAME_PROBE_REPORT");
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
}

double milliseconds(std::int64_t ns) { return static_cast<double>(ns) / 1e6; }

void writeReport() {
    static std::int64_t sorted[kMaxFrames];
    std::copy(s_intervals, s_intervals + s_measured, sorted);
    std::sort(sorted, sorted + s_measured);
    auto quantile = [&](double q) { return milliseconds(sorted[static_cast<int>(q * (s_measured - 1) + 0.5)]); };
    std::int64_t total = 0;
    for (int i = 0; i < s_measured; ++i) total += s_intervals[i];
    FILE* out = s_report ? std::fopen(s_report, "w") : nullptr;
    if (!out) return;
    std::fprintf(out, "startup_ms=%.3f\n", s_launchNs ? milliseconds(s_startupNs) : -1.0);
    std::fprintf(out, "frames=%d\n", s_measured);
    std::fprintf(out, "frame_median_ms=%.4f\n", quantile(0.5));
    std::fprintf(out, "frame_p10_ms=%.4f\nframe_p90_ms=%.4f\n", quantile(0.1), quantile(0.9));
    std::fprintf(out, "frame_mean_ms=%.4f\n", milliseconds(total) / s_measured);
    std::fprintf(out, "main_thread_allocations=%lld\nmain_thread_bytes=%lld\n", s_mainAllocations, s_mainBytes);
    std::fprintf(out, "other_thread_allocations=%lld\nother_thread_bytes=%lld\n", s_otherAllocations, s_otherBytes);
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
    if (s_swaps > s_warmup + 1 && s_measured < s_frames) s_intervals[s_measured++] = now - s_lastSwapNs;
    s_lastSwapNs = now;
    // Allocations are counted from the end of the last warm-up frame to the end of
    // the last measured one.
    if (s_swaps == s_warmup + 1) s_counting = true;
    if (s_measured == s_frames && s_counting) {
        s_counting = false;
        writeReport();
        raise(SIGTERM);
    }
}

}  // namespace

extern "C" {

void SDL_GL_SwapWindow(void* window) {
    if (!s_realSwap) s_realSwap = reinterpret_cast<void (*)(void*)>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    s_realSwap(window);
    afterSwap();
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

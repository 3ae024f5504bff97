#include "planet/noise_batch.h"

#include "planet/kernels.h"

namespace {

int cpuAlways() { return 1; }
int cpuSse2() { return __builtin_cpu_supports("sse2") ? 1 : 0; }
int cpuAvx2() { return __builtin_cpu_supports("avx2") ? 1 : 0; }
int cpuAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") ? 1 : 0;
}

struct SetEntry {
    const char* name;
    const PlanetKernels* kernels;  // entries null where the build left the set out
    int (*cpuRuns)();
};

const SetEntry s_sets[kernelSetCount] = {
    {"scalar", &g_kernelsScalar, cpuAlways},
    {"sse2", &g_kernelsSse2, cpuSse2},
    {"avx2", &g_kernelsAvx2, cpuAvx2},
    {"avx512", &g_kernelsAvx512, cpuAvx512},
};
// The set in use; null until the first use chooses the widest.
const PlanetKernels* s_kernels = nullptr;
KernelSet s_inUse = kernelSetScalar;

void chooseWidest() {
    for (int set = kernelSetCount - 1; set >= 0; --set)
        if (useKernelSet(static_cast<KernelSet>(set))) return;
}

}  // namespace

const PlanetKernels& planetKernels() {
    if (!s_kernels) chooseWidest();
    return *s_kernels;
}

void noise3Batch(const float* x, const float* y, const float* z, float* out, std::size_t count) {
    planetKernels().noise(x, y, z, out, count);
}

const char* kernelSetName(KernelSet set) {
    return set >= 0 && set < kernelSetCount ? s_sets[set].name : "none";
}

int kernelSetAvailable(KernelSet set) {
    if (set < 0 || set >= kernelSetCount) return 0;
    const SetEntry& entry = s_sets[set];
    return entry.kernels->noise && entry.cpuRuns() ? 1 : 0;
}

KernelSet kernelSetInUse() {
    planetKernels();
    return s_inUse;
}

int useKernelSet(KernelSet set) {
    if (!kernelSetAvailable(set)) return 0;
    s_inUse = set;
    s_kernels = s_sets[set].kernels;
    return 1;
}

// Planet generation without the GL driver: all of buildPlanetList (positions,
// cell normals, vertex normals and the strips sent to a GL sink that keeps
// nothing, bench/gl_sink.h), in milliseconds, for the straightforward baseline
// (bench/baseline_planet.cpp) and for the optimised builder with each instruction
// set. The summary gives each one's speed-up over the baseline, from the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/baseline_planet.h"
#include "bench/bench_main.h"
#include "bench/gl_sink.h"
#include "planet/mesh.h"
#include "planet/noise_batch.h"

namespace {

void BM_GenerationBaseline(benchmark::State& state) {
    for (auto _ : state) {
        glSinkReset();
        benchmark::DoNotOptimize(baselineBuildPlanetList());
    }
    state.counters["gl_calls"] = static_cast<double>(glSinkCalls());
}
BENCHMARK(BM_GenerationBaseline)->Unit(benchmark::kMillisecond);

void BM_Generation(benchmark::State& state, KernelSet set) {
    const KernelSet before = kernelSetInUse();
    if (!useKernelSet(set)) {
        state.SkipWithError("not available on this CPU");
        for (auto _ : state) {
        }
        return;
    }
    for (auto _ : state) {
        glSinkReset();
        benchmark::DoNotOptimize(buildPlanetList());
    }
    state.counters["gl_calls"] = static_cast<double>(glSinkCalls());
    useKernelSet(before);
}

// Both builders must have sent the same values for the comparison to mean anything.
int sameStreams() {
    glSinkReset();
    baselineBuildPlanetList();
    const std::uint32_t baseline = glSinkBits();
    glSinkReset();
    buildPlanetList();
    if (glSinkBits() == baseline) return 1;
    std::fprintf(stderr, "planet_bench: the builders sent different values\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!sameStreams()) return 1;
    std::printf("kernel set in use by default: %s\n", kernelSetName(kernelSetInUse()));
    for (int set = kernelSetScalar; set < kernelSetCount; ++set) {
        const std::string name = std::string("BM_Generation/") + kernelSetName(static_cast<KernelSet>(set));
        benchmark::RegisterBenchmark(name.c_str(), BM_Generation, static_cast<KernelSet>(set))
            ->Unit(benchmark::kMillisecond);
    }
    return runBenchmarks(argc, argv, "BM_GenerationBaseline", "BM_Generation/");
}

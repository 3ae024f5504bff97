// The noise, nanoseconds per point, on the points that the planet builder
// evaluates (bench/planet_points.h): noise3 (the one-point reference, with its
// cache), the straightforward noise of the baseline builder (eight corner hashes
// from scratch per call), and noise3Batch with each instruction set, fed in runs
// of 1,218 points (one row of samples, six octaves each, as the builder feeds its
// kernel).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/baseline_planet.h"
#include "bench/bench_main.h"
#include "bench/planet_points.h"
#include "planet/noise.h"
#include "planet/noise_batch.h"

namespace {

const std::vector<Vec3>& points() {
    static const std::vector<Vec3> all = planetOctavePoints();
    return all;
}

void perPoint(benchmark::State& state) {
    state.counters["per_point"] = benchmark::Counter(
        static_cast<double>(points().size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Noise3(benchmark::State& state) {
    for (auto _ : state) {
        float sum = 0;
        for (const Vec3& p : points()) sum += noise3(&p, interpSmooth);
        benchmark::DoNotOptimize(sum);
    }
    perPoint(state);
}
BENCHMARK(BM_Noise3)->Unit(benchmark::kMillisecond);

void BM_Noise3Straightforward(benchmark::State& state) {
    for (auto _ : state) {
        float sum = 0;
        for (const Vec3& p : points()) sum += baselineNoise3(&p);
        benchmark::DoNotOptimize(sum);
    }
    perPoint(state);
}
BENCHMARK(BM_Noise3Straightforward)->Unit(benchmark::kMillisecond);

void BM_Noise3Batch(benchmark::State& state, KernelSet set) {
    const KernelSet before = kernelSetInUse();
    if (!useKernelSet(set)) {
        state.SkipWithError("not available on this CPU");
        for (auto _ : state) {
        }
        return;
    }
    const std::vector<Vec3>& all = points();
    std::vector<float> x, y, z;
    for (const Vec3& p : all) x.push_back(p.x), y.push_back(p.y), z.push_back(p.z);
    std::vector<float> out(all.size());
    constexpr std::size_t kRun = 6 * 203;
    for (auto _ : state) {
        for (std::size_t i = 0; i < all.size(); i += kRun) {
            const std::size_t n = all.size() - i < kRun ? all.size() - i : kRun;
            noise3Batch(&x[i], &y[i], &z[i], &out[i], n);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    useKernelSet(before);
    perPoint(state);
}

}  // namespace

int main(int argc, char** argv) {
    for (int set = kernelSetScalar; set < kernelSetCount; ++set) {
        const std::string name = std::string("BM_Noise3Batch/") + kernelSetName(static_cast<KernelSet>(set));
        benchmark::RegisterBenchmark(name.c_str(), BM_Noise3Batch, static_cast<KernelSet>(set))
            ->Unit(benchmark::kMillisecond);
    }
    return runBenchmarks(argc, argv, "BM_Noise3Straightforward", "BM_Noise3");
}

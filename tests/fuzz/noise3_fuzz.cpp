// Fuzz target over noise3: arbitrary bytes become the three coordinates of a point
// (any bit patterns, NaNs and infinities included), and every point must satisfy the
// properties that the noise promises:
//   - the result lies in [-1, 1] (so it is not NaN);
//   - it does not depend on the one-cell cache: the call after whatever point came
//     before, a call with the cache emptied, and a repeat in the cached cell agree
//     bit for bit;
//   - it is the documented value: the cell of each coordinate is floor(q) taken
//     modulo 2^32 for finite |q| < 2^63 and 0 otherwise, the fraction q - floor(q)
//     (0 otherwise), and the result blends the eight corners' lattice values along
//     z, then y, then x. The reference below works from std::floor and the public
//     hash, so it checks the cell and fraction logic and the cache path of noise3
//     independently of how noise3 computes them.
//   - noise3Batch gives the same bits, with every kernel set that this build and CPU
//     have (plain, SSE2, AVX2, AVX-512): the input's coordinates are spread over a
//     batch of 37 points (rotated between the axes, so that neighbouring lanes
//     differ), which fills whole vector groups and leaves a tail.
// A broken property prints the point and aborts, which libFuzzer records as a crash
// with the input that caused it. The same function runs in the ordinary test suite
// over the kept corpus (corpus_replay.cpp).
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "planet/noise.h"
#include "planet/noise_batch.h"

namespace {

struct AxisRef {
    std::uint32_t cell;  // as an unsigned 32-bit lattice coordinate
    float fraction;
};

AxisRef referenceAxis(float q) {
    if (!std::isfinite(q) || std::fabs(q) >= 0x1p63f) return {0u, 0.0f};
    const float f = std::floor(q);
    const auto wide = static_cast<std::int64_t>(f);
    // One single-precision subtraction: the exact difference rounded once (a zero
    // difference is +0.0 under round-to-nearest).
    const float fraction = q - f;
    return {static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)), fraction};
}

float referenceNoise(const Vec3& p) {
    const AxisRef ax[3] = {referenceAxis(p.x), referenceAxis(p.y), referenceAxis(p.z)};
    float w[8];
    for (int m = 0; m < 8; ++m) {
        const std::uint32_t x = ax[0].cell + static_cast<std::uint32_t>(m & 1);
        const std::uint32_t y = ax[1].cell + static_cast<std::uint32_t>((m >> 1) & 1);
        const std::uint32_t z = ax[2].cell + static_cast<std::uint32_t>((m >> 2) & 1);
        w[m] = latticeValue(latticeHash(x, y, z));
    }
    for (int i = 0; i < 4; ++i) w[i] = interpSmooth(&w[i], &w[i + 4], &ax[2].fraction);
    for (int i = 0; i < 2; ++i) w[i] = interpSmooth(&w[i], &w[i + 2], &ax[1].fraction);
    w[0] = interpSmooth(&w[0], &w[1], &ax[0].fraction);
    return w[0];
}

[[noreturn]] void fail(const char* what, const Vec3& p, float got, float want) {
    std::fprintf(stderr,
                 "noise3 property broken: %s\n  point bits %08x %08x %08x (%a, %a, %a)\n"
                 "  got %a (%08x), want %a (%08x)\n",
                 what, std::bit_cast<std::uint32_t>(p.x), std::bit_cast<std::uint32_t>(p.y),
                 std::bit_cast<std::uint32_t>(p.z), static_cast<double>(p.x),
                 static_cast<double>(p.y), static_cast<double>(p.z), static_cast<double>(got),
                 std::bit_cast<std::uint32_t>(got), static_cast<double>(want),
                 std::bit_cast<std::uint32_t>(want));
    std::abort();
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// Batch point k takes three consecutive coordinates from the input's pool, starting
// at k, so every coordinate appears on every axis.
void checkBatches(const std::uint8_t* bytes, std::size_t points) {
    constexpr std::size_t kBatch = 37;
    const std::size_t pool = 3 * points;
    float coordinates[3 * 8];
    std::memcpy(coordinates, bytes, sizeof(float) * pool);
    float x[kBatch], y[kBatch], z[kBatch], want[kBatch], got[kBatch];
    for (std::size_t k = 0; k < kBatch; ++k) {
        x[k] = coordinates[k % pool];
        y[k] = coordinates[(k + 1) % pool];
        z[k] = coordinates[(k + 2) % pool];
        const Vec3 p = {x[k], y[k], z[k]};
        want[k] = noise3(&p, interpSmooth);
    }
    const KernelSet chosen = kernelSetInUse();
    for (int set = 0; set < kernelSetCount; ++set) {
        if (!useKernelSet(static_cast<KernelSet>(set))) continue;
        std::memset(got, 0xFF, sizeof got);
        noise3Batch(x, y, z, got, kBatch);
        for (std::size_t k = 0; k < kBatch; ++k) {
            if (!sameBits(got[k], want[k])) {
                std::fprintf(stderr, "kernel set %s, batch point %zu:\n",
                             kernelSetName(static_cast<KernelSet>(set)), k);
                fail("noise3Batch differs from noise3", {x[k], y[k], z[k]}, got[k], want[k]);
            }
        }
    }
    useKernelSet(chosen);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Twelve bytes make a point; shorter inputs are padded with zero bytes, longer
    // ones give one point per twelve bytes (at most eight, so runs stay fast) and
    // exercise the cache across consecutive points.
    std::uint8_t bytes[12 * 8] = {};
    const std::size_t used = size < sizeof bytes ? size : sizeof bytes;
    if (used > 0) std::memcpy(bytes, data, used);
    const std::size_t points = used <= 12 ? 1 : (used + 11) / 12;

    for (std::size_t n = 0; n < points; ++n) {
        std::uint32_t raw[3];
        std::memcpy(raw, bytes + 12 * n, sizeof raw);
        const Vec3 p = {std::bit_cast<float>(raw[0]), std::bit_cast<float>(raw[1]),
                        std::bit_cast<float>(raw[2])};

        // The cache holds whatever the previous point (or input) left there.
        const float warm = noise3(&p, interpSmooth);
        if (!(warm >= -1.0f && warm <= 1.0f)) fail("result outside [-1, 1]", p, warm, 0.0f);

        const float repeat = noise3(&p, interpSmooth);  // now from the cached cell
        if (!sameBits(repeat, warm)) fail("repeat in the cached cell differs", p, repeat, warm);

        const NoiseCache kept = g_noiseCache;
        g_noiseCache = {};
        const float fresh = noise3(&p, interpSmooth);
        if (!sameBits(fresh, warm)) fail("result depends on the cache", p, warm, fresh);

        const AxisRef ax[3] = {referenceAxis(p.x), referenceAxis(p.y), referenceAxis(p.z)};
        for (int a = 0; a < 3; ++a)
            if (static_cast<std::uint32_t>(g_noiseCache.cell[a]) != ax[a].cell)
                fail("cached cell is not floor modulo 2^32", p,
                     static_cast<float>(g_noiseCache.cell[a]), static_cast<float>(ax[a].cell));
        if (std::memcmp(&kept.cell, &g_noiseCache.cell, sizeof kept.cell) != 0 ||
            std::memcmp(&kept.corners, &g_noiseCache.corners, sizeof kept.corners) != 0)
            fail("cache contents differ between warm and fresh calls", p, warm, fresh);

        const float want = referenceNoise(p);
        if (!sameBits(fresh, want)) fail("result is not the documented value", p, fresh, want);
    }
    checkBatches(bytes, points);
    return 0;
}

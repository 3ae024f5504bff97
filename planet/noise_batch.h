// Many noise3 evaluations at once, and the choice of instruction set for the
// planet's batched kernels.
//
// noise3Batch gives, for every point, exactly the bits that noise3 gives with
// interpSmooth: the same operations in the same order, only many points at a
// time, in the vector registers of the widest instruction set that this CPU has
// (AVX-512: 16 points, AVX2: 8, SSE2: 4; the plain code where none is there). It
// has no cache and leaves noise3's g_noiseCache alone; noise3 stays the one-point
// entry and the reference. The planet builder uses the same instruction set for
// its other batched work (positions, cell and vertex normals).
//
// One thread only: the choice is module state, made on the first use.
#pragma once

#include <cstddef>

enum KernelSet : int {
    kernelSetScalar,
    kernelSetSse2,
    kernelSetAvx2,
    kernelSetAvx512,
    kernelSetCount,
};

// out[i] = noise3({x[i], y[i], z[i]}, interpSmooth) for every i below count, bit
// for bit, for any input (NaN, infinities and huge coordinates included). The
// arrays may have any alignment; out must not overlap the inputs.
void noise3Batch(const float* x, const float* y, const float* z, float* out, std::size_t count);

// "scalar", "sse2", "avx2", "avx512"; "none" for anything else.
const char* kernelSetName(KernelSet set);
// 1 when this build holds the set and this CPU runs it, else 0. The 32-bit build
// holds only the plain and the SSE2 sets.
int kernelSetAvailable(KernelSet set);
// The set in use: the widest available one unless chosen.
KernelSet kernelSetInUse();
// Makes the planet's kernels use set; returns 1, or 0 (changing nothing) when the
// set is not available. For tests and benchmarks.
int useKernelSet(KernelSet set);

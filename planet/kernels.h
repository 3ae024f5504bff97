// The planet's batched kernels, one table per instruction set (see noise_batch.h
// for choosing one). Every kernel gives the bits of the plain one-point code: the
// same single-precision and double-precision operations in the same order, only
// many samples at a time. The vector tables live in files of their own, compiled
// for their instruction set, so nothing of them may run before the CPU has been
// checked.
#pragma once

#include <cstddef>

#include "planet/vec3.h"

// Three parallel arrays: the x, y and z components of a row of vectors.
struct SoaRow {
    float* x;
    float* y;
    float* z;
};

// One sample row of a face: column i's cube point is d n + u U + w W with
// u = columnU[i], d = columnDepth[i] - rowStep and w = rowW (whole numbers, so
// every order of the sums gives the same point).
struct SampleRow {
    const float* columnU;
    const float* columnDepth;
    float rowW;
    float rowStep;
    Vec3 n, u, w;
};

struct PlanetKernels {
    // out[i] = noise3({x[i], y[i], z[i]}, interpSmooth); any count.
    void (*noise)(const float* x, const float* y, const float* z, float* out, std::size_t count);
    // For count cube points p of a sample row: q = p normalised, then the position
    // q * planetRadius(q), into out and into grid.
    void (*sampleRow)(const SampleRow& row, SoaRow out, Vec3* grid, std::size_t count);
    // For count cells between two rows of count + 1 positions: the normalised
    // Newell normal of low[i] -> high[i] -> high[i+1] -> low[i+1] -> low[i], into
    // out and into grid.
    void (*cellRow)(SoaRow low, SoaRow high, SoaRow out, Vec3* grid, std::size_t count);
    // For count vertices between two rows of count + 1 cell normals: the
    // normalised sum low[i] + high[i] + high[i+1] + low[i+1], added in that order,
    // into grid.
    void (*vertexRow)(SoaRow low, SoaRow high, Vec3* grid, std::size_t count);
};

// The plain code, one sample at a time: the reference, and what a vector kernel
// falls back to for inputs it does not take (see kernels_lanes.h).
extern const PlanetKernels g_kernelsScalar;
// The vector tables. The 32-bit build leaves the AVX ones out: their entries are
// null there.
extern const PlanetKernels g_kernelsSse2;
extern const PlanetKernels g_kernelsAvx2;
extern const PlanetKernels g_kernelsAvx512;

// The table that the planet builder uses: the widest available unless chosen
// otherwise (noise_batch.h).
const PlanetKernels& planetKernels();

// Three-dimensional lattice value noise with an arithmetic lattice hash.
//
// Every lattice point gets a pseudo-random value from a hash of its integer
// coordinates; noise3 blends the eight corners of the cell holding the point along
// z, then y, then x with the interpolation it is given. All arithmetic is single
// precision, rounded per operation, and the hash is unsigned 32-bit arithmetic, so
// results are bit-identical on every build.
//
// Coordinates: a finite coordinate below 2^63 in magnitude lies in the cell of its
// floor, taken modulo 2^32 as a signed 32-bit number, with fraction q - floor(q).
// A coordinate that is NaN, infinite, or of magnitude 2^63 or more lies in cell 0
// with fraction 0 (for the finite ones that is what the modular rule gives too).
// So every input yields a value, in [-1, 1] with interpSmooth.
#pragma once

#include <cstdint>

#include "planet/vec3.h"

// Blends *a and *b by the fraction *t; reads through the pointers, writes nothing.
typedef float (*InterpFn)(const float* a, const float* b, const float* t);

struct NoiseAxes {
    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t z;
};

inline constexpr NoiseAxes kNoiseSumMul = {0xB635C513u, 0xC2E4F0D1u, 0x9E6E5D39u};
inline constexpr NoiseAxes kNoiseXorMul = {0xF0A5196Du, 0x9B8B9725u, 0x92E98A37u};
inline constexpr std::uint32_t kNoiseMixKey = 0xDCD8E8B9u;
inline constexpr std::uint32_t kNoiseMixMul = 0xA3BC49C3u;

// The corner values of the cell that noise3 computed last. Corner m has x offset
// bit 0, y offset bit 1, z offset bit 2. Never changes a result.
struct NoiseCache {
    bool valid;
    std::int32_t cell[3];
    float corners[8];
};
extern NoiseCache g_noiseCache;

// Sum of the low word of M*v and an estimate of its high word from 16- and 15-bit
// partial products; no product wider than 32 bits.
std::uint32_t hashFold(std::uint32_t m, std::uint32_t v);
std::uint32_t latticeHash(std::uint32_t x, std::uint32_t y, std::uint32_t z);
// u mapped to [-1, 1]: nearest float of u, times 2^-31, minus 1.
float latticeValue(std::uint32_t u);

// The smoothstep blend a + (b - a) * t^2 (3 - 2t), in a fixed order of operations.
float interpSmooth(const float* a, const float* b, const float* t);

// The noise at *p. interp must not be null; it is called seven times per call.
float noise3(const Vec3* p, InterpFn interp);

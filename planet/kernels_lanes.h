// The body of the vector kernels, written once with the compiler's vector types
// and included by one file per instruction set. Before including it, that file
// defines, inside an unnamed namespace:
//   kLanes              the number of samples per group;
//   VF, VI, VU, VD      vectors of kLanes floats, signed and unsigned 32-bit
//                       integers, and kLanes / 2 doubles;
//   allLanes(VI m)      true when every lane of the comparison mask m is set;
//   unsignedToFloat(VU) each lane converted to the nearest float, ties to even,
//                       exactly as one scalar conversion rounds it;
//   smallProduct(a, b)  a * b for lanes below 2^16 whose product fits 32 bits;
//   halfProducts(a, b)  per lane, the sum of the products of the low 16-bit halves
//                       and of the high 16-bit halves, for halves below 2^15;
//   squareRoot(VF)      the correctly rounded square root of each lane;
//   widen(VF, lo, hi)   the low and high halves of the lanes, exactly, as doubles;
//   narrow(lo, hi)      the reverse, each lane rounded to nearest float;
//   storeVec3(out, x, y, z)  the lanes as kLanes consecutive Vec3 at out.
// Everything here has internal linkage: each instruction set gets its own copy,
// and no inline function compiled with wide instructions can stand in for one of
// another file. Only builtins and intrinsics are used, for the same reason.
//
// Per lane the operations are those of the plain code (kernels_scalar.cpp, noise3,
// the planet builder), in the same order and with the same roundings; no multiply
// is fused into an add (-ffp-contract=off holds for vector code too). So every
// lane's bits equal the plain code's. Integer work may be regrouped freely, since
// it is exact modulo 2^32; float work is not regrouped at all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "planet/kernels.h"
#include "planet/noise.h"

namespace {

inline VF loadLanes(const float* p) {
    VF v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void storeLanes(float* p, VF v) { __builtin_memcpy(p, &v, sizeof v); }

// hashFold(m, v) for a constant m: low word plus the estimate of the high word.
// Both 15-bit halves that the cross products take from v, (v AND 0xFFFF) >> 1 and
// v >> 17, are packed into one vector, and each cross product is one
// multiply-add of 16-bit halves with the other half's factor set to zero.
inline VU foldLanes(std::uint32_t m, VU v) {
    const VU zero = {};
    const VU low = (zero + m) * v;
    const VU highByHigh = smallProduct(v >> 16, zero + (m >> 16));
    const VU halves = (v >> 1) & 0x7FFF7FFFu;
    const VU cross1 = halfProducts(halves, zero + (((m & 0xFFFFu) >> 1) << 16)) >> 14;
    const VU cross2 = halfProducts(halves, zero + (m >> 17)) >> 14;
    return low + highByHigh + cross1 + cross2;
}

// interpSmooth's weight t^2 (3 - 2t), which depends on t alone: one computation
// serves the four (or two) blends of a pass.
inline VF smoothWeight(VF t) {
    const VF s = t * t;
    VF k = -2.0f * t;
    k = k + 3.0f;
    return s * k;
}

// interpSmooth(a, b, t) given its weight w: d = b - a; d = d * w; a + d.
inline VF blend(VF a, VF b, VF w) {
    VF d = b - a;
    d = d * w;
    return a + d;
}

// noise3 with interpSmooth in every lane.
inline VF noiseLanes(VF qx, VF qy, VF qz) {
    // The truncation to 32-bit integers is exact for |q| < 2^31; a group holding
    // anything else (larger, infinite, NaN) takes the plain code.
    const VF q[3] = {qx, qy, qz};
    VI inRange = {};
    inRange = inRange - 1;
#pragma GCC unroll 3
    for (int a = 0; a < 3; ++a) {
        const VF magnitude = reinterpret_cast<VF>(reinterpret_cast<VU>(q[a]) & 0x7FFFFFFFu);
        inRange &= magnitude < 0x1p31f;
    }
    if (!allLanes(inRange)) {
        float x[kLanes], y[kLanes], z[kLanes], out[kLanes];
        storeLanes(x, qx);
        storeLanes(y, qy);
        storeLanes(z, qz);
        g_kernelsScalar.noise(x, y, z, out, kLanes);
        return loadLanes(out);
    }

    // Cell and fraction per axis. T = trunc(q); the floor is T - 1 where q < T (a
    // negative non-integer, whose T - 1 is exact), else T. The floor's float is the
    // cell converted back, exactly; it is +0.0 where noise3's is -0.0 (q = -0.0),
    // and adding +0.0 turns the fraction's -0.0 into noise3's +0.0 while leaving
    // every other value alone.
    VU lo[3];
    VF fraction[3];
#pragma GCC unroll 3
    for (int a = 0; a < 3; ++a) {
        const VI truncated = __builtin_convertvector(q[a], VI);
        const VF t = __builtin_convertvector(truncated, VF);
        const VI cell = truncated + (q[a] < t);
        const VF floor = __builtin_convertvector(cell, VF);
        fraction[a] = (q[a] - floor) + 0.0f;
        lo[a] = reinterpret_cast<VU>(cell);
    }

    // The twelve axis folds, shared by the corners.
    const std::uint32_t sumMul[3] = {kNoiseSumMul.x, kNoiseSumMul.y, kNoiseSumMul.z};
    const std::uint32_t xorMul[3] = {kNoiseXorMul.x, kNoiseXorMul.y, kNoiseXorMul.z};
    VU sumFold[3][2];
    VU xorFold[3][2];
#pragma GCC unroll 3
    for (int a = 0; a < 3; ++a) {
        const VU hi = lo[a] + 1u;
        sumFold[a][0] = foldLanes(sumMul[a], lo[a]);
        sumFold[a][1] = foldLanes(sumMul[a], hi);
        xorFold[a][0] = foldLanes(xorMul[a], lo[a]);
        xorFold[a][1] = foldLanes(xorMul[a], hi);
    }
    // The x and y parts of each corner's XOR and sum, shared by its two z corners.
    VU xorXY[4];
    VU sumXY[4];
#pragma GCC unroll 4
    for (int b = 0; b < 4; ++b) {
        xorXY[b] = (xorFold[0][b & 1] ^ xorFold[1][b >> 1]) ^ kNoiseMixKey;
        sumXY[b] = sumFold[0][b & 1] + sumFold[1][b >> 1];
    }

    VF w[8];
#pragma GCC unroll 8
    for (int m = 0; m < 8; ++m) {
        const VU h = xorXY[m & 3] ^ xorFold[2][m >> 2];
        const VU u = foldLanes(kNoiseMixMul, h) + sumXY[m & 3] + sumFold[2][m >> 2];
        const VF scaled = unsignedToFloat(u) * 0x1p-31f;
        w[m] = scaled + -1.0f;
    }

    // Three passes on z, y, x with strides 4, 2, 1.
    const VF wz = smoothWeight(fraction[2]);
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) w[i] = blend(w[i], w[i + 4], wz);
    const VF wy = smoothWeight(fraction[1]);
#pragma GCC unroll 2
    for (int i = 0; i < 2; ++i) w[i] = blend(w[i], w[i + 2], wy);
    const VF wx = smoothWeight(fraction[0]);
    return blend(w[0], w[1], wx);
}

// The length from x² + y² + z² added in that order, its reciprocal, three products.
inline void normaliseLanes(VF& x, VF& y, VF& z) {
    const VF length = squareRoot(x * x + y * y + z * z);
    const VF inverse = 1.0f / length;
    x = x * inverse;
    y = y * inverse;
    z = z * inverse;
}

// planetRadius(q) in every lane: six octaves, summed in double precision in the
// order k = 0 to 5, then 100 + 5 * sum rounded to float.
inline VF radiusLanes(VF qx, VF qy, VF qz) {
    const float factors[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    const double weights[6] = {0.03125, 0.0625, 0.125, 0.25, 0.5, 1.0};
    const VF bx = qx * 150.0f;
    const VF by = qy * 150.0f;
    const VF bz = qz * 150.0f;
    VD sumLow = {};
    VD sumHigh = {};
#pragma GCC unroll 6
    for (int k = 0; k < 6; ++k) {
        const VF s = noiseLanes(bx * factors[k], by * factors[k], bz * factors[k]);
        VD low, high;
        widen(s, &low, &high);
        if (k == 0) {
            sumLow = weights[0] * low;
            sumHigh = weights[0] * high;
        } else {
            sumLow = sumLow + weights[k] * low;
            sumHigh = sumHigh + weights[k] * high;
        }
    }
    const VD radiusLow = 100.0 + 5.0 * sumLow;
    const VD radiusHigh = 100.0 + 5.0 * sumHigh;
    return narrow(radiusLow, radiusHigh);
}

// A row kernel runs its whole groups from the start and, when count is not a
// multiple of kLanes, one more group that ends at the last element (recomputing a
// few, to the same bits). Rows shorter than one group take the plain code.
inline std::size_t lastGroupStart(std::size_t count) { return count - kLanes; }

void noiseRowLanes(const float* x, const float* y, const float* z, float* out,
                   std::size_t count) {
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes)
        storeLanes(out + i, noiseLanes(loadLanes(x + i), loadLanes(y + i), loadLanes(z + i)));
    if (i < count) g_kernelsScalar.noise(x + i, y + i, z + i, out + i, count - i);
}

inline void sampleGroup(const SampleRow& row, SoaRow out, Vec3* grid, std::size_t i) {
    const VF u = loadLanes(row.columnU + i);
    const VF d = loadLanes(row.columnDepth + i) - row.rowStep;
    const float w = row.rowW;
    VF qx = d * row.n.x + u * row.u.x + w * row.w.x;
    VF qy = d * row.n.y + u * row.u.y + w * row.w.y;
    VF qz = d * row.n.z + u * row.u.z + w * row.w.z;
    normaliseLanes(qx, qy, qz);
    const VF r = radiusLanes(qx, qy, qz);
    const VF x = qx * r, y = qy * r, z = qz * r;
    storeLanes(out.x + i, x);
    storeLanes(out.y + i, y);
    storeLanes(out.z + i, z);
    storeVec3(grid + i, x, y, z);
}

void sampleRowLanes(const SampleRow& row, SoaRow out, Vec3* grid, std::size_t count) {
    if (count < kLanes) return g_kernelsScalar.sampleRow(row, out, grid, count);
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) sampleGroup(row, out, grid, i);
    if (i < count) sampleGroup(row, out, grid, lastGroupStart(count));
}

// One edge's term of Newell's normal, added to n (or starting it).
inline void newellEdge(VF ax, VF ay, VF az, VF bx, VF by, VF bz, VF& nx, VF& ny, VF& nz,
                       bool first) {
    const VF tx = (ay - by) * (az + bz);
    const VF ty = (az - bz) * (ax + bx);
    const VF tz = (ax - bx) * (ay + by);
    if (first) {
        nx = tx, ny = ty, nz = tz;
    } else {
        nx = nx + tx, ny = ny + ty, nz = nz + tz;
    }
}

inline void cellGroup(SoaRow low, SoaRow high, SoaRow out, Vec3* grid, std::size_t i) {
    const VF x0 = loadLanes(low.x + i), y0 = loadLanes(low.y + i), z0 = loadLanes(low.z + i);
    const VF x1 = loadLanes(high.x + i), y1 = loadLanes(high.y + i), z1 = loadLanes(high.z + i);
    const VF x2 = loadLanes(high.x + i + 1), y2 = loadLanes(high.y + i + 1),
             z2 = loadLanes(high.z + i + 1);
    const VF x3 = loadLanes(low.x + i + 1), y3 = loadLanes(low.y + i + 1),
             z3 = loadLanes(low.z + i + 1);
    VF nx, ny, nz;
    newellEdge(x0, y0, z0, x1, y1, z1, nx, ny, nz, true);
    newellEdge(x1, y1, z1, x2, y2, z2, nx, ny, nz, false);
    newellEdge(x2, y2, z2, x3, y3, z3, nx, ny, nz, false);
    newellEdge(x3, y3, z3, x0, y0, z0, nx, ny, nz, false);
    normaliseLanes(nx, ny, nz);
    storeLanes(out.x + i, nx);
    storeLanes(out.y + i, ny);
    storeLanes(out.z + i, nz);
    storeVec3(grid + i, nx, ny, nz);
}

void cellRowLanes(SoaRow low, SoaRow high, SoaRow out, Vec3* grid, std::size_t count) {
    if (count < kLanes) return g_kernelsScalar.cellRow(low, high, out, grid, count);
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) cellGroup(low, high, out, grid, i);
    if (i < count) cellGroup(low, high, out, grid, lastGroupStart(count));
}

inline VF sumOfFour(const float* low, const float* high, std::size_t i) {
    return loadLanes(low + i) + loadLanes(high + i) + loadLanes(high + i + 1) +
           loadLanes(low + i + 1);
}

inline void vertexGroup(SoaRow low, SoaRow high, Vec3* grid, std::size_t i) {
    VF nx = sumOfFour(low.x, high.x, i);
    VF ny = sumOfFour(low.y, high.y, i);
    VF nz = sumOfFour(low.z, high.z, i);
    normaliseLanes(nx, ny, nz);
    storeVec3(grid + i, nx, ny, nz);
}

void vertexRowLanes(SoaRow low, SoaRow high, Vec3* grid, std::size_t count) {
    if (count < kLanes) return g_kernelsScalar.vertexRow(low, high, grid, count);
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) vertexGroup(low, high, grid, i);
    if (i < count) vertexGroup(low, high, grid, lastGroupStart(count));
}

}  // namespace

// The plain kernels: one sample at a time, written like noise3 and the planet
// builder's steps. The reference for the vector kernels, the set used where no
// vector set is available, and the vector noise kernels' fallback for inputs
// outside the range of their integer conversion.
#include <cmath>
#include <cstdint>

#include "planet/kernels.h"
#include "planet/noise.h"

namespace {

// hashFold, latticeValue and interpSmooth of noise.cpp, repeated here so that the
// compiler can inline them into the loop: the same operations in the same order.
inline std::uint32_t fold(std::uint32_t m, std::uint32_t v) {
    const std::uint32_t low = m * v;
    const std::uint32_t highByHigh = (m >> 16) * (v >> 16);
    const std::uint32_t cross1 = ((v >> 17) * ((m & 0xFFFFu) >> 1)) >> 14;
    const std::uint32_t cross2 = (((v & 0xFFFFu) >> 1) * (m >> 17)) >> 14;
    return low + highByHigh + cross1 + cross2;
}

inline float value(std::uint32_t u) {
    const float wide = static_cast<float>(u);
    const float scaled = wide * 0x1p-31f;
    return scaled + -1.0f;
}

inline float blend(float a, float b, float t) {
    const float s = t * t;
    float k = -2.0f * t;
    k = k + 3.0f;
    const float w = s * k;
    float d = b - a;
    d = d * w;
    return a + d;
}

// noise3's cell and fraction of one coordinate (see noise.cpp).
void cellAndFraction(float q, std::uint32_t* cell, float* fraction) {
    const float t = std::trunc(q);
    const float f = (q > 0.0f || q == t) ? t : t - 1.0f;
    if (!(std::fabs(f) < 0x1p63f)) {
        *cell = 0;
        *fraction = 0.0f;
        return;
    }
    *cell = static_cast<std::uint32_t>(static_cast<std::int64_t>(f));
    *fraction = q - f;
}

// noise3 with interpSmooth at one point, without the cache.
float noiseAt(float x, float y, float z) {
    std::uint32_t lo[3];
    float fraction[3];
    cellAndFraction(x, &lo[0], &fraction[0]);
    cellAndFraction(y, &lo[1], &fraction[1]);
    cellAndFraction(z, &lo[2], &fraction[2]);
    const std::uint32_t sumMul[3] = {kNoiseSumMul.x, kNoiseSumMul.y, kNoiseSumMul.z};
    const std::uint32_t xorMul[3] = {kNoiseXorMul.x, kNoiseXorMul.y, kNoiseXorMul.z};
    std::uint32_t sumFold[3][2];
    std::uint32_t xorFold[3][2];
    for (int a = 0; a < 3; ++a) {
        for (std::uint32_t side = 0; side < 2; ++side) {
            sumFold[a][side] = fold(sumMul[a], lo[a] + side);
            xorFold[a][side] = fold(xorMul[a], lo[a] + side);
        }
    }
    float w[8];
    for (int m = 0; m < 8; ++m) {
        const int bx = m & 1;
        const int by = (m >> 1) & 1;
        const int bz = (m >> 2) & 1;
        const std::uint32_t h = kNoiseMixKey ^ xorFold[0][bx] ^ xorFold[1][by] ^ xorFold[2][bz];
        w[m] = value(fold(kNoiseMixMul, h) + sumFold[0][bx] + sumFold[1][by] + sumFold[2][bz]);
    }
    for (int i = 0; i < 4; ++i) w[i] = blend(w[i], w[i + 4], fraction[2]);
    for (int i = 0; i < 2; ++i) w[i] = blend(w[i], w[i + 2], fraction[1]);
    return blend(w[0], w[1], fraction[0]);
}

void noiseRow(const float* x, const float* y, const float* z, float* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i] = noiseAt(x[i], y[i], z[i]);
}

// The length from x² + y² + z² added in that order, its reciprocal, three products.
void normalise(float* x, float* y, float* z) {
    const float length = std::sqrt(*x * *x + *y * *y + *z * *z);
    const float inverse = 1.0f / length;
    *x = *x * inverse;
    *y = *y * inverse;
    *z = *z * inverse;
}

void sampleRow(const SampleRow& row, SoaRow out, Vec3* grid, std::size_t count) {
    constexpr float kFactors[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    constexpr double kWeights[6] = {0.03125, 0.0625, 0.125, 0.25, 0.5, 1.0};
    for (std::size_t i = 0; i < count; ++i) {
        const float u = row.columnU[i];
        const float d = row.columnDepth[i] - row.rowStep;
        const float w = row.rowW;
        float qx = d * row.n.x + u * row.u.x + w * row.w.x;
        float qy = d * row.n.y + u * row.u.y + w * row.w.y;
        float qz = d * row.n.z + u * row.u.z + w * row.w.z;
        normalise(&qx, &qy, &qz);
        const float bx = qx * 150.0f, by = qy * 150.0f, bz = qz * 150.0f;
        double sum = 0.0;
        for (int k = 0; k < 6; ++k) {
            const double s = noiseAt(bx * kFactors[k], by * kFactors[k], bz * kFactors[k]);
            sum = k == 0 ? kWeights[0] * s : sum + kWeights[k] * s;
        }
        const float r = static_cast<float>(100.0 + 5.0 * sum);
        out.x[i] = qx * r;
        out.y[i] = qy * r;
        out.z[i] = qz * r;
        grid[i] = {out.x[i], out.y[i], out.z[i]};
    }
}

void cellRow(SoaRow low, SoaRow high, SoaRow out, Vec3* grid, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const float px[4] = {low.x[i], high.x[i], high.x[i + 1], low.x[i + 1]};
        const float py[4] = {low.y[i], high.y[i], high.y[i + 1], low.y[i + 1]};
        const float pz[4] = {low.z[i], high.z[i], high.z[i + 1], low.z[i + 1]};
        float nx = 0, ny = 0, nz = 0;
        for (int e = 0; e < 4; ++e) {
            const int a = e;
            const int b = (e + 1) % 4;
            const float tx = (py[a] - py[b]) * (pz[a] + pz[b]);
            const float ty = (pz[a] - pz[b]) * (px[a] + px[b]);
            const float tz = (px[a] - px[b]) * (py[a] + py[b]);
            if (e == 0) {
                nx = tx, ny = ty, nz = tz;
            } else {
                nx = nx + tx, ny = ny + ty, nz = nz + tz;
            }
        }
        normalise(&nx, &ny, &nz);
        out.x[i] = nx;
        out.y[i] = ny;
        out.z[i] = nz;
        grid[i] = {nx, ny, nz};
    }
}

void vertexRow(SoaRow low, SoaRow high, Vec3* grid, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        float nx = low.x[i] + high.x[i] + high.x[i + 1] + low.x[i + 1];
        float ny = low.y[i] + high.y[i] + high.y[i + 1] + low.y[i + 1];
        float nz = low.z[i] + high.z[i] + high.z[i + 1] + low.z[i + 1];
        normalise(&nx, &ny, &nz);
        grid[i] = {nx, ny, nz};
    }
}

}  // namespace

const PlanetKernels g_kernelsScalar = {noiseRow, sampleRow, cellRow, vertexRow};

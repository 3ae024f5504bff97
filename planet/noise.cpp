#include "planet/noise.h"

#include <cmath>

NoiseCache g_noiseCache = {};

namespace {

// Splits one coordinate into its cell and the fraction within the cell.
void cellAndFraction(float q, std::int32_t* cell, float* fraction) {
    const float t = std::trunc(q);
    const float f = (q > 0.0f || q == t) ? t : t - 1.0f;
    if (!(std::fabs(f) < 0x1p63f)) {  // NaN, infinite, or beyond what a 64-bit integer holds
        *cell = 0;
        *fraction = 0.0f;
        return;
    }
    const auto wide = static_cast<std::int64_t>(f);
    *cell = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
    *fraction = q - f;
}

}  // namespace

std::uint32_t hashFold(std::uint32_t m, std::uint32_t v) {
    const std::uint32_t low = m * v;
    const std::uint32_t highByHigh = (m >> 16) * (v >> 16);
    const std::uint32_t cross1 = ((v >> 17) * ((m & 0xFFFFu) >> 1)) >> 14;
    const std::uint32_t cross2 = (((v & 0xFFFFu) >> 1) * (m >> 17)) >> 14;
    return low + highByHigh + cross1 + cross2;
}

std::uint32_t latticeHash(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    const std::uint32_t h = kNoiseMixKey ^ hashFold(kNoiseXorMul.x, x) ^
                            hashFold(kNoiseXorMul.y, y) ^ hashFold(kNoiseXorMul.z, z);
    return hashFold(kNoiseMixMul, h) + hashFold(kNoiseSumMul.x, x) + hashFold(kNoiseSumMul.y, y) +
           hashFold(kNoiseSumMul.z, z);
}

float latticeValue(std::uint32_t u) {
    const float wide = static_cast<float>(u);
    const float scaled = wide * 0x1p-31f;
    return scaled + -1.0f;
}

float interpSmooth(const float* a, const float* b, const float* t) {
    const float s = *t * *t;
    float k = -2.0f * *t;
    k = k + 3.0f;
    const float w = s * k;
    float d = *b - *a;
    d = d * w;
    return *a + d;
}

float noise3(const Vec3* p, InterpFn interp) {
    std::int32_t cell[3];
    float fraction[3];
    cellAndFraction(p->x, &cell[0], &fraction[0]);
    cellAndFraction(p->y, &cell[1], &fraction[1]);
    cellAndFraction(p->z, &cell[2], &fraction[2]);

    float w[8];
    if (g_noiseCache.valid && g_noiseCache.cell[0] == cell[0] && g_noiseCache.cell[1] == cell[1] &&
        g_noiseCache.cell[2] == cell[2]) {
        for (int m = 0; m < 8; ++m) w[m] = g_noiseCache.corners[m];
    } else {
        // Each axis's folds with its lower and upper coordinate serve four corners.
        const std::uint32_t lo[3] = {static_cast<std::uint32_t>(cell[0]),
                                     static_cast<std::uint32_t>(cell[1]),
                                     static_cast<std::uint32_t>(cell[2])};
        const std::uint32_t sumMul[3] = {kNoiseSumMul.x, kNoiseSumMul.y, kNoiseSumMul.z};
        const std::uint32_t xorMul[3] = {kNoiseXorMul.x, kNoiseXorMul.y, kNoiseXorMul.z};
        std::uint32_t sumFold[3][2];
        std::uint32_t xorFold[3][2];
        for (int axis = 0; axis < 3; ++axis) {
            for (std::uint32_t side = 0; side < 2; ++side) {
                sumFold[axis][side] = hashFold(sumMul[axis], lo[axis] + side);
                xorFold[axis][side] = hashFold(xorMul[axis], lo[axis] + side);
            }
        }
        for (int m = 0; m < 8; ++m) {
            const int bx = m & 1;
            const int by = (m >> 1) & 1;
            const int bz = (m >> 2) & 1;
            const std::uint32_t h = kNoiseMixKey ^ xorFold[0][bx] ^ xorFold[1][by] ^ xorFold[2][bz];
            const std::uint32_t u =
                hashFold(kNoiseMixMul, h) + sumFold[0][bx] + sumFold[1][by] + sumFold[2][bz];
            w[m] = latticeValue(u);
            g_noiseCache.corners[m] = w[m];
        }
        g_noiseCache.cell[0] = cell[0];
        g_noiseCache.cell[1] = cell[1];
        g_noiseCache.cell[2] = cell[2];
        g_noiseCache.valid = true;
    }

    // Three passes on z, y, x with strides 4, 2, 1.
    for (int i = 0; i < 4; ++i) w[i] = interp(&w[i], &w[i + 4], &fraction[2]);
    for (int i = 0; i < 2; ++i) w[i] = interp(&w[i], &w[i + 2], &fraction[1]);
    w[0] = interp(&w[0], &w[1], &fraction[0]);
    return w[0];
}

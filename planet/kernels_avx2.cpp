// The AVX2 kernels: eight samples per group. Compiled with -mavx2 and without
// -mfma; run only once the CPU has been seen to have AVX2.
#include <immintrin.h>

#include <cstdint>

#include "planet/vec3.h"

namespace {

constexpr std::size_t kLanes = 8;
typedef float VF __attribute__((vector_size(32)));
typedef std::int32_t VI __attribute__((vector_size(32)));
typedef std::uint32_t VU __attribute__((vector_size(32)));
typedef double VD __attribute__((vector_size(32)));

inline bool allLanes(VI mask) {
    return _mm256_movemask_ps(reinterpret_cast<__m256>(mask)) == 0xFF;
}

// The high and the low 16 bits convert exactly, the high part's scaling by 2^16 is
// exact, and the one addition then rounds the exact sum once, to nearest.
inline VF unsignedToFloat(VU u) {
    const VF high = __builtin_convertvector(reinterpret_cast<VI>(u >> 16), VF);
    const VF low = __builtin_convertvector(reinterpret_cast<VI>(u & 0xFFFFu), VF);
    const VF scaledHigh = high * 65536.0f;
    return scaledHigh + low;
}

inline VU smallProduct(VU a, VU b) { return a * b; }

inline VU halfProducts(VU a, VU b) {
    return reinterpret_cast<VU>(_mm256_madd_epi16(reinterpret_cast<__m256i>(a), reinterpret_cast<__m256i>(b)));
}

inline VF squareRoot(VF v) {
    return reinterpret_cast<VF>(_mm256_sqrt_ps(reinterpret_cast<__m256>(v)));
}

inline void widen(VF v, VD* low, VD* high) {
    const __m256 f = reinterpret_cast<__m256>(v);
    *low = reinterpret_cast<VD>(_mm256_cvtps_pd(_mm256_castps256_ps128(f)));
    *high = reinterpret_cast<VD>(_mm256_cvtps_pd(_mm256_extractf128_ps(f, 1)));
}

inline VF narrow(VD low, VD high) {
    const __m128 l = _mm256_cvtpd_ps(reinterpret_cast<__m256d>(low));
    const __m128 h = _mm256_cvtpd_ps(reinterpret_cast<__m256d>(high));
    return reinterpret_cast<VF>(_mm256_insertf128_ps(_mm256_castps128_ps256(l), h, 1));
}

// x, y, z interleaved into x0 y0 z0 x1 y1 z1 ...: each of the three output
// vectors takes its x and y elements in one shuffle and its z elements in a second.
inline void storeVec3(Vec3* out, VF x, VF y, VF z) {
    const VF xy0 = __builtin_shufflevector(x, y, 0, 8, 0, 1, 9, 0, 2, 10);
    const VF out0 = __builtin_shufflevector(xy0, z, 0, 1, 8, 3, 4, 9, 6, 7);
    const VF xy1 = __builtin_shufflevector(x, y, 0, 3, 11, 0, 4, 12, 0, 5);
    const VF out1 = __builtin_shufflevector(xy1, z, 10, 1, 2, 11, 4, 5, 12, 7);
    const VF xy2 = __builtin_shufflevector(x, y, 13, 0, 6, 14, 0, 7, 15, 0);
    const VF out2 = __builtin_shufflevector(xy2, z, 0, 13, 2, 3, 14, 5, 6, 15);
    char* bytes = reinterpret_cast<char*>(out);
    __builtin_memcpy(bytes, &out0, sizeof(VF));
    __builtin_memcpy(bytes + sizeof(VF), &out1, sizeof(VF));
    __builtin_memcpy(bytes + 2 * sizeof(VF), &out2, sizeof(VF));
}

}  // namespace

#include "planet/kernels_lanes.h"

const PlanetKernels g_kernelsAvx2 = {noiseRowLanes, sampleRowLanes, cellRowLanes, vertexRowLanes};

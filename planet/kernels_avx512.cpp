// The AVX-512 kernels: sixteen samples per group. Compiled with -mavx512f
// -mavx512bw and without -mfma; run only once the CPU has been seen to have both.
// GCC 12's AVX-512 intrinsics start from a deliberately undefined vector, which its
// uninitialised-value warnings report once they are inlined (a known false alarm,
// quiet again from GCC 13).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <cstdint>

#include "planet/vec3.h"

namespace {

constexpr std::size_t kLanes = 16;
typedef float VF __attribute__((vector_size(64)));
typedef std::int32_t VI __attribute__((vector_size(64)));
typedef std::uint32_t VU __attribute__((vector_size(64)));
typedef double VD __attribute__((vector_size(64)));

inline bool allLanes(VI mask) {
    return _mm512_cmpeq_epi32_mask(reinterpret_cast<__m512i>(mask), _mm512_set1_epi32(-1)) ==
           0xFFFF;
}

// AVX-512 converts unsigned lanes in one instruction (vcvtudq2ps), rounding to
// nearest like a scalar conversion.
inline VF unsignedToFloat(VU u) { return __builtin_convertvector(u, VF); }

inline VU smallProduct(VU a, VU b) { return a * b; }

inline VU halfProducts(VU a, VU b) {
    return reinterpret_cast<VU>(_mm512_madd_epi16(reinterpret_cast<__m512i>(a), reinterpret_cast<__m512i>(b)));
}

inline VF squareRoot(VF v) {
    return reinterpret_cast<VF>(_mm512_sqrt_ps(reinterpret_cast<__m512>(v)));
}

inline void widen(VF v, VD* low, VD* high) {
    const __m512 f = reinterpret_cast<__m512>(v);
    const __m256 h = _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(f), 1));
    *low = reinterpret_cast<VD>(_mm512_cvtps_pd(_mm512_castps512_ps256(f)));
    *high = reinterpret_cast<VD>(_mm512_cvtps_pd(h));
}

inline VF narrow(VD low, VD high) {
    const __m256 l = _mm512_cvtpd_ps(reinterpret_cast<__m512d>(low));
    const __m256 h = _mm512_cvtpd_ps(reinterpret_cast<__m512d>(high));
    const __m512d joined = _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_castps_pd(l)),
                                              _mm256_castps_pd(h), 1);
    return reinterpret_cast<VF>(_mm512_castpd_ps(joined));
}

// x, y, z interleaved into x0 y0 z0 x1 y1 z1 ...: each of the three output
// vectors takes its x and y elements in one shuffle and its z elements in a second.
inline void storeVec3(Vec3* out, VF x, VF y, VF z) {
    const VF xy0 = __builtin_shufflevector(x, y, 0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5);
    const VF out0 = __builtin_shufflevector(xy0, z, 0, 1, 16, 3, 4, 17, 6, 7, 18, 9, 10, 19, 12, 13, 20, 15);
    const VF xy1 = __builtin_shufflevector(x, y, 21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26);
    const VF out1 = __builtin_shufflevector(xy1, z, 0, 21, 2, 3, 22, 5, 6, 23, 8, 9, 24, 11, 12, 25, 14, 15);
    const VF xy2 = __builtin_shufflevector(x, y, 0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0);
    const VF out2 = __builtin_shufflevector(xy2, z, 26, 1, 2, 27, 4, 5, 28, 7, 8, 29, 10, 11, 30, 13, 14, 31);
    char* bytes = reinterpret_cast<char*>(out);
    __builtin_memcpy(bytes, &out0, sizeof(VF));
    __builtin_memcpy(bytes + sizeof(VF), &out1, sizeof(VF));
    __builtin_memcpy(bytes + 2 * sizeof(VF), &out2, sizeof(VF));
}

}  // namespace

#include "planet/kernels_lanes.h"

const PlanetKernels g_kernelsAvx512 = {noiseRowLanes, sampleRowLanes, cellRowLanes,
                                       vertexRowLanes};

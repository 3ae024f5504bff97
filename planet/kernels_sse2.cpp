// The SSE2 kernels: four samples per group. SSE2 is the floor of every x86 target;
// the 32-bit build is compiled with -msse2 and has nothing wider.
#include <emmintrin.h>

#include <cstdint>

#include "planet/vec3.h"

namespace {

constexpr std::size_t kLanes = 4;
typedef float VF __attribute__((vector_size(16)));
typedef std::int32_t VI __attribute__((vector_size(16)));
typedef std::uint32_t VU __attribute__((vector_size(16)));
typedef double VD __attribute__((vector_size(16)));

inline bool allLanes(VI mask) { return _mm_movemask_ps(reinterpret_cast<__m128>(mask)) == 0xF; }

// The high and the low 16 bits convert exactly, the high part's scaling by 2^16 is
// exact, and the one addition then rounds the exact sum once, to nearest.
inline VF unsignedToFloat(VU u) {
    const VF high = __builtin_convertvector(reinterpret_cast<VI>(u >> 16), VF);
    const VF low = __builtin_convertvector(reinterpret_cast<VI>(u & 0xFFFFu), VF);
    const VF scaledHigh = high * 65536.0f;
    return scaledHigh + low;
}

// SSE2 has no 32-bit multiply; below 2^16 the 16-bit multiplies give the product's
// low and high halves.
inline VU smallProduct(VU a, VU b) {
    const __m128i x = reinterpret_cast<__m128i>(a);
    const __m128i y = reinterpret_cast<__m128i>(b);
    const __m128i low = _mm_mullo_epi16(x, y);
    const __m128i high = _mm_slli_epi32(_mm_mulhi_epu16(x, y), 16);
    return reinterpret_cast<VU>(_mm_or_si128(low, high));
}

inline VU halfProducts(VU a, VU b) {
    return reinterpret_cast<VU>(_mm_madd_epi16(reinterpret_cast<__m128i>(a), reinterpret_cast<__m128i>(b)));
}

inline VF squareRoot(VF v) { return reinterpret_cast<VF>(_mm_sqrt_ps(reinterpret_cast<__m128>(v))); }

inline void widen(VF v, VD* low, VD* high) {
    const __m128 f = reinterpret_cast<__m128>(v);
    *low = reinterpret_cast<VD>(_mm_cvtps_pd(f));
    *high = reinterpret_cast<VD>(_mm_cvtps_pd(_mm_movehl_ps(f, f)));
}

inline VF narrow(VD low, VD high) {
    const __m128 l = _mm_cvtpd_ps(reinterpret_cast<__m128d>(low));
    const __m128 h = _mm_cvtpd_ps(reinterpret_cast<__m128d>(high));
    return reinterpret_cast<VF>(_mm_movelh_ps(l, h));
}

// x, y, z interleaved into x0 y0 z0 x1 y1 z1 ...: each of the three output
// vectors takes its x and y elements in one shuffle and its z elements in a second.
inline void storeVec3(Vec3* out, VF x, VF y, VF z) {
    const VF xy0 = __builtin_shufflevector(x, y, 0, 4, 0, 1);
    const VF out0 = __builtin_shufflevector(xy0, z, 0, 1, 4, 3);
    const VF xy1 = __builtin_shufflevector(x, y, 5, 0, 2, 6);
    const VF out1 = __builtin_shufflevector(xy1, z, 0, 5, 2, 3);
    const VF xy2 = __builtin_shufflevector(x, y, 0, 3, 7, 0);
    const VF out2 = __builtin_shufflevector(xy2, z, 6, 1, 2, 7);
    char* bytes = reinterpret_cast<char*>(out);
    __builtin_memcpy(bytes, &out0, sizeof(VF));
    __builtin_memcpy(bytes + sizeof(VF), &out1, sizeof(VF));
    __builtin_memcpy(bytes + 2 * sizeof(VF), &out2, sizeof(VF));
}

}  // namespace

#include "planet/kernels_lanes.h"

const PlanetKernels g_kernelsSse2 = {noiseRowLanes, sampleRowLanes, cellRowLanes, vertexRowLanes};

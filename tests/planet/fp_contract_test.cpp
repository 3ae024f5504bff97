#include <gtest/gtest.h>

float probeMulAdd(float a, float b, float c);

namespace {

TEST(FloatingPoint, NoMultiplyIsFusedIntoAnAdd) {
#if defined(__x86_64__) || defined(__i386__)
    if (!__builtin_cpu_supports("fma")) GTEST_SKIP() << "this CPU has no FMA unit to fuse with";
#endif
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24 rounds to 1 + 2^-11 on its own; a fused
    // operation keeps the 2^-24.
    const float a = 1.0f + 0x1p-12f;
    EXPECT_EQ(probeMulAdd(a, a, -(1.0f + 0x1p-11f)), 0.0f);
}

}  // namespace

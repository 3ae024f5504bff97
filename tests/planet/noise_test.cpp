#include "planet/noise.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

// noise3 as the first call after start: the cache holds nothing.
float freshNoise(Vec3 p) {
    g_noiseCache = {};
    return noise3(&p, interpSmooth);
}

TEST(HashFold, EstimatesTheHighWordWithoutAWideProduct) {
    // The low word plus the exact high word would be 0x53B29105.
    EXPECT_EQ(hashFold(0xA3BC49C3u, 0xDCD8E8B9u), 0x53B29103u);
    const std::uint32_t samples[] = {0u, 1u, 0xFFFFu, 0x10000u, 0x12345678u, 0xFFFFFFFFu};
    for (std::uint32_t a : samples)
        for (std::uint32_t b : samples) EXPECT_EQ(hashFold(a, b), hashFold(b, a)) << a << " " << b;
    EXPECT_EQ(hashFold(0xFFFFFFFFu, 0u), 0u);
}

TEST(LatticeValue, MapsTheHashOntoMinusOneToOne) {
    struct Case {
        std::uint32_t u;
        float value;
    };
    const Case cases[] = {
        {0u, -1.0f},
        {0x80000000u, 0.0f},
        {4294967167u, 0x1.fffffcp-1f},  // the last u that rounds below 2^32
        {4294967168u, 1.0f},
        {0xFFFFFFFFu, 1.0f},
    };
    for (const Case& c : cases) EXPECT_EQ(bits(latticeValue(c.u)), bits(c.value)) << c.u;
}

TEST(LatticeHash, CornersOfTheOriginCell) {
    struct Case {
        std::uint32_t x, y, z;
        std::uint32_t hash;
        std::uint32_t valueBits;
    };
    const Case cases[] = {
        {0, 0, 0, 0x53B29103u, 0xBEB135BCu}, {1, 0, 0, 0x343F57D7u, 0xBF178150u},
        {0, 1, 0, 0x1F1140C3u, 0xBF41DD7Eu}, {1, 1, 0, 0x5ECB09F5u, 0xBE84D3D8u},
        {0, 0, 1, 0x3F71E1EDu, 0xBF011C3Cu}, {1, 0, 1, 0xD4AAF208u, 0x3F2955E4u},
        {0, 1, 1, 0x52116F96u, 0xBEB7BA42u}, {1, 1, 1, 0x848585D3u, 0x3D10B0C0u},
    };
    for (const Case& c : cases) {
        const std::uint32_t h = latticeHash(c.x, c.y, c.z);
        EXPECT_EQ(h, c.hash) << c.x << c.y << c.z;
        EXPECT_EQ(bits(latticeValue(h)), c.valueBits) << c.x << c.y << c.z;
    }
}

TEST(InterpSmooth, BlendsWithTheSmoothstepWeight) {
    struct Case {
        float a, b, t, result;
    };
    const Case cases[] = {
        {-1.0f, 1.0f, 0.25f, -0.6875f},
        {0.0f, 1.0f, 0.5f, 0.5f},
        {-0.3f, 0.7f, 0.0f, -0.3f},  // t = 0 gives a exactly
        {-0.3f, 0.7f, 1.0f, -0.3f + (0.7f - -0.3f)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bits(interpSmooth(&c.a, &c.b, &c.t)), bits(c.result)) << c.a << " " << c.t;
}

TEST(Noise3, ValuesAtKnownPoints) {
    const float tiny = -0x1p-25f;
    struct Case {
        Vec3 p;
        std::uint32_t resultBits;
        std::int32_t cell[3];
    };
    const Case cases[] = {
        {{0, 0, 0}, 0xBEB135BCu, {0, 0, 0}},
        {{1, 2, 3}, 0x3E2DECD0u, {1, 2, 3}},
        {{-1, 0, 0}, 0xBF454770u, {-1, 0, 0}},
        {{150, 0, 0}, 0xBEBB7E30u, {150, 0, 0}},
        {{-0.0f, -0.0f, -0.0f}, 0xBEB135BCu, {0, 0, 0}},
        // Just below zero the cell is -1 and the fraction rounds to exactly 1.
        {{tiny, 0, 0}, 0xBEB135BCu, {-1, 0, 0}},
        {{-1e-9f, 0, 0}, 0xBEB135BCu, {-1, 0, 0}},
        {{0.5f, 0.5f, 0.5f}, 0xBE87BF02u, {0, 0, 0}},
        {{-0.5f, -0.5f, -0.5f}, 0xBD6F1270u, {-1, -1, -1}},
        {{0.25f, 1.75f, -2.5f}, 0x3EA76366u, {0, 1, -3}},
        // The octave points of the planet's pole.
        {{0, 0, 150}, bits(0.282830119f), {0, 0, 150}},
        {{0, 0, 75}, bits(-0.366881847f), {0, 0, 75}},
        {{0, 0, 37.5f}, bits(-0.630228221f), {0, 0, 37}},
        {{0, 0, 18.75f}, bits(0.255109489f), {0, 0, 18}},
        {{0, 0, 9.375f}, bits(0.256465048f), {0, 0, 9}},
        {{0, 0, 4.6875f}, bits(0.0962231755f), {0, 0, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bits(freshNoise(c.p)), c.resultBits) << c.p.x << " " << c.p.y << " " << c.p.z;
        EXPECT_EQ(g_noiseCache.cell[0], c.cell[0]);
        EXPECT_EQ(g_noiseCache.cell[1], c.cell[1]);
        EXPECT_EQ(g_noiseCache.cell[2], c.cell[2]);
    }
}

TEST(Noise3, LargeCoordinatesWrapModulo2To32) {
    // 3000000000 - 2^32 = -1294967296, and the fraction is 0: the corner value itself.
    const float big = 3000000000.0f;
    const float value = freshNoise({big, 0, 0});
    EXPECT_EQ(g_noiseCache.cell[0], -1294967296);
    EXPECT_EQ(bits(value), bits(latticeValue(latticeHash(3000000000u, 0, 0))));
}

TEST(Noise3, NonFiniteAndHugeCoordinatesLieInCellZero) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float origin = freshNoise({0, 0, 0});
    const float cases[] = {nan, -nan, inf, -inf, 0x1p63f, -0x1p63f, 0x1p100f, -0x1p127f,
                           std::numeric_limits<float>::max()};
    for (float q : cases) {
        EXPECT_EQ(bits(freshNoise({q, 0, 0})), bits(origin)) << q;
        EXPECT_EQ(bits(freshNoise({0, q, q})), bits(origin)) << q;
        EXPECT_EQ(g_noiseCache.cell[1], 0);
    }
    // Below 2^63 the modular rule holds: 2^62 and -2^62 have zero low words too, and
    // 2^31 wraps to the most negative cell.
    EXPECT_EQ(bits(freshNoise({0x1p62f, 0, 0})), bits(origin));
    freshNoise({0x1p31f, 0, 0});
    EXPECT_EQ(g_noiseCache.cell[0], std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(bits(freshNoise({0x1p31f + 512.0f, 0, 0})),
              bits(latticeValue(latticeHash(0x80000200u, 0, 0))));
}

TEST(Noise3, SubnormalsAndTheSmallestNegativesStayInRange) {
    const float sub = std::numeric_limits<float>::denorm_min();
    const float values[] = {sub, -sub, std::numeric_limits<float>::min(), -0x1p-126f};
    for (float q : values) {
        const float v = freshNoise({q, q, q});
        EXPECT_GE(v, -1.0f);
        EXPECT_LE(v, 1.0f);
    }
    // A negative subnormal's fraction rounds to 1: the value of the origin corner.
    EXPECT_EQ(bits(freshNoise({-sub, 0, 0})), bits(freshNoise({0, 0, 0})));
}

// Records every blend so the order of the seven calls can be checked.
struct Blend {
    float a, b, t;
};
std::vector<Blend> g_blends;
float recordingInterp(const float* a, const float* b, const float* t) {
    g_blends.push_back({*a, *b, *t});
    return interpSmooth(a, b, t);
}

TEST(Noise3, BlendsAlongZThenYThenX) {
    const float corner[8] = {latticeValue(0x53B29103u), latticeValue(0x343F57D7u),
                             latticeValue(0x1F1140C3u), latticeValue(0x5ECB09F5u),
                             latticeValue(0x3F71E1EDu), latticeValue(0xD4AAF208u),
                             latticeValue(0x52116F96u), latticeValue(0x848585D3u)};
    g_blends.clear();
    g_noiseCache = {};
    const Vec3 p = {0.25f, 0.5f, 0.75f};
    const float result = noise3(&p, recordingInterp);
    ASSERT_EQ(g_blends.size(), 7u);
    float w[8];
    for (int i = 0; i < 8; ++i) w[i] = corner[i];
    const struct {
        int a, b;
        float t;
    } expected[7] = {{0, 4, 0.75f}, {1, 5, 0.75f}, {2, 6, 0.75f}, {3, 7, 0.75f},
                     {0, 2, 0.5f},  {1, 3, 0.5f},  {0, 1, 0.25f}};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(bits(g_blends[c].a), bits(w[expected[c].a])) << "call " << c + 1;
        EXPECT_EQ(bits(g_blends[c].b), bits(w[expected[c].b])) << "call " << c + 1;
        EXPECT_EQ(g_blends[c].t, expected[c].t) << "call " << c + 1;
        w[expected[c].a] = interpSmooth(&w[expected[c].a], &w[expected[c].b], &expected[c].t);
    }
    EXPECT_EQ(bits(result), bits(w[0]));
    // The blends work on a copy: the cache still holds the raw corner values.
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bits(g_noiseCache.corners[i]), bits(corner[i]));
}

TEST(Noise3, TheCacheNeverChangesAResult) {
    const Vec3 a = {0.25f, 1.75f, -2.5f};
    const Vec3 sameCellAsA = {0.9f, 1.01f, -2.99f};
    const Vec3 b = {-7.5f, 3.25f, 40.125f};
    const Vec3 sharesTwoAxesWithA = {0.5f, 1.5f, 11.5f};
    const Vec3 sequences[][6] = {
        {a, a, a, a, a, a},
        {a, sameCellAsA, a, sameCellAsA, sameCellAsA, a},
        {a, b, a, b, a, b},
        {a, sharesTwoAxesWithA, a, b, sharesTwoAxesWithA, sameCellAsA},
    };
    for (const auto& sequence : sequences) {
        std::vector<std::uint32_t> first;
        for (const Vec3& p : sequence) first.push_back(bits(freshNoise(p)));
        g_noiseCache = {};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(bits(noise3(&sequence[i], interpSmooth)), first[i]) << i;
    }
}

}  // namespace

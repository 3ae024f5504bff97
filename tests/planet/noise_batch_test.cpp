// The batched noise and the planet's row kernels against the one-point code, bit
// for bit, for every instruction set this build holds and this CPU runs.
#include "planet/noise_batch.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "planet/kernels.h"
#include "planet/noise.h"

namespace {

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

struct Points {
    std::vector<float> x, y, z;
    void add(float px, float py, float pz) {
        x.push_back(px);
        y.push_back(py);
        z.push_back(pz);
    }
    std::size_t size() const { return x.size(); }
};

// Coordinates where floor, fraction, the integer conversion or the fallback to the
// plain code could go wrong.
std::vector<float> edgeCoordinates() {
    const float inf = std::numeric_limits<float>::infinity();
    const float sub = std::numeric_limits<float>::denorm_min();
    const float tiny = std::numeric_limits<float>::min();
    return {
        0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -0.5f, 0.25f, 1.75f, -2.5f, 150.0f, -150.0f,
        -0x1p-25f, -1e-9f, 0x1p-25f, sub, -sub, tiny, -tiny,
        std::nextafter(1.0f, 0.0f), std::nextafter(-1.0f, 0.0f), std::nextafter(-1.0f, -2.0f),
        std::nextafter(0.0f, -1.0f), 0x1p23f, -0x1p23f, 0x1p23f + 1.0f, -0x1p23f - 0.5f,
        0x1p24f, -0x1p24f, 2147483520.0f, -2147483520.0f, 0x1p31f, -0x1p31f, 3000000000.0f,
        -3000000000.0f, 0x1p62f, 0x1p63f, -0x1p63f, 1e30f, std::numeric_limits<float>::max(),
        -std::numeric_limits<float>::max(), inf, -inf, std::numeric_limits<float>::quiet_NaN(),
        -std::numeric_limits<float>::quiet_NaN(), std::bit_cast<float>(0x7FA00001u),
    };
}

// The octave points of planet directions, formed as the builder forms them: a cube
// point normalised, times 150, times the octave's factor.
void addPlanetPoints(Points& points, std::mt19937& rng, int samples) {
    const float factors[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    std::uniform_int_distribution<int> coordinate(-100, 100);
    std::uniform_int_distribution<int> axis(0, 5);
    for (int s = 0; s < samples; ++s) {
        float p[3] = {float(coordinate(rng)), float(coordinate(rng)), float(coordinate(rng))};
        const int a = axis(rng);
        p[a % 3] = a < 3 ? -100.0f : 100.0f;
        const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        const float inverse = 1.0f / length;
        const float base[3] = {p[0] * inverse * 150.0f, p[1] * inverse * 150.0f,
                               p[2] * inverse * 150.0f};
        for (float f : factors) points.add(base[0] * f, base[1] * f, base[2] * f);
    }
}

float freshNoise(float x, float y, float z) {
    g_noiseCache = {};
    const Vec3 p = {x, y, z};
    return noise3(&p, interpSmooth);
}

class NoiseBatch : public ::testing::TestWithParam<KernelSet> {
protected:
    void SetUp() override {
        if (!kernelSetAvailable(GetParam()))
            GTEST_SKIP() << kernelSetName(GetParam()) << " is not available here";
        ASSERT_EQ(useKernelSet(GetParam()), 1);
    }
    void TearDown() override { useKernelSet(s_widest); }

    // Evaluates the points in one batch and counts the lanes that differ from noise3.
    static std::size_t mismatches(const Points& p, std::string* first) {
        std::vector<float> out(p.size() + 1, 12345.0f);
        noise3Batch(p.x.data(), p.y.data(), p.z.data(), out.data(), p.size());
        std::size_t bad = 0;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const float want = freshNoise(p.x[i], p.y[i], p.z[i]);
            if (bits(out[i]) == bits(want)) continue;
            if (bad++ == 0)
                *first = "(" + std::to_string(p.x[i]) + ", " + std::to_string(p.y[i]) + ", " +
                         std::to_string(p.z[i]) + ")";
        }
        EXPECT_EQ(bits(out[p.size()]), bits(12345.0f)) << "wrote past the end";
        return bad;
    }

    static inline KernelSet s_widest = kernelSetInUse();
};

TEST_P(NoiseBatch, KnownValues) {
    struct Case {
        float x, y, z;
        std::uint32_t resultBits;
    };
    const Case cases[] = {
        {0, 0, 0, 0xBEB135BCu},          {1, 2, 3, 0x3E2DECD0u},
        {-1, 0, 0, 0xBF454770u},         {150, 0, 0, 0xBEBB7E30u},
        {-0.0f, -0.0f, -0.0f, 0xBEB135BCu}, {-0x1p-25f, 0, 0, 0xBEB135BCu},
        {0.5f, 0.5f, 0.5f, 0xBE87BF02u}, {-0.5f, -0.5f, -0.5f, 0xBD6F1270u},
        {0.25f, 1.75f, -2.5f, 0x3EA76366u},
    };
    Points p;
    for (const Case& c : cases) p.add(c.x, c.y, c.z);
    std::vector<float> out(p.size());
    noise3Batch(p.x.data(), p.y.data(), p.z.data(), out.data(), p.size());
    for (std::size_t i = 0; i < p.size(); ++i)
        EXPECT_EQ(bits(out[i]), cases[i].resultBits) << cases[i].x << " " << cases[i].y << " " << cases[i].z;
}

TEST_P(NoiseBatch, EdgeCoordinatesAloneAndAmongOrdinaryPoints) {
    const std::vector<float> edges = edgeCoordinates();
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> ordinary(-150.0f, 150.0f);
    // Every edge coordinate on every axis, beside ordinary coordinates, and every
    // pair of edge coordinates; then each such point again amid ordinary points, so
    // that a group holds one unusual lane among usual ones.
    Points p;
    for (float e : edges) {
        for (float f : edges) {
            p.add(e, f, ordinary(rng));
            p.add(ordinary(rng), e, f);
            p.add(f, ordinary(rng), e);
            p.add(e, e, f);
        }
    }
    Points mixed;
    for (std::size_t i = 0; i < p.size(); ++i) {
        mixed.add(p.x[i], p.y[i], p.z[i]);
        for (int k = 0; k < 6; ++k) mixed.add(ordinary(rng), ordinary(rng), ordinary(rng));
    }
    std::string first;
    EXPECT_EQ(mismatches(p, &first), 0u) << "first at " << first;
    EXPECT_EQ(mismatches(mixed, &first), 0u) << "first at " << first;
}

TEST_P(NoiseBatch, PlanetOctavePointsAndRandomBitPatterns) {
    std::mt19937 rng(11);
    Points planet;
    addPlanetPoints(planet, rng, 40000);
    Points wide;
    std::uniform_real_distribution<float> range(-3000.0f, 3000.0f);
    for (int i = 0; i < 60000; ++i) wide.add(range(rng), range(rng), range(rng));
    Points anything;  // every float there is, NaNs and infinities included
    for (int i = 0; i < 60000; ++i)
        anything.add(std::bit_cast<float>(std::uint32_t(rng())), std::bit_cast<float>(std::uint32_t(rng())),
                     std::bit_cast<float>(std::uint32_t(rng())));
    std::string first;
    EXPECT_EQ(mismatches(planet, &first), 0u) << "first at " << first;
    EXPECT_EQ(mismatches(wide, &first), 0u) << "first at " << first;
    EXPECT_EQ(mismatches(anything, &first), 0u) << "first at " << first;
}

TEST_P(NoiseBatch, EveryCountAndAlignment) {
    // Counts around the vector widths, and arrays starting at every offset.
    std::mt19937 rng(3);
    Points all;
    addPlanetPoints(all, rng, 20);
    for (std::size_t offset = 0; offset < 4; ++offset) {
        for (std::size_t count = 0; count + offset <= 70; ++count) {
            Points p;
            for (std::size_t i = offset; i < offset + count; ++i) p.add(all.x[i], all.y[i], all.z[i]);
            std::string first;
            EXPECT_EQ(mismatches(p, &first), 0u) << "count " << count << ", offset " << offset;
        }
    }
}

TEST_P(NoiseBatch, LeavesTheOnePointCacheAlone) {
    g_noiseCache = {};
    const Vec3 a = {0.25f, 1.75f, -2.5f};
    noise3(&a, interpSmooth);
    const NoiseCache before = g_noiseCache;
    std::mt19937 rng(5);
    Points p;
    addPlanetPoints(p, rng, 100);
    std::vector<float> out(p.size());
    noise3Batch(p.x.data(), p.y.data(), p.z.data(), out.data(), p.size());
    EXPECT_EQ(std::memcmp(&before, &g_noiseCache, sizeof before), 0);
}

// The row kernels of each vector set against the plain ones.
class RowKernels : public NoiseBatch {
protected:
    static const PlanetKernels& tableOf(KernelSet set) {
        const PlanetKernels* tables[] = {&g_kernelsScalar, &g_kernelsSse2, &g_kernelsAvx2,
                                         &g_kernelsAvx512};
        return *tables[set];
    }
    struct Row {
        std::vector<float> x, y, z;
        explicit Row(std::size_t n) : x(n), y(n), z(n) {}
        SoaRow soa() { return {x.data(), y.data(), z.data()}; }
    };
    static void expectSame(Row& a, Row& b, std::size_t n, const char* what) {
        std::size_t bad = 0;
        for (std::size_t i = 0; i < n; ++i)
            bad += bits(a.x[i]) != bits(b.x[i]) || bits(a.y[i]) != bits(b.y[i]) || bits(a.z[i]) != bits(b.z[i]);
        EXPECT_EQ(bad, 0u) << what << ", " << n << " elements";
    }
    static void expectSame(const std::vector<Vec3>& a, const std::vector<Vec3>& b, const char* what) {
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(Vec3)), 0) << what;
    }
};

TEST_P(RowKernels, SampleRowsOfEveryFaceAndRingRow) {
    const PlanetKernels& vec = tableOf(GetParam());
    std::vector<float> columnU(203), columnDepth(203);
    for (int i = 0; i < 203; ++i) {
        columnU[i] = float(std::clamp(i - 101, -100, 100));
        columnDepth[i] = (i == 0 || i == 202) ? 99.0f : 100.0f;
    }
    const Vec3 frames[][3] = {{{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
                              {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}};
    for (const auto& frame : frames) {
        for (int j : {0, 1, 57, 101, 201, 202}) {
            for (std::size_t count : {203u, 202u, 17u, 16u, 9u, 3u, 1u}) {
                const SampleRow row = {columnU.data(), columnDepth.data(), float(std::clamp(j - 101, -100, 100)),
                                       (j == 0 || j == 202) ? 1.0f : 0.0f, frame[0], frame[1], frame[2]};
                Row want(count), got(count);
                std::vector<Vec3> wantGrid(count), gotGrid(count);
                g_kernelsScalar.sampleRow(row, want.soa(), wantGrid.data(), count);
                vec.sampleRow(row, got.soa(), gotGrid.data(), count);
                expectSame(want, got, count, "positions");
                expectSame(wantGrid, gotGrid, "position grid row");
            }
        }
    }
}

TEST_P(RowKernels, CellAndVertexRows) {
    const PlanetKernels& vec = tableOf(GetParam());
    std::mt19937 rng(13);
    std::uniform_real_distribution<float> coordinate(-110.0f, 110.0f);
    for (std::size_t count : {202u, 201u, 33u, 16u, 15u, 4u, 1u}) {
        Row low(count + 1), high(count + 1);
        for (std::size_t i = 0; i <= count; ++i) {
            low.x[i] = coordinate(rng), low.y[i] = coordinate(rng), low.z[i] = coordinate(rng);
            high.x[i] = coordinate(rng), high.y[i] = coordinate(rng), high.z[i] = coordinate(rng);
            // Equal and zero coordinates, as on the lines where a direction
            // component is zero: differences of +0 and products of signed zeros.
            if (i % 3 == 0) high.x[i] = low.x[i] = (i % 2 ? 0.0f : -0.0f);
            if (i % 5 == 0) high.z[i] = low.z[i];
        }
        Row want(count), got(count);
        std::vector<Vec3> wantGrid(count), gotGrid(count);
        g_kernelsScalar.cellRow(low.soa(), high.soa(), want.soa(), wantGrid.data(), count);
        vec.cellRow(low.soa(), high.soa(), got.soa(), gotGrid.data(), count);
        expectSame(want, got, count, "cell normals");
        expectSame(wantGrid, gotGrid, "cell normal grid row");

        g_kernelsScalar.vertexRow(low.soa(), high.soa(), wantGrid.data(), count);
        vec.vertexRow(low.soa(), high.soa(), gotGrid.data(), count);
        expectSame(wantGrid, gotGrid, "vertex normal grid row");
    }
}

std::string setName(const ::testing::TestParamInfo<KernelSet>& info) { return kernelSetName(info.param); }

INSTANTIATE_TEST_SUITE_P(EverySet, NoiseBatch,
                         ::testing::Values(kernelSetScalar, kernelSetSse2, kernelSetAvx2, kernelSetAvx512),
                         setName);
INSTANTIATE_TEST_SUITE_P(EveryVectorSet, RowKernels,
                         ::testing::Values(kernelSetSse2, kernelSetAvx2, kernelSetAvx512), setName);

TEST(KernelSets, TheWidestAvailableIsChosenAndUnavailableOnesAreRefused) {
    const KernelSet inUse = kernelSetInUse();
    EXPECT_EQ(kernelSetAvailable(inUse), 1);
    for (int set = inUse + 1; set < kernelSetCount; ++set)
        EXPECT_EQ(kernelSetAvailable(static_cast<KernelSet>(set)), 0) << kernelSetName(static_cast<KernelSet>(set));
    EXPECT_EQ(kernelSetAvailable(kernelSetScalar), 1);
    EXPECT_EQ(kernelSetAvailable(kernelSetSse2), 1);  // the floor of every x86 build
    EXPECT_EQ(kernelSetAvailable(kernelSetCount), 0);
    EXPECT_EQ(useKernelSet(kernelSetCount), 0);
    EXPECT_EQ(kernelSetInUse(), inUse);
    EXPECT_STREQ(kernelSetName(kernelSetAvx512), "avx512");
    EXPECT_STREQ(kernelSetName(static_cast<KernelSet>(-1)), "none");
}

}  // namespace

#include "planet/mesh.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "planet/noise.h"
#include "tests/support/gl_recorder.h"

namespace {

struct SentVertex {
    Vec3 normal;
    Vec3 position;
};

using Key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;
Key keyOf(const Vec3& v) {
    return {std::bit_cast<std::uint32_t>(v.x), std::bit_cast<std::uint32_t>(v.y),
            std::bit_cast<std::uint32_t>(v.z)};
}

Vec3 sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec3 a, Vec3 b) { return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z; }

// Builds the planet once against the recorder and splits the stream into strips.
class PlanetList : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        glRecorderReset();
        glRecorderReserve(1'000'000);
        g_noiseCache = {};
        s_name = buildPlanetList();
        s_strips.clear();
        s_shapeErrors.clear();
        const auto& calls = glRecorderCalls();
        s_opening = {calls.begin(), calls.begin() + std::min<std::size_t>(2, calls.size())};
        s_closing = calls.empty() ? GlCall{} : calls.back();
        bool inStrip = false;
        const Vec3* pendingNormal = nullptr;
        Vec3 normal{};
        for (std::size_t c = 2; c + 1 < calls.size(); ++c) {
            const GlCall& call = calls[c];
            switch (call.op) {
            case GlOp::Begin:
                if (inStrip || call.i[0] != GL_QUAD_STRIP) s_shapeErrors.push_back(c);
                inStrip = true;
                s_strips.emplace_back();
                break;
            case GlOp::Normal:
                if (!inStrip || pendingNormal) s_shapeErrors.push_back(c);
                normal = {call.f[0], call.f[1], call.f[2]};
                pendingNormal = &normal;
                break;
            case GlOp::Vertex:
                if (!inStrip || !pendingNormal) s_shapeErrors.push_back(c);
                s_strips.back().push_back({normal, {call.f[0], call.f[1], call.f[2]}});
                pendingNormal = nullptr;
                break;
            case GlOp::End:
                if (!inStrip || pendingNormal) s_shapeErrors.push_back(c);
                inStrip = false;
                break;
            default:
                s_shapeErrors.push_back(c);
            }
        }
        glRecorderReset();
    }

    static inline std::uint32_t s_name = 0;
    static inline std::vector<GlCall> s_opening;
    static inline GlCall s_closing{};
    static inline std::vector<std::vector<SentVertex>> s_strips;
    static inline std::vector<std::size_t> s_shapeErrors;
};

TEST_F(PlanetList, IsOneCompiledListOf1200StripsOf402Vertices) {
    ASSERT_EQ(s_opening.size(), 2u);
    EXPECT_EQ(s_opening[0].op, GlOp::GenLists);
    EXPECT_EQ(s_opening[0].i[0], 1);
    EXPECT_EQ(s_opening[1].op, GlOp::NewList);
    EXPECT_EQ(static_cast<std::uint32_t>(s_opening[1].i[0]), s_name);
    EXPECT_EQ(s_opening[1].i[1], GL_COMPILE);
    EXPECT_EQ(s_closing.op, GlOp::EndList);
    EXPECT_NE(s_name, 0u);
    EXPECT_TRUE(s_shapeErrors.empty()) << "first stray call at index " << s_shapeErrors.front();
    ASSERT_EQ(s_strips.size(), 1200u);
    for (const auto& strip : s_strips) ASSERT_EQ(strip.size(), 402u);
}

TEST_F(PlanetList, FaceMinusXOpensAtTheCubeCorner) {
    ASSERT_FALSE(s_strips.empty());
    const auto& strip = s_strips[0];
    // Built from the cube points (-100,-99,-100), (-100,-100,-100), (-100,-99,-99),
    // (-100,-100,-99): each position is its direction times the radius there.
    const Vec3 cube[4] = {{-100, -99, -100}, {-100, -100, -100}, {-100, -99, -99}, {-100, -100, -99}};
    for (int v = 0; v < 4; ++v) {
        const Vec3 p = strip[v].position;
        const Vec3 c = cube[v];
        const double along = dot(p, c) / std::sqrt(dot(p, p) * dot(c, c));
        EXPECT_NEAR(along, 1.0, 1e-6) << "vertex " << v;
    }
    EXPECT_EQ(strip[0].position.x, -57.6784897f);
    EXPECT_EQ(strip[0].position.y, -57.1017075f);
    EXPECT_EQ(strip[0].position.z, -57.6784897f);
    EXPECT_EQ(strip[1].position.x, -57.5034256f);
    EXPECT_EQ(strip[1].position.y, -57.5034256f);
    EXPECT_EQ(strip[1].position.z, -57.5034256f);
    EXPECT_NEAR(strip[0].normal.x, -0.3841, 5e-5);
    EXPECT_NEAR(strip[0].normal.y, -0.5773, 5e-5);
    EXPECT_NEAR(strip[0].normal.z, -0.7205, 5e-5);
    EXPECT_NEAR(strip[1].normal.x, -0.3908, 5e-5);
    EXPECT_NEAR(strip[1].normal.y, -0.5675, 5e-5);
    EXPECT_NEAR(strip[1].normal.z, -0.7247, 5e-5);
}

TEST_F(PlanetList, SurfaceIsClosedAndSeamNormalsAgree) {
    // A vertex on a cube edge is sent by two faces and a corner by three; if they
    // computed it differently the positions would not coincide bit for bit.
    std::map<Key, std::vector<Vec3>> normalsAt;
    for (const auto& strip : s_strips)
        for (const SentVertex& v : strip) normalsAt[keyOf(v.position)].push_back(v.normal);
    EXPECT_EQ(normalsAt.size(), 240'002u);
    double worst = 0;
    for (const auto& [key, normals] : normalsAt)
        for (const Vec3& n : normals) worst = std::max(worst, 1.0 - dot(n, normals.front()));
    EXPECT_LT(worst, 1e-6) << "largest disagreement (1 - cos) between normals of one vertex";
}

TEST_F(PlanetList, EveryQuadIsCounterClockwiseFromOutside) {
    std::size_t clockwise = 0;
    for (const auto& strip : s_strips) {
        for (std::size_t q = 0; q + 3 < strip.size(); q += 2) {
            // Quad q of a strip runs 2q, 2q+1, 2q+3, 2q+2.
            const Vec3 a = strip[q].position, b = strip[q + 1].position;
            const Vec3 c = strip[q + 3].position, d = strip[q + 2].position;
            const Vec3 facing = {
                cross(sub(b, a), sub(c, a)).x + cross(sub(c, a), sub(d, a)).x,
                cross(sub(b, a), sub(c, a)).y + cross(sub(c, a), sub(d, a)).y,
                cross(sub(b, a), sub(c, a)).z + cross(sub(c, a), sub(d, a)).z};
            const Vec3 centre = {(a.x + c.x) / 2, (a.y + c.y) / 2, (a.z + c.z) / 2};
            if (dot(facing, centre) <= 0) ++clockwise;
        }
    }
    EXPECT_EQ(clockwise, 0u);
}

TEST_F(PlanetList, NormalsAreUnitAndPositionsWithinTheRadiusBounds) {
    double worstLength = 0;
    double minRadius = 1e9, maxRadius = 0;
    for (const auto& strip : s_strips) {
        for (const SentVertex& v : strip) {
            worstLength = std::max(worstLength, std::fabs(std::sqrt(dot(v.normal, v.normal)) - 1.0));
            const double r = std::sqrt(dot(v.position, v.position));
            minRadius = std::min(minRadius, r);
            maxRadius = std::max(maxRadius, r);
            // Smooth normals stay close to the outward direction on this gentle terrain.
            EXPECT_GT(dot(v.normal, v.position), 0) << r;
        }
    }
    EXPECT_LT(worstLength, 1e-6);
    EXPECT_GE(minRadius, 90.15625 - 1e-4);
    EXPECT_LE(maxRadius, 109.84375 + 1e-4);
}

TEST_F(PlanetList, RebuildingGivesTheSameStream) {
    // The static grids and the noise cache carry nothing from one build to the next.
    glRecorderReset();
    buildPlanetList();
    const auto& calls = glRecorderCalls();
    std::size_t v = 0, s = 0, mismatches = 0;
    for (const GlCall& call : calls) {
        if (call.op != GlOp::Vertex) continue;
        const Vec3 p = {call.f[0], call.f[1], call.f[2]};
        if (keyOf(p) != keyOf(s_strips[s][v].position)) ++mismatches;
        if (++v == 402) v = 0, ++s;
    }
    EXPECT_EQ(s, 1200u);
    EXPECT_EQ(mismatches, 0u);
    glRecorderReset();
}

TEST(PlanetRadius, AtThePole) {
    g_noiseCache = {};
    EXPECT_EQ(planetRadius({0, 0, 1}), 100.976814f);
}

}  // namespace

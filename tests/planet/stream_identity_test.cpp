// The display-list stream of the optimised builder, with every instruction set
// this build holds and this CPU runs, against the straightforward builder of
// bench/baseline_planet.cpp and against a fixed hash: every call, every normal and
// vertex bit for bit (a 64-bit hash of all of them, tests/planet/stream_hash_sink.h).
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "bench/baseline_planet.h"
#include "planet/mesh.h"
#include "planet/noise_batch.h"
#include "tests/planet/stream_hash_sink.h"
#include "tests/planet/stream_hash_golden.h"

namespace {

struct Stream {
    std::uint64_t hash;
    std::uint64_t calls;
};

template <typename Build>
Stream streamOf(Build build) {
    streamHashReset();
    build();
    return {streamHashValue(), streamHashCalls()};
}

TEST(PlanetStream, TheBaselineGivesTheRecordedStream) {
    const Stream baseline = streamOf(baselineBuildPlanetList);
    EXPECT_EQ(baseline.calls, kPlanetStreamCalls);
    EXPECT_EQ(baseline.hash, kPlanetStreamHash);
}

class PlanetStreamPerSet : public ::testing::TestWithParam<KernelSet> {
protected:
    void SetUp() override {
        if (!kernelSetAvailable(GetParam()))
            GTEST_SKIP() << kernelSetName(GetParam()) << " is not available here";
        ASSERT_EQ(useKernelSet(GetParam()), 1);
    }
    void TearDown() override { useKernelSet(s_widest); }
    static inline KernelSet s_widest = kernelSetInUse();
};

TEST_P(PlanetStreamPerSet, EqualsTheBaselineBitForBit) {
    static const Stream baseline = streamOf(baselineBuildPlanetList);
    const Stream optimised = streamOf(buildPlanetList);
    EXPECT_EQ(optimised.calls, baseline.calls);
    EXPECT_EQ(optimised.hash, baseline.hash);
    EXPECT_EQ(optimised.hash, kPlanetStreamHash);
}

TEST(PlanetStreamHash, SeesEveryBit) {
    // Streams that differ in one bit of one value, or in the order of two calls,
    // hash differently.
    auto hashOf = [](float x, bool normalFirst) {
        streamHashReset();
        const GLfloat a[3] = {x, 2.0f, 3.0f};
        if (normalFirst) glNormal3fv(a);
        glVertex3fv(a);
        if (!normalFirst) glNormal3fv(a);
        return streamHashValue();
    };
    const std::uint64_t base = hashOf(1.0f, true);
    EXPECT_EQ(base, hashOf(1.0f, true));
    EXPECT_NE(base, hashOf(std::nextafter(1.0f, 2.0f), true));
    EXPECT_NE(base, hashOf(1.0f, false));
    EXPECT_NE(hashOf(0.0f, true), hashOf(-0.0f, true));
}

std::string setName(const ::testing::TestParamInfo<KernelSet>& info) { return kernelSetName(info.param); }

INSTANTIATE_TEST_SUITE_P(EverySet, PlanetStreamPerSet,
                         ::testing::Values(kernelSetScalar, kernelSetSse2, kernelSetAvx2, kernelSetAvx512),
                         setName);

}  // namespace

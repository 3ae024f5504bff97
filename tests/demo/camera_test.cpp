// The fly camera's and the light's arithmetic: movement by keys, mouse look, the
// cursor's offset from the display's centre, and the circling light.
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include "tests/demo/demo_test_support.h"

namespace {

constexpr double kGain = 1.2217304763960306;  // 70 degrees
constexpr double kTwoPi = 6.283185307179586;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using CameraTest = DemoTest;

TEST_F(CameraTest, StartsLookingStraightDownWithTheLightAtRest) {
    EXPECT_EQ(g_camYaw, 0.0f);
    EXPECT_EQ(floatBits(g_camPitch), 0xbfc90fdbu);
    EXPECT_EQ(g_lightAngle, 0.0f);
    EXPECT_EQ(g_camPos.x, 0.0f);
    EXPECT_EQ(g_camPos.y, 0.0f);
    EXPECT_EQ(g_camPos.z, 0.0f);  // the main function lifts it to 150
    for (int key = 0; key < kKeyCount; ++key) EXPECT_EQ(g_keys[key], 0) << key;
    EXPECT_EQ(floatBits(kPitchMax), 0x3fc6d3f2u);
    EXPECT_EQ(floatBits(kPitchMin), 0xbfc6d3f2u);

    demoUpdateViewDirection();
    EXPECT_NEAR(g_camDir.x, 0.0f, 1e-7);
    EXPECT_EQ(g_camDir.y, 0.0f);
    EXPECT_EQ(g_camDir.z, -1.0f);
}

TEST_F(CameraTest, ViewDirectionFollowsYawAndPitch) {
    struct Case {
        float yaw, pitch;
        float x, y, z;
    } const cases[] = {
        {0.0f, 0.0f, 1, 0, 0},                     // along +X
        {1.5707964f, 0.0f, 0, 1, 0},               // yaw turns towards +Y
        {3.1415927f, 0.0f, -1, 0, 0},
        {0.0f, 0.5f, 0.87758256f, 0, 0.47942554f},  // pitch looks up
        {0.7f, -0.4f, 0.70446631f, 0.59336377f, -0.38941835f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " pitch " << c.pitch);
        g_camYaw = c.yaw;
        g_camPitch = c.pitch;
        demoUpdateViewDirection();
        EXPECT_NEAR(g_camDir.x, c.x, 1e-6);
        EXPECT_NEAR(g_camDir.y, c.y, 1e-6);
        EXPECT_NEAR(g_camDir.z, c.z, 1e-6);
        double length = std::hypot(g_camDir.x, g_camDir.y, g_camDir.z);
        EXPECT_NEAR(length, 1.0, 1e-6);
    }
}

// Which way a combination of keys moves the camera: along the view (+1 forward,
// -1 back, 0 not) and sideways (+1 right, -1 left, 0 not).
struct MoveCase {
    const char* label;
    std::vector<int> keys;
    int along;
    int sideways;
};

constexpr int kW = 'W', kA = 'A', kS = 'S', kD = 'D';

const MoveCase kMoveCases[] = {
    {"nothing held", {}, 0, 0},
    {"Up", {VK_UP}, 1, 0},
    {"W", {kW}, 1, 0},
    {"Down", {VK_DOWN}, -1, 0},
    {"S", {kS}, -1, 0},
    {"Up and Down: forward only", {VK_UP, VK_DOWN}, 1, 0},
    {"W and S: forward only", {kW, kS}, 1, 0},
    {"W with Ctrl stays", {kW, VK_CONTROL}, 0, 0},
    {"W, S and Ctrl: back", {kW, kS, VK_CONTROL}, -1, 0},
    {"Up with Ctrl: forward", {VK_UP, VK_CONTROL}, 1, 0},
    {"S with Ctrl: back", {kS, VK_CONTROL}, -1, 0},
    {"Right", {VK_RIGHT}, 0, 1},
    {"D", {kD}, 0, 1},
    {"Left", {VK_LEFT}, 0, -1},
    {"A", {kA}, 0, -1},
    {"Left and Right cancel", {VK_LEFT, VK_RIGHT}, 0, 0},
    {"A and D cancel", {kA, kD}, 0, 0},
    {"Right with Ctrl still right", {VK_RIGHT, VK_CONTROL}, 0, 1},
    {"Up and Right", {VK_UP, VK_RIGHT}, 1, 1},
    {"S and A", {kS, kA}, -1, -1},
    {"keys the camera ignores", {VK_SPACE, VK_SHIFT, 'Q', 'E'}, 0, 0},
};

TEST_F(CameraTest, KeysMoveAlongTheViewAndSidewaysAtOneHundredUnitsPerSecond) {
    const float yaw = 0.6f, pitch = 0.3f;
    const Vec3 start = {10.0f, -20.0f, 30.0f};
    const double frameTime = 0.25;  // 25 units
    for (const MoveCase& c : kMoveCases) {
        SCOPED_TRACE(c.label);
        unsigned char keys[kKeyCount] = {};
        for (int key : c.keys) keys[key] = 1;
        g_camYaw = yaw;
        g_camPitch = pitch;
        g_camPos = start;
        demoUpdateViewDirection();
        const Vec3 dir = g_camDir;
        demoMoveCamera(keys, frameTime);

        const double s = 25.0;
        double x = start.x + c.along * s * dir.x + c.sideways * s * std::sin(yaw);
        double y = start.y + c.along * s * dir.y - c.sideways * s * std::cos(yaw);
        double z = start.z + c.along * s * dir.z;
        EXPECT_NEAR(g_camPos.x, x, 1e-4);
        EXPECT_NEAR(g_camPos.y, y, 1e-4);
        EXPECT_NEAR(g_camPos.z, z, 1e-4);
        // Sideways movement is horizontal: z is left exactly as it was.
        if (c.along == 0) {
            EXPECT_EQ(g_camPos.z, start.z);
        }
        // The yaw and pitch are the keyboard's to read only.
        EXPECT_EQ(g_camYaw, yaw);
        EXPECT_EQ(g_camPitch, pitch);
    }
}

TEST_F(CameraTest, ForwardWhileLookingUpClimbs) {
    unsigned char keys[kKeyCount] = {};
    keys[VK_UP] = 1;
    g_camYaw = 0.0f;
    g_camPitch = 0.5f;
    g_camPos = {0, 0, 0};
    demoUpdateViewDirection();
    demoMoveCamera(keys, 1.0);
    EXPECT_NEAR(g_camPos.x, 100 * std::cos(0.5), 1e-4);
    EXPECT_NEAR(g_camPos.z, 100 * std::sin(0.5), 1e-4);
}

TEST_F(CameraTest, AFrameTimeThatIsNotANumberMovesNothing) {
    unsigned char keys[kKeyCount] = {};
    keys[VK_UP] = keys[VK_RIGHT] = 1;
    for (double frameTime : {0.0, kNaN, kInf, -kInf}) {
        SCOPED_TRACE(frameTime);
        g_camYaw = 1.0f;
        g_camPitch = 0.2f;
        g_camPos = {1.0f, 2.0f, 3.0f};
        demoUpdateViewDirection();
        demoMoveCamera(keys, frameTime);
        EXPECT_EQ(g_camPos.x, 1.0f);
        EXPECT_EQ(g_camPos.y, 2.0f);
        EXPECT_EQ(g_camPos.z, 3.0f);
    }
}

TEST_F(CameraTest, APositionThatWouldOverflowStaysFinite) {
    unsigned char keys[kKeyCount] = {};
    keys[VK_UP] = 1;
    g_camYaw = 0.0f;
    g_camPitch = 0.0f;
    g_camPos = {3.0e38f, 0.0f, 0.0f};
    demoUpdateViewDirection();
    demoMoveCamera(keys, 1.0e37);  // a frame time no real clock gives
    EXPECT_TRUE(std::isfinite(g_camPos.x));
    EXPECT_TRUE(std::isfinite(g_camPos.y));
    EXPECT_TRUE(std::isfinite(g_camPos.z));
}

// Mouse look: the yaw falls as the cursor goes right and wraps into [0, 2pi]; the
// pitch rises as the cursor goes up and stops at the limit's exact 32-bit values.
struct LookCase {
    const char* label;
    float yaw, pitch;
    float nx, ny;
    double yawAfter, pitchAfter;
};

const LookCase kLookCases[] = {
    {"still mouse changes nothing", 1.25f, 0.5f, 0.0f, 0.0f, 1.25f, 0.5f},
    {"yaw wraps below zero", 0.1f, 0.0f, 1.0f, 0.0f, 5.1614548, 0.0f},
    {"yaw wraps above two pi", 6.2f, 0.0f, -1.0f, 0.0f, 6.2f + kGain - kTwoPi, 0.0f},
    {"half right turns 35 degrees right", 2.0f, 0.0f, 0.5f, 0.0f, 2.0 - 0.5 * kGain, 0.0f},
    {"up looks up", 0.0f, 0.1f, 0.0f, 0.5f, 0.0f, 0.1f + 0.5 * kGain},
    {"down looks down", 0.0f, 0.1f, 0.0f, -0.5f, 0.0f, 0.1f - 0.5 * kGain},
    {"NaN offsets count as still", 3.0f, 0.25f, std::numeric_limits<float>::quiet_NaN(),
     std::numeric_limits<float>::quiet_NaN(), 3.0f, 0.25f},
    {"infinite offsets count as still", 3.0f, 0.25f, std::numeric_limits<float>::infinity(),
     -std::numeric_limits<float>::infinity(), 3.0f, 0.25f},
};

TEST_F(CameraTest, MouseLookTurnsAndWrapsTheYawAndMovesThePitch) {
    for (const LookCase& c : kLookCases) {
        SCOPED_TRACE(c.label);
        g_camYaw = c.yaw;
        g_camPitch = c.pitch;
        demoMouseLook(c.nx, c.ny);
        EXPECT_NEAR(g_camYaw, c.yawAfter, 1e-6);
        EXPECT_NEAR(g_camPitch, c.pitchAfter, 1e-6);
    }
}

TEST_F(CameraTest, PitchStopsAtTheLimitsExactValues) {
    struct Case {
        const char* label;
        float pitch, ny;
        std::uint32_t bits;
    } const cases[] = {
        {"pushed past the top", 1.5f, 0.5f, 0x3fc6d3f2u},
        {"far past the top", 0.0f, 1.0e6f, 0x3fc6d3f2u},
        {"pushed past the bottom", -1.5f, -0.5f, 0xbfc6d3f2u},
        {"the start's -pi/2 with a still mouse", -1.5707963705062866f, 0.0f, 0xbfc6d3f2u},
        {"at the top, pushed further", kPitchMax, 0.25f, 0x3fc6d3f2u},
        {"at the top, still", kPitchMax, 0.0f, 0x3fc6d3f2u},
        {"at the bottom, still", kPitchMin, 0.0f, 0xbfc6d3f2u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        g_camPitch = c.pitch;
        demoMouseLook(0.0f, c.ny);
        EXPECT_EQ(floatBits(g_camPitch), c.bits);
    }
}

TEST_F(CameraTest, YawAndPitchStayInTheirRangesWhateverTheMouseDoes) {
    const float offsets[] = {-1.0f, -0.73f, -0.001f, 0.0f, 0.002f, 0.31f, 1.0f, 2.5f, -4.0f};
    for (float start : {0.0f, 0.05f, 3.1f, 6.2831855f}) {
        for (float nx : offsets) {
            for (float ny : offsets) {
                g_camYaw = start;
                g_camPitch = 0.0f;
                for (int frame = 0; frame < 3; ++frame) demoMouseLook(nx, ny);
                EXPECT_GE(g_camYaw, 0.0f) << start << " " << nx;
                EXPECT_LE(g_camYaw, 6.2831855f) << start << " " << nx;
                EXPECT_GE(g_camPitch, kPitchMin) << ny;
                EXPECT_LE(g_camPitch, kPitchMax) << ny;
            }
        }
    }
}

// The cursor's offset is measured against the display's size in the settings,
// from the window rectangle's left and bottom edges.
struct OffsetCase {
    const char* label;
    POINT cursor;
    RECT rect;
    std::uint32_t width, height;
    float nx, ny;
};

const OffsetCase kOffsetCases[] = {
    {"centre", {512, 384}, {0, 0, 1024, 768}, 1024, 768, 0.0f, 0.0f},
    {"top-left corner", {0, 0}, {0, 0, 1024, 768}, 1024, 768, -1.0f, 1.0f},
    {"bottom-right corner", {1024, 768}, {0, 0, 1024, 768}, 1024, 768, 1.0f, -1.0f},
    {"a quarter right, a quarter up", {768, 192}, {0, 0, 1024, 768}, 1024, 768, 0.5f, 0.5f},
    {"window moved: centre", {612, 434}, {100, 50, 1124, 818}, 1024, 768, 0.0f, 0.0f},
    {"settings' size, not the rectangle's", {512, 384}, {0, 0, 800, 600}, 1024, 768, 0.0f,
     2.0f * 216 / 768 - 1},
    {"zero width", {700, 384}, {0, 0, 1024, 768}, 0, 768, 0.0f, 0.0f},
    {"zero height", {768, 100}, {0, 0, 1024, 768}, 1024, 0, 0.5f, 0.0f},
    {"zero display", {5, 5}, {0, 0, 0, 0}, 0, 0, 0.0f, 0.0f},
};

TEST_F(CameraTest, CursorOffsetRunsFromMinusOneToOneAcrossTheDisplay) {
    for (const OffsetCase& c : kOffsetCases) {
        SCOPED_TRACE(c.label);
        float nx = 99.0f, ny = 99.0f;
        demoCursorOffset(c.cursor, c.rect, c.width, c.height, &nx, &ny);
        EXPECT_FLOAT_EQ(nx, c.nx);
        EXPECT_FLOAT_EQ(ny, c.ny);
    }
}

TEST_F(CameraTest, CursorOffsetOfFarApartCoordinatesIsFinite) {
    const LONG big = std::numeric_limits<LONG>::max();
    const LONG small = std::numeric_limits<LONG>::min();
    float nx = 0.0f, ny = 0.0f;
    demoCursorOffset({big, small}, {small, small, big, big}, 1, 1, &nx, &ny);
    EXPECT_TRUE(std::isfinite(nx));
    EXPECT_TRUE(std::isfinite(ny));
    EXPECT_GT(nx, 1.0f);
    EXPECT_GT(ny, 1.0f);
}

TEST_F(CameraTest, LightCirclesTheXAxisAtRadius250) {
    struct Case {
        float angle;
        float y, z;
    } const cases[] = {
        {0.0f, 250.0f, 0.0f},
        {1.5707964f, 0.0f, 250.0f},  // towards +Z first
        {3.1415927f, -250.0f, 0.0f},
        {0.5f, 219.39564f, 119.85638f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        float position[4] = {9, 9, 9, 9};
        demoLightPosition(c.angle, position);
        EXPECT_EQ(position[0], 0.0f);
        EXPECT_NEAR(position[1], c.y, 1e-4);
        EXPECT_NEAR(position[2], c.z, 1e-4);
        EXPECT_EQ(position[3], 1.0f);  // positional
    }
}

TEST_F(CameraTest, LightAdvancesTwentyDegreesPerSecondAndNeverWraps) {
    demoAdvanceLight(0.5);
    EXPECT_NEAR(g_lightAngle, 0.5 * 0.3490658503988659, 1e-7);

    g_lightAngle = 0.0f;
    int frames = 0;
    for (; frames < 18 * 4; ++frames) demoAdvanceLight(0.25);
    // One turn in 18 s, give or take the float rounding of each step.
    EXPECT_NEAR(g_lightAngle, kTwoPi, 1e-4);
    for (; frames < 36 * 4; ++frames) demoAdvanceLight(0.25);
    EXPECT_NEAR(g_lightAngle, 2 * kTwoPi, 1e-4);  // and kept, not reduced

    // Short frames add up the same way.
    g_lightAngle = 0.0f;
    for (int i = 0; i < 18 * 100; ++i) demoAdvanceLight(0.01);
    EXPECT_NEAR(g_lightAngle, kTwoPi, 1e-3);
}

TEST_F(CameraTest, LightStandsStillForAFrameTimeThatIsNotANumber) {
    for (double frameTime : {0.0, kNaN, kInf, -kInf}) {
        SCOPED_TRACE(frameTime);
        g_lightAngle = 2.0f;
        demoAdvanceLight(frameTime);
        EXPECT_EQ(g_lightAngle, 2.0f);
    }
}

}  // namespace

// One frame through the scripted platform and the GL recorder: what it draws, in
// which order, and how it moves the camera for the next.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/demo/demo_test_support.h"

namespace {

constexpr double kGain = 1.2217304763960306;
constexpr double kLightSpeed = 0.3490658503988659;
constexpr std::int32_t kPlanet = 7;
constexpr std::int32_t kFont = 1000;

using Op = ScriptedOp;
using Args = std::vector<std::int64_t>;

class FrameTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        openWindow();
        // As the main function leaves things before the first frame.
        g_camPos.z = 150.0f;
        g_planetList = kPlanet;
        g_fontBase = kFont;
        g_scripted.cursor = {512, 384};  // the display's centre
        g_lastCounter = 0;
        g_scripted.counterReadings = {2500};  // the frame's tick: 2.5 ms
    }

    static std::vector<GlCall> callsOf(GlOp op) {
        std::vector<GlCall> found;
        for (const GlCall& call : glRecorderCalls())
            if (call.op == op) found.push_back(call);
        return found;
    }
    static std::vector<GlOp> ops() {
        std::vector<GlOp> found;
        for (const GlCall& call : glRecorderCalls()) found.push_back(call.op);
        return found;
    }
};

void appendAll(std::vector<GlOp>* to, const std::vector<GlOp>& more) {
    to->insert(to->end(), more.begin(), more.end());
}

TEST_F(FrameTest, DrawsTheSceneThenTheTextInOrder) {
    demoFrame();

    using Op = GlOp;
    // The shell's two matrix helpers, as they reach GL.
    const std::vector<GlOp> perspective = {Op::GetIntegerv, Op::MatrixMode, Op::LoadIdentity,
                                           Op::Perspective, Op::MatrixMode, Op::LoadIdentity};
    const std::vector<GlOp> reset = {Op::MatrixMode, Op::LoadIdentity, Op::MatrixMode,
                                     Op::LoadIdentity};
    std::vector<GlOp> expected = {Op::Clear};
    appendAll(&expected, perspective);
    appendAll(&expected, {Op::LookAt, Op::Enable, Op::Lightfv, Op::Enable, Op::Enable,
                          Op::CallList,
                          Op::PushMatrix, Op::Translatef, Op::Rotatef, Op::CallList, Op::PopMatrix,
                          Op::PushMatrix, Op::Translatef, Op::Rotatef, Op::CallList, Op::PopMatrix,
                          Op::ListBase});
    appendAll(&expected, reset);
    appendAll(&expected, {Op::Disable, Op::Color3f, Op::RasterPos2f, Op::CallLists});
    std::vector<GlOp> got = ops();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(glOpName(got[i]), std::string(glOpName(expected[i]))) << "call " << i;

    const std::vector<GlCall>& calls = glRecorderCalls();
    EXPECT_EQ(calls[0].i[0], static_cast<std::int32_t>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    const auto& persp = glRecorderDoubles()[static_cast<std::size_t>(calls[4].i[0])];
    EXPECT_EQ(persp[0], 50.0);  // field of view
    EXPECT_DOUBLE_EQ(persp[1], 1024.0 / 768.0);
    EXPECT_EQ(persp[2], 1.0);
    EXPECT_EQ(persp[3], 2000.0);

    std::vector<GlCall> enables = callsOf(Op::Enable);
    ASSERT_EQ(enables.size(), 3u);
    EXPECT_EQ(enables[0].i[0], GL_LIGHTING);
    EXPECT_EQ(enables[1].i[0], GL_DEPTH_TEST);
    EXPECT_EQ(enables[2].i[0], GL_CULL_FACE);
    std::vector<GlCall> disables = callsOf(Op::Disable);
    ASSERT_EQ(disables.size(), 1u);
    EXPECT_EQ(disables[0].i[0], GL_LIGHTING);

    for (const GlCall& call : callsOf(Op::CallList)) EXPECT_EQ(call.i[0], kPlanet);
    std::vector<GlCall> moves = callsOf(Op::Translatef);
    std::vector<GlCall> turns = callsOf(Op::Rotatef);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(turns.size(), 2u);
    const float expectedMoves[2][3] = {{250, 0, 0}, {-250, 0, 0}};
    const float expectedTurns[2][4] = {{49, 3, 1, -2}, {134, 2, -1, -3}};
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(moves[k].f[j], expectedMoves[k][j]) << k;
        for (int j = 0; j < 4; ++j) EXPECT_EQ(turns[k].f[j], expectedTurns[k][j]) << k;
    }

    EXPECT_EQ(callsOf(Op::ListBase)[0].i[0], kFont);
    const GlCall color = callsOf(Op::Color3f)[0];
    EXPECT_EQ(color.f[0], 1.0f);
    EXPECT_EQ(color.f[1], 1.0f);
    EXPECT_EQ(color.f[2], 1.0f);
    const GlCall raster = callsOf(Op::RasterPos2f)[0];
    EXPECT_EQ(raster.f[0], -0.99f);
    EXPECT_EQ(raster.f[1], 0.96f);
    const GlCall text = callsOf(Op::CallLists)[0];
    EXPECT_EQ(text.i[1], GL_UNSIGNED_BYTE);
    EXPECT_EQ(text.i[0], 8);
    EXPECT_EQ(glRecorderTexts()[static_cast<std::size_t>(text.i[2])], "FPS: 0.0");
}

TEST_F(FrameTest, FirstFrameLooksStraightDownWithTheLightAtItsStart) {
    demoFrame();
    const std::vector<GlCall> looks = callsOf(GlOp::LookAt);
    ASSERT_EQ(looks.size(), 1u);
    const auto& look = glRecorderDoubles()[static_cast<std::size_t>(looks[0].i[0])];
    EXPECT_EQ(look[0], 0.0);  // eye
    EXPECT_EQ(look[1], 0.0);
    EXPECT_EQ(look[2], 150.0);
    EXPECT_NEAR(look[3], 0.0, 1e-6);  // centre: one unit below the eye
    EXPECT_EQ(look[4], 0.0);
    EXPECT_EQ(look[5], 149.0);
    EXPECT_EQ(look[6], 0.0);  // up
    EXPECT_EQ(look[7], 0.0);
    EXPECT_EQ(look[8], 1.0);

    const GlCall light = callsOf(GlOp::Lightfv)[0];
    EXPECT_EQ(light.i[0], GL_LIGHT0);
    EXPECT_EQ(light.i[1], GL_POSITION);
    EXPECT_EQ(light.f[0], 0.0f);
    EXPECT_EQ(light.f[1], 250.0f);
    EXPECT_EQ(light.f[2], 0.0f);
    EXPECT_EQ(light.f[3], 1.0f);

    // Frame time 0: neither the camera nor the light moved; the pitch came back
    // within its limit.
    EXPECT_EQ(g_camPos.x, 0.0f);
    EXPECT_EQ(g_camPos.y, 0.0f);
    EXPECT_EQ(g_camPos.z, 150.0f);
    EXPECT_EQ(g_lightAngle, 0.0f);
    EXPECT_EQ(g_camYaw, 0.0f);
    EXPECT_EQ(floatBits(g_camPitch), 0xbfc6d3f2u);
}

TEST_F(FrameTest, LookAtFollowsTheCameraState) {
    g_camPos = {10.0f, -20.0f, 30.0f};
    g_camYaw = 0.5f;
    g_camPitch = 0.25f;
    demoFrame();
    const auto& look = glRecorderDoubles()[static_cast<std::size_t>(callsOf(GlOp::LookAt)[0].i[0])];
    EXPECT_EQ(look[0], 10.0);
    EXPECT_EQ(look[1], -20.0);
    EXPECT_EQ(look[2], 30.0);
    EXPECT_NEAR(look[3], 10.0 + std::cos(0.5) * std::cos(0.25), 1e-5);
    EXPECT_NEAR(look[4], -20.0 + std::sin(0.5) * std::cos(0.25), 1e-5);
    EXPECT_NEAR(look[5], 30.0 + std::sin(0.25), 1e-5);
}

TEST_F(FrameTest, PresentsThenTicksTheTimerLast) {
    demoFrame();
    // The swap, then the tick: the frame's last two calls of all, GL included.
    const std::vector<ScriptedStep> steps = scriptedSteps();
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps[steps.size() - 1], ScriptedStep(Op::QueryPerformanceCounter));
    EXPECT_EQ(steps[steps.size() - 2], ScriptedStep(Op::SwapBuffers));
    ASSERT_EQ(scriptedCount(Op::SwapBuffers), 1);
    ASSERT_EQ(scriptedCount(Op::QueryPerformanceCounter), 1);
    EXPECT_EQ(scriptedCalls(Op::SwapBuffers)[0].arg[0], scriptedArg(kScriptedWindowDc));
    EXPECT_EQ(scriptedCalls(Op::QueryPerformanceCounter)[0].arg[0], 2500);
    // The text is drawn before the swap, the mouse is read and re-centred in between.
    const std::uint32_t text = scriptedSeq(GlOp::CallLists);
    const std::uint32_t cursor = scriptedSeq(Op::GetCursorPos);
    const std::uint32_t rect =
        scriptedSeq(Op::GetWindowRect, withArgs({scriptedArg(kScriptedWindow)}));
    const std::uint32_t centre = scriptedSeq(Op::SetCursorPos, withArgs({512, 384}));
    const std::uint32_t swap = scriptedSeq(Op::SwapBuffers);
    EXPECT_LT(text, cursor);
    EXPECT_LT(cursor, centre);
    EXPECT_LT(rect, centre);
    EXPECT_LT(centre, swap);
    EXPECT_DOUBLE_EQ(g_frameTime, 0.0025);
}

TEST_F(FrameTest, LightUsesTheAngleBeforeTheFramesAdvance) {
    g_lightAngle = 1.0f;
    g_frameTime = 0.5;
    demoFrame();
    const GlCall light = callsOf(GlOp::Lightfv)[0];
    EXPECT_NEAR(light.f[1], 250 * std::cos(1.0), 1e-4);
    EXPECT_NEAR(light.f[2], 250 * std::sin(1.0), 1e-4);
    EXPECT_NEAR(g_lightAngle, 1.0 + 0.5 * kLightSpeed, 1e-6);
}

TEST_F(FrameTest, TextShowsTheAveragedFrameRate) {
    struct Case {
        double fps;
        const char* text;
    } const cases[] = {
        {0.0, "FPS: 0.0"}, {59.94, "FPS: 59.9"}, {1234.56, "FPS: 1234.6"}, {1e95, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fps);
        glRecorderReset();
        g_fps = c.fps;
        demoFrame();
        const GlCall text = callsOf(GlOp::CallLists)[0];
        const std::string& drawn = glRecorderTexts()[static_cast<std::size_t>(text.i[2])];
        if (c.text) {
            EXPECT_EQ(drawn, c.text);
        } else {
            // A value too long for the buffer is cut at 99 characters.
            EXPECT_EQ(drawn.size(), 99u);
            EXPECT_EQ(drawn.substr(0, 5), "FPS: ");
        }
        EXPECT_EQ(static_cast<std::size_t>(text.i[0]), drawn.size());
    }
}

TEST_F(FrameTest, KeysMoveTheCameraAlongThisFramesViewDirection) {
    g_keys[VK_UP] = 1;
    g_frameTime = 0.1;  // 10 units
    demoFrame();
    // The first frame looks straight down: forward is down.
    EXPECT_NEAR(g_camPos.x, 0.0f, 1e-5);
    EXPECT_EQ(g_camPos.y, 0.0f);
    EXPECT_FLOAT_EQ(g_camPos.z, 140.0f);
}

TEST_F(FrameTest, StillCursorAtTheCentreLeavesTheViewAlone) {
    g_camYaw = 1.0f;
    g_camPitch = 0.3f;
    for (int frame = 0; frame < 5; ++frame) {
        glRecorderReset();
        demoFrame();
        EXPECT_EQ(g_camYaw, 1.0f) << frame;
        EXPECT_EQ(g_camPitch, 0.3f) << frame;
    }
    const std::vector<ScriptedCall> centred = scriptedCalls(Op::SetCursorPos);
    ASSERT_EQ(centred.size(), 5u);
    for (const ScriptedCall& call : centred) EXPECT_EQ(scriptedArgs(call, 2), (Args{512, 384}));
}

TEST_F(FrameTest, MouseMovementTurnsTheViewAndTheCursorGoesBack) {
    g_camYaw = 1.0f;
    g_camPitch = 0.0f;
    g_scripted.cursor = {768, 192};  // a quarter of the display right and up
    demoFrame();
    EXPECT_NEAR(g_camYaw, 1.0 - 0.5 * kGain, 1e-6);
    EXPECT_NEAR(g_camPitch, 0.5 * kGain, 1e-6);
    EXPECT_EQ(g_scripted.cursor.x, 512);
    EXPECT_EQ(g_scripted.cursor.y, 384);
    // Next frame, with the mouse still, nothing more.
    const float yaw = g_camYaw, pitch = g_camPitch;
    demoFrame();
    EXPECT_EQ(g_camYaw, yaw);
    EXPECT_EQ(g_camPitch, pitch);
}

TEST_F(FrameTest, DisplayWithoutSizeTurnsNothingAndStaysFinite) {
    g_settings.width = 0;
    g_settings.height = 0;
    g_camYaw = 2.0f;
    g_camPitch = 0.5f;
    g_scripted.cursor = {300, 100};
    demoFrame();
    EXPECT_EQ(g_camYaw, 2.0f);
    EXPECT_EQ(g_camPitch, 0.5f);
    const std::vector<ScriptedCall> centred = scriptedCalls(Op::SetCursorPos);
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(scriptedArgs(centred[0], 2), (Args{0, 0}));
}

TEST_F(FrameTest, FrameTimeThatIsNotANumberMovesNeitherCameraNorLight) {
    g_keys['W'] = g_keys['D'] = 1;
    g_lightAngle = 0.5f;
    g_camYaw = 0.2f;
    g_camPitch = 0.1f;
    for (double frameTime : {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(frameTime);
        glRecorderReset();
        g_frameTime = frameTime;
        g_camPos = {1.0f, 2.0f, 3.0f};
        demoFrame();
        EXPECT_EQ(g_camPos.x, 1.0f);
        EXPECT_EQ(g_camPos.y, 2.0f);
        EXPECT_EQ(g_camPos.z, 3.0f);
        EXPECT_EQ(g_lightAngle, 0.5f);
        const GlCall light = callsOf(GlOp::Lightfv)[0];
        for (int j = 0; j < 4; ++j) EXPECT_TRUE(std::isfinite(light.f[j])) << j;
    }
}

}  // namespace

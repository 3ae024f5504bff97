// The demo's main function through the scripted platform and the GL recorder:
// start-up, the run until Escape, and a teardown that releases what it made.
#include <string>
#include <vector>

#include "tests/demo/demo_test_support.h"

namespace {

using Op = ScriptedOp;
using Args = std::vector<std::int64_t>;

const std::int64_t kDc = scriptedArg(kScriptedWindowDc);
const std::int64_t kContext = scriptedArg(kScriptedContext);

class MainTest : public DemoTest {
protected:
    void SetUp() override {
        DemoTest::SetUp();
        // A 100 Hz wish finds this mode of the desktop's size and depth.
        g_scripted.modes = {ScriptedMode{1024, 768, 32, 60, DISP_CHANGE_SUCCESSFUL, 0}};
    }
    static std::vector<GlCall> callsOf(GlOp op) {
        std::vector<GlCall> found;
        for (const GlCall& call : glRecorderCalls())
            if (call.op == op) found.push_back(call);
        return found;
    }
};

// Presses Escape once the pump has drawn this many frames (counted by their text).
int s_framesBeforeEscape = 0;
int s_framesDrawn = 0;

void escapeAfterFrames(const GlCall& call) {
    if (call.op == GlOp::CallLists && ++s_framesDrawn == s_framesBeforeEscape)
        scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(MainTest, RunsUntilEscapeAndDeletesExactlyTheListsItMade) {
    s_framesDrawn = 0;
    s_framesBeforeEscape = 3;
    g_glRecorderHook = escapeAfterFrames;

    EXPECT_EQ(appMain(), 0);
    EXPECT_FALSE(g_scripted.peekLimitHit);
    EXPECT_EQ(s_framesDrawn, 3);
    EXPECT_EQ(scriptedCount(Op::SwapBuffers), 3);

    // What it asked of the shell before the window opened.
    const std::vector<ScriptedCall> intervals = scriptedCalls(Op::wglSwapIntervalEXT);
    ASSERT_EQ(intervals.size(), 1u);
    EXPECT_EQ(intervals[0].arg[0], 0);
    EXPECT_EQ(g_fakePlanetBuilds, 1);

    std::vector<GlCall> made = callsOf(GlOp::GenLists);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0].i[0], 1);  // the planet
    EXPECT_EQ(made[1].i[0], 256);  // the font
    const std::int32_t planet = made[0].i[1];
    const std::int32_t font = made[1].i[1];
    EXPECT_EQ(g_planetList, static_cast<std::uint32_t>(planet));
    EXPECT_EQ(g_fontBase, static_cast<std::uint32_t>(font));

    std::vector<GlCall> deleted = callsOf(GlOp::DeleteLists);
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].i[0], planet);
    EXPECT_EQ(deleted[0].i[1], 1);
    EXPECT_EQ(deleted[1].i[0], font);
    EXPECT_EQ(deleted[1].i[1], 256);

    // The frames drew those very lists.
    for (const GlCall& call : callsOf(GlOp::CallList)) EXPECT_EQ(call.i[0], planet);
    for (const GlCall& call : callsOf(GlOp::ListBase)) EXPECT_EQ(call.i[0], font);

    // The font's glyphs come from the system font, selected before the lists are
    // made; the font's names are had after the planet's list is done; all before
    // the pump's first look at the queue.
    const std::uint32_t select = scriptedSeq(
        Op::SelectObject,
        withArgs({kDc, scriptedArg(GetStockObject(SYSTEM_FONT))}));
    const std::uint32_t glyphs = scriptedSeq(Op::wglUseFontBitmapsA, withArgs({kDc, 0, 256, font}));
    EXPECT_LT(select, glyphs);
    const std::uint32_t planetDone = scriptedSeq(GlOp::EndList);
    EXPECT_LT(scriptedSeq(GlOp::GenLists, {}, planetDone), glyphs);
    EXPECT_LT(glyphs, scriptedSeq(Op::PeekMessageA));

    // The light is switched on once, before the pump; the camera starts above the planet.
    std::vector<GlCall> enables = callsOf(GlOp::Enable);
    ASSERT_FALSE(enables.empty());
    EXPECT_EQ(enables[0].i[0], GL_LIGHT0);
    EXPECT_EQ(g_camPos.z, 150.0f);

    // The lists go while the context is still current, after the last frame; then
    // the window closes.
    const std::uint32_t firstDelete = scriptedSeq(GlOp::DeleteLists);
    EXPECT_LT(firstDelete, scriptedSeq(Op::wglMakeCurrent, withArgs({kDc, 0})));
    EXPECT_GT(firstDelete, scriptedCalls(Op::SwapBuffers).back().seq);
    EXPECT_GT(scriptedSeq(Op::ChangeDisplaySettingsA, withArgs({0, 0})), firstDelete);
    EXPECT_GT(scriptedSeq(Op::wglDeleteContext, withArgs({kContext})), firstDelete);
}

TEST_F(MainTest, EscapeBeforeTheFirstFrameStillTearsEverythingDown) {
    // Waiting in the queue when the pump starts: handled before any frame.
    scriptedPostMessage(kScriptedWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(appMain(), 0);
    EXPECT_FALSE(g_scripted.peekLimitHit);
    EXPECT_EQ(scriptedCount(Op::SwapBuffers), 0);
    EXPECT_EQ(callsOf(GlOp::Clear).size(), 0u);

    std::vector<GlCall> made = callsOf(GlOp::GenLists);
    std::vector<GlCall> deleted = callsOf(GlOp::DeleteLists);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].i[0], made[0].i[1]);
    EXPECT_EQ(deleted[0].i[1], 1);
    EXPECT_EQ(deleted[1].i[0], made[1].i[1]);
    EXPECT_EQ(deleted[1].i[1], 256);
    const std::uint32_t released = scriptedSeq(Op::wglDeleteContext, withArgs({kContext}));
    EXPECT_GT(released, scriptedSeq(GlOp::DeleteLists));
    EXPECT_GT(scriptedSeq(Op::ReleaseDC, withArgs({scriptedArg(kScriptedWindow), kDc})), released);
}

// Each way in which the window can fail to open: one error line that says what
// failed, nothing built, the half-open window closed, and status 1.
struct OpenFailure {
    const char* label;
    void (*script)();
    const char* line;
};

const OpenFailure kOpenFailures[] = {
    {"class refused", [] { g_scripted.registerClassRefused = true; },
     "Error: Can't open the window: the window class or the window could not be made\n"},
    {"no window", [] { g_scripted.createWindowFails = true; },
     "Error: Can't open the window: the window class or the window could not be made\n"},
    {"no device context", [] { g_scripted.getWindowDcFails = true; },
     "Error: Can't open the window: it has no device context\n"},
    {"no GL context", [] { g_scripted.createContextFails = true; },
     "Error: Can't open the window: no GL context could be created\n"},
    {"context not current", [] { g_scripted.makeCurrentResult = FALSE; },
     "Error: Can't open the window: the GL context could not be made current\n"},
};

TEST_F(MainTest, WindowThatDoesNotOpenEndsWithOneErrorLineAndStatusOne) {
    for (const OpenFailure& failure : kOpenFailures) {
        SCOPED_TRACE(failure.label);
        TearDown();
        SetUp();
        failure.script();
        std::string out;
        int status;
        {
            CoutCapture capture;
            status = appMain();
            out = capture.text();
        }
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, failure.line);
        EXPECT_EQ(g_fakePlanetBuilds, 0);
        EXPECT_TRUE(callsOf(GlOp::GenLists).empty());
        EXPECT_TRUE(callsOf(GlOp::DeleteLists).empty());
        EXPECT_EQ(scriptedCount(Op::wglUseFontBitmapsA), 0);
        EXPECT_EQ(scriptedCount(Op::PeekMessageA), 0);  // the pump never ran
        // The close ran: the display mode is back and what was made is released.
        EXPECT_NE(scriptedSeq(Op::ChangeDisplaySettingsA, withArgs({0, 0})), kNoCall);
        EXPECT_EQ(g_scripted.currentContext, nullptr);
        const bool contextMade =
            scriptedCount(Op::wglCreateContext) > 0 && !g_scripted.createContextFails;
        EXPECT_EQ(scriptedCalls(Op::wglDeleteContext).size(), contextMade ? 1u : 0u);
    }
}

}  // namespace

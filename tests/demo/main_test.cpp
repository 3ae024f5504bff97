// The demo's main function through the scripted platform and the GL recorder:
// start-up, the run until Escape, and a teardown that releases what it made.
#include <string>
#include <vector>

#include "tests/demo/demo_test_support.h"

namespace {

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

void escapeAfterFrames(const char* name) {
    scriptedNote(name);
    if (std::string(name) == "glCallLists" && ++s_framesDrawn == s_framesBeforeEscape)
        scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(MainTest, RunsUntilEscapeAndDeletesExactlyTheListsItMade) {
    s_framesDrawn = 0;
    s_framesBeforeEscape = 3;
    g_glRecorderEcho = escapeAfterFrames;

    EXPECT_EQ(appMain(), 0);
    EXPECT_FALSE(g_scripted.peekLimitHit);
    EXPECT_EQ(s_framesDrawn, 3);
    EXPECT_EQ(scriptedCount("SwapBuffers"), 3);

    // What it asked of the shell before the window opened.
    EXPECT_GE(scriptedFind("wglSwapIntervalEXT(0)"), 0);
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

    // The font's glyphs come from the system font, selected before the lists are made.
    const std::string fontLists = "wglUseFontBitmapsA(0x2001, 0, 256, " + std::to_string(font) + ")";
    long select = scriptedFind("SelectObject");
    long glyphs = scriptedFind(fontLists);
    ASSERT_GE(select, 0);
    ASSERT_GE(glyphs, 0);
    EXPECT_LT(select, glyphs);
    EXPECT_LT(scriptedFind("glGenLists", static_cast<std::size_t>(scriptedFind("glEndList"))), glyphs);
    EXPECT_LT(glyphs, scriptedFind("PeekMessageA"));

    // The light is switched on once, before the pump; the camera starts above the planet.
    std::vector<GlCall> enables = callsOf(GlOp::Enable);
    ASSERT_FALSE(enables.empty());
    EXPECT_EQ(enables[0].i[0], GL_LIGHT0);
    EXPECT_EQ(g_camPos.z, 150.0f);

    // The lists go while the context is still current; then the window closes.
    long firstDelete = scriptedFind("glDeleteLists");
    long release = scriptedFind("wglMakeCurrent(0x2001, NULL)");
    ASSERT_GE(release, 0);
    EXPECT_LT(firstDelete, release);
    EXPECT_GT(firstDelete, scriptedFind("SwapBuffers"));
    EXPECT_GE(scriptedFind("wglDeleteContext(0x3001)"), 0);
    EXPECT_GE(scriptedFind("ChangeDisplaySettingsA(NULL, 0)", static_cast<std::size_t>(firstDelete)),
              0);
}

TEST_F(MainTest, EscapeBeforeTheFirstFrameStillTearsEverythingDown) {
    // Waiting in the queue when the pump starts: handled before any frame.
    scriptedPostMessage(kScriptedWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(appMain(), 0);
    EXPECT_FALSE(g_scripted.peekLimitHit);
    EXPECT_EQ(scriptedCount("SwapBuffers"), 0);
    EXPECT_EQ(callsOf(GlOp::Clear).size(), 0u);

    std::vector<GlCall> made = callsOf(GlOp::GenLists);
    std::vector<GlCall> deleted = callsOf(GlOp::DeleteLists);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].i[0], made[0].i[1]);
    EXPECT_EQ(deleted[0].i[1], 1);
    EXPECT_EQ(deleted[1].i[0], made[1].i[1]);
    EXPECT_EQ(deleted[1].i[1], 256);
    EXPECT_GE(scriptedFind("wglDeleteContext(0x3001)"), 0);
    EXPECT_GE(scriptedFind("ReleaseDC"), 0);
}

// Each way in which the window can fail to open: one error line that says what
// failed, nothing built, the half-open window closed, and status 1.
struct OpenFailure {
    const char* label;
    void (*script)();
    const char* line;
};

const OpenFailure kOpenFailures[] = {
    {"class refused", [] { g_scripted.registerClassResult = 0; },
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
        EXPECT_EQ(scriptedCount("wglUseFontBitmapsA"), 0);
        EXPECT_EQ(scriptedCount("PeekMessageA"), 0);  // the pump never ran
        // The close ran: the display mode is back and what was made is released.
        EXPECT_GE(scriptedFind("ChangeDisplaySettingsA(NULL, 0)"), 0);
        EXPECT_EQ(g_scripted.currentContext, nullptr);
        if (scriptedFind("wglCreateContext") >= 0 && !g_scripted.createContextFails) {
            EXPECT_GE(scriptedFind("wglDeleteContext(0x3001)"), 0);
        }
    }
}

}  // namespace

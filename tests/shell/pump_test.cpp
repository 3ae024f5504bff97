// Window procedure, message pump, callbacks and frame timer.
#include <cmath>
#include <functional>

#include "tests/shell/shell_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> s_onMessage;
std::function<void()> s_onFrame;

LRESULT CALLBACK hookOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return s_onMessage ? s_onMessage(window, message, wParam, lParam) : 1;
}
void hookOnFrame() {
    if (s_onFrame) s_onFrame();
}

std::string hexOf(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

bool quitWaiting() {
    for (const MSG& msg : g_scripted.queue)
        if (msg.message == WM_QUIT) return true;
    return false;
}

// A windowed open (fewer calls to wade through), then the test's own callbacks.
class PumpTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        s_onMessage = nullptr;
        s_onFrame = nullptr;
        g_settings.fullscreen = false;
        openWindow();
    }
    void installHooks() {
        ShellCallbacks hooks = {hookOnMessage, hookOnFrame};
        shellSetCallbacks(&hooks);
    }
    void run() {
        shellRun();
        ASSERT_FALSE(g_scripted.peekLimitHit) << "the pump did not end by itself";
    }
};

// --- The window procedure ----------------------------------------------------------

TEST_F(PumpTest, CloseIsAnsweredWithTheQuitMessageBeforeOnMessageSeesIt) {
    installHooks();
    s_onMessage = [](HWND window, UINT message, WPARAM, LPARAM) -> LRESULT {
        scriptedNote("onMessage " + hexOf(message) + (quitWaiting() ? " quit waiting" : "") +
                     (window == g_window ? " own window" : ""));
        return 42;
    };
    g_scripted.defWindowProcResult = 77;
    EXPECT_EQ(SendMessageA(g_window, WM_CLOSE, 0, 0), 42);
    const std::vector<std::string> expected = {
        "SendMessageA(0x1001, 0x10, 0, 0)",
        "PostQuitMessage(1)",
        "onMessage 0x10 quit waiting own window",
    };
    EXPECT_EQ(g_scripted.log, expected);  // no default handling: the window stays
    ASSERT_EQ(g_scripted.queue.size(), 1u);
    EXPECT_EQ(g_scripted.queue.front().message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(g_scripted.queue.front().wParam, 1u);
}

TEST_F(PumpTest, OtherMessagesGetDefaultHandlingFirstAndReturnOnMessagesResult) {
    installHooks();
    g_scripted.defWindowProcResult = 77;  // discarded
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
    };
    const Case cases[] = {
        {WM_KEYDOWN, 'A', 0x1e0001, 5},
        {WM_KEYUP, VK_ESCAPE, 0, 0},
        {WM_SYSKEYDOWN, VK_F1, 3, -9},
        {0x0200, 0, 0x00100020, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        g_scripted.log.clear();
        s_onMessage = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            scriptedNote("onMessage " + hexOf(message) + " " + std::to_string(wParam) + " " +
                         std::to_string(lParam));
            return c.result;
        };
        EXPECT_EQ(SendMessageA(g_window, c.message, c.wParam, c.lParam), c.result);
        ASSERT_EQ(g_scripted.log.size(), 3u);
        EXPECT_EQ(g_scripted.log[1], "DefWindowProcA(0x1001, " + hexOf(c.message) + ", " +
                                         std::to_string(c.wParam) + ", " +
                                         std::to_string(c.lParam) + ")");
        EXPECT_EQ(g_scripted.log[2], "onMessage " + hexOf(c.message) + " " +
                                         std::to_string(c.wParam) + " " + std::to_string(c.lParam));
        EXPECT_TRUE(g_scripted.queue.empty());
    }
}

TEST_F(PumpTest, DefaultCallbacksAnswerOneAndCloseOnEscapeKeyDownOnly) {
    struct Case {
        const char* label;
        UINT message;
        WPARAM wParam;
        bool closes;
    };
    const Case cases[] = {
        {"escape down", WM_KEYDOWN, VK_ESCAPE, true},
        {"other key down", WM_KEYDOWN, 'A', false},
        {"escape up", WM_KEYUP, VK_ESCAPE, false},
        {"escape with alt", WM_SYSKEYDOWN, VK_ESCAPE, false},
        {"close", WM_CLOSE, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        g_scripted.queue.clear();
        EXPECT_EQ(SendMessageA(g_window, c.message, c.wParam, 0), 1);
        EXPECT_EQ(quitWaiting(), c.closes);
    }
}

TEST_F(PumpTest, NullCallbacksFallBackToTheDefaults) {
    ShellCallbacks none = {nullptr, nullptr};
    shellSetCallbacks(&none);
    scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
    run();
    EXPECT_GE(scriptedFind("PostQuitMessage(1)"), 0);
}

// --- The pump ----------------------------------------------------------------------

TEST_F(PumpTest, EscapeWithTheDefaultCallbacksEndsThePump) {
    scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
    run();
    const std::vector<std::string> expected = {
        "glFinish",
        "QueryPerformanceCounter() -> 0",
        "PeekMessageA(PM_REMOVE) -> 0x100",
        "TranslateMessage(0x100)",
        "DispatchMessageA(0x1001, 0x100, 27)",
        "DefWindowProcA(0x1001, 0x100, 27, 0)",
        "SendMessageA(0x1001, 0x10, 0, 0)",
        "PostQuitMessage(1)",
        "PeekMessageA(PM_REMOVE) -> 0x12",
    };
    EXPECT_EQ(g_scripted.log, expected);
}

TEST_F(PumpTest, AllWaitingMessagesAreHandledBeforeAFrame) {
    installHooks();
    int frames = 0;
    s_onFrame = [&] {
        ++frames;
        scriptedNote("frame");
        PostQuitMessage(0);
    };
    scriptedPostMessage(g_window, WM_KEYDOWN, 'A', 0);
    scriptedPostMessage(g_window, WM_KEYUP, 'A', 0);
    scriptedPostMessage(g_window, WM_KEYDOWN, 'W', 0);
    run();
    EXPECT_EQ(frames, 1);
    const std::vector<std::string> expected = {
        "TranslateMessage", "DispatchMessageA", "TranslateMessage", "DispatchMessageA",
        "TranslateMessage", "DispatchMessageA", "frame",
    };
    EXPECT_EQ(scriptedNames({"TranslateMessage", "DispatchMessageA", "frame"}), expected);
}

TEST_F(PumpTest, NothingIsDispatchedOrDrawnAfterTheQuitMessage) {
    installHooks();
    int frames = 0;
    s_onFrame = [&] { ++frames; };
    scriptedPostMessage(g_window, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(1);
    scriptedPostMessage(g_window, WM_KEYDOWN, 'B', 0);
    run();
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(scriptedCount("DispatchMessageA"), 1);
    ASSERT_EQ(g_scripted.queue.size(), 1u);
    EXPECT_EQ(g_scripted.queue.front().wParam, static_cast<WPARAM>('B'));
}

TEST_F(PumpTest, FramesFollowEachOtherWhileTheQueueIsEmpty) {
    installHooks();
    int frames = 0;
    s_onFrame = [&] {
        scriptedNote("frame");
        if (++frames == 5) PostQuitMessage(1);
    };
    run();
    EXPECT_EQ(frames, 5);
    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back("PeekMessageA(PM_REMOVE) -> none");
        expected.push_back("frame");
    }
    expected.push_back("PostQuitMessage(1)");  // from inside the fifth frame
    expected.push_back("PeekMessageA(PM_REMOVE) -> 0x12");
    std::vector<std::string> pumpLines(g_scripted.log.begin() + 2, g_scripted.log.end());
    EXPECT_EQ(pumpLines, expected);
}

TEST_F(PumpTest, RunPrimesTheTimerSoTheFirstFrameSeesZero) {
    installHooks();
    g_scripted.perfFrequency = 16;
    shellTimerSampleFrequency();
    g_scripted.log.clear();
    g_scripted.counterReadings = {1000, 1016};
    g_frameTime = 3.5;
    std::vector<double> seen;
    s_onFrame = [&] {
        seen.push_back(g_frameTime);
        shellTimerTick();
        seen.push_back(g_frameTime);
        PostQuitMessage(1);
    };
    run();
    EXPECT_EQ(seen, (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(scriptedFind("glFinish"), 0);
    EXPECT_EQ(scriptedFind("QueryPerformanceCounter() -> 1000"), 1);
}

// --- The frame timer -------------------------------------------------------------

constexpr long long kTicksPerSecond = 16;  // one tick is 1/16 s, exactly representable

class TimerTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        g_scripted.perfFrequency = kTicksPerSecond;
        shellTimerSampleFrequency();
        g_lastCounter = counter_;
        // Close whatever averaging window earlier ticks left open, then mark g_fps so
        // that a tick which does not close a window shows.
        tickBy(kTicksPerSecond);
        g_fps = -1.0;
    }
    void tickBy(long long ticks) {
        counter_ += ticks;
        g_scripted.counterReadings.push_back(counter_);
        shellTimerTick();
    }
    long long counter_ = 5000;
};

TEST_F(TimerTest, SixteenthSecondFramesCloseTheWindowOnTheFourthTick) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 3; ++i) {
            tickBy(1);
            EXPECT_EQ(g_frameTime, 0.0625);
            EXPECT_EQ(g_fps, -1.0);
        }
        tickBy(1);
        EXPECT_EQ(g_fps, 16.0);
        g_fps = -1.0;
    }
}

TEST_F(TimerTest, OneHalfSecondFrameClosesAWindowByItself) {
    tickBy(8);
    EXPECT_EQ(g_frameTime, 0.5);
    EXPECT_EQ(g_fps, 2.0);
}

TEST_F(TimerTest, AStandingCounterAddsAFrameWithoutTime) {
    tickBy(0);
    EXPECT_EQ(g_frameTime, 0.0);
    EXPECT_EQ(g_fps, -1.0);
    tickBy(4);  // 0.25 s: two frames in the window
    EXPECT_EQ(g_fps, 8.0);
}

TEST_F(TimerTest, TimeBeyondAQuarterSecondCountsForTheClosingWindowOnly) {
    tickBy(3);
    tickBy(3);  // 0.375 s over two frames
    EXPECT_EQ(g_fps, 2.0 / 0.375);
    g_fps = -1.0;
    for (int i = 0; i < 3; ++i) tickBy(1);
    EXPECT_EQ(g_fps, -1.0);  // nothing carried over into this window
    tickBy(1);
    EXPECT_EQ(g_fps, 16.0);
}

TEST_F(TimerTest, ACounterWithoutRateFallsBackToTheSteadyClock) {
    struct Case {
        const char* label;
        BOOL result;
        long long frequency;
        bool throughOpen;
    };
    const Case cases[] = {
        {"zero rate", TRUE, 0, false},
        {"negative rate", TRUE, -1000, false},
        {"query fails", FALSE, 1000, false},
        {"zero rate at window open", TRUE, 0, true},
    };
    ShellCallbacks hooks = {hookOnMessage, hookOnFrame};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        g_scripted.perfFrequencyResult = c.result;
        g_scripted.perfFrequency = c.frequency;
        g_scripted.counterReadings = {100, 200, 300};
        if (c.throughOpen) {
            g_settings.fullscreen = false;
            ASSERT_EQ(shellOpenWindow("test", 0), 1);
        } else {
            shellTimerSampleFrequency();
        }
        EXPECT_EQ(g_perfFrequency, 1000000000);
        g_scripted.log.clear();

        shellSetCallbacks(&hooks);
        std::vector<double> frameTimes;
        s_onFrame = [&] {
            shellTimerTick();
            frameTimes.push_back(g_frameTime);
            if (frameTimes.size() == 3) PostQuitMessage(1);
        };
        g_fps = 0.0;
        shellRun();
        s_onFrame = nullptr;
        ASSERT_EQ(frameTimes.size(), 3u);
        for (double t : frameTimes) {
            EXPECT_TRUE(std::isfinite(t));
            EXPECT_GE(t, 0.0);
            EXPECT_LT(t, 60.0);
        }
        EXPECT_TRUE(std::isfinite(g_fps));
        EXPECT_EQ(scriptedCount("QueryPerformanceCounter"), 0);  // the steady clock instead
    }
}

TEST_F(TimerTest, ARealRateSwitchesBackToTheCounter) {
    g_scripted.perfFrequency = 0;
    shellTimerSampleFrequency();
    g_scripted.perfFrequency = 3000000;
    shellTimerSampleFrequency();
    EXPECT_EQ(g_perfFrequency, 3000000);
    g_lastCounter = 0;
    g_scripted.counterReadings = {1500000};
    shellTimerTick();
    EXPECT_EQ(g_frameTime, 0.5);
}

}  // namespace

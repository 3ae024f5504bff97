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

using Op = ScriptedOp;
using Args = std::vector<std::int64_t>;

const std::int64_t kNone = 0;  // a NULL handle as recorded

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
    struct Seen {
        HWND window;
        UINT message;
        bool quitWaiting;
    };
    std::vector<Seen> seen;
    s_onMessage = [&](HWND window, UINT message, WPARAM, LPARAM) -> LRESULT {
        scriptedNote("onMessage");
        seen.push_back({window, message, g_scripted.quitPosted});
        return 42;
    };
    g_scripted.defWindowProcResult = 77;
    EXPECT_EQ(SendMessageA(g_window, WM_CLOSE, 0, 0), 42);
    // No default handling (it would destroy the window): the quit, then onMessage.
    const std::vector<ScriptedStep> expected = {Op::SendMessageA, Op::PostQuitMessage,
                                                ScriptedStep::note("onMessage")};
    EXPECT_EQ(scriptedSteps(), expected);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].window, g_window);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_TRUE(seen[0].quitWaiting);
    EXPECT_EQ(scriptedArgs(scriptedCalls(Op::PostQuitMessage).at(0), 1), Args{1});
    EXPECT_TRUE(g_scripted.quitPosted);
    EXPECT_EQ(g_scripted.quitCode, 1);
    EXPECT_TRUE(g_scripted.queue.empty());
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
        scriptedClearCalls();
        Args seen;
        s_onMessage = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            scriptedNote("onMessage");
            seen = {scriptedArg(window), message, static_cast<std::int64_t>(wParam), lParam};
            return c.result;
        };
        EXPECT_EQ(SendMessageA(g_window, c.message, c.wParam, c.lParam), c.result);
        const std::vector<ScriptedStep> expected = {Op::SendMessageA, Op::DefWindowProcA,
                                                    ScriptedStep::note("onMessage")};
        EXPECT_EQ(scriptedSteps(), expected);
        const Args message = {scriptedArg(g_window), c.message,
                              static_cast<std::int64_t>(c.wParam), c.lParam};
        EXPECT_EQ(scriptedArgs(scriptedCalls(Op::DefWindowProcA).at(0), 4), message);
        EXPECT_EQ(seen, message);
        EXPECT_TRUE(g_scripted.queue.empty());
        EXPECT_FALSE(g_scripted.quitPosted);
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
        g_scripted.quitPosted = false;
        EXPECT_EQ(SendMessageA(g_window, c.message, c.wParam, 0), 1);
        EXPECT_EQ(g_scripted.quitPosted, c.closes);
    }
}

TEST_F(PumpTest, NullCallbacksFallBackToTheDefaults) {
    ShellCallbacks none = {nullptr, nullptr};
    shellSetCallbacks(&none);
    scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
    run();
    const std::vector<ScriptedCall> quits = scriptedCalls(Op::PostQuitMessage);
    ASSERT_EQ(quits.size(), 1u);
    EXPECT_EQ(quits[0].arg[0], 1);
}

// --- The pump ----------------------------------------------------------------------

TEST_F(PumpTest, EscapeWithTheDefaultCallbacksEndsThePump) {
    scriptedPostMessage(g_window, WM_KEYDOWN, VK_ESCAPE, 0);
    run();
    const std::vector<ScriptedStep> expected = {
        GlOp::Finish,         Op::QueryPerformanceCounter, Op::PeekMessageA,
        Op::TranslateMessage, Op::DispatchMessageA,        Op::DefWindowProcA,
        Op::SendMessageA,     Op::PostQuitMessage,         Op::PeekMessageA,
    };
    ASSERT_EQ(scriptedSteps(), expected);
    const std::vector<ScriptedCall>& calls = g_scripted.calls;
    const std::int64_t window = scriptedArg(g_window);
    const Args escape = {window, WM_KEYDOWN, VK_ESCAPE, 0};
    EXPECT_EQ(calls[0].arg[0], 0);  // the counter's reading
    // Every message of the queue, taken out: the key, then the quit.
    EXPECT_EQ(scriptedArgs(calls[1], 7),
              (Args{kNone, 0, 0, PM_REMOVE, WM_KEYDOWN, VK_ESCAPE, window}));
    EXPECT_EQ(scriptedArgs(calls[2], 4), escape);
    EXPECT_EQ(scriptedArgs(calls[3], 4), escape);
    EXPECT_EQ(scriptedArgs(calls[4], 4), escape);
    EXPECT_EQ(scriptedArgs(calls[5], 4), (Args{window, WM_CLOSE, 0, 0}));
    EXPECT_EQ(scriptedArgs(calls[6], 1), Args{1});
    EXPECT_EQ(scriptedArgs(calls[7], 7), (Args{kNone, 0, 0, PM_REMOVE, WM_QUIT, 1, kNone}));
    EXPECT_FALSE(g_scripted.quitPosted);
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
    const std::vector<ScriptedStep> expected = {
        Op::TranslateMessage, Op::DispatchMessageA, Op::TranslateMessage, Op::DispatchMessageA,
        Op::TranslateMessage, Op::DispatchMessageA, ScriptedStep::note("frame"),
    };
    EXPECT_EQ(scriptedSteps({Op::TranslateMessage, Op::DispatchMessageA,
                             ScriptedStep::note("frame")}),
              expected);
    std::vector<std::int64_t> keys;
    for (const ScriptedCall& call : scriptedCalls(Op::DispatchMessageA))
        keys.push_back(call.arg[2]);
    EXPECT_EQ(keys, (Args{'A', 'A', 'W'}));  // in the order posted
}

TEST_F(PumpTest, NothingIsDispatchedOrDrawnAfterTheQuitMessage) {
    installHooks();
    int frames = 0;
    s_onFrame = [&] { ++frames; };
    scriptedPostMessage(g_window, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(1);
    // Posted after the quit and still handled: the quit waits for an empty queue.
    scriptedPostMessage(g_window, WM_KEYDOWN, 'B', 0);
    run();
    EXPECT_EQ(frames, 0);
    std::vector<std::int64_t> keys;
    for (const ScriptedCall& call : scriptedCalls(Op::DispatchMessageA))
        keys.push_back(call.arg[2]);
    EXPECT_EQ(keys, (Args{'A', 'B'}));
    // The pump's last call took the quit message; nothing came after it.
    ASSERT_FALSE(g_scripted.calls.empty());
    const ScriptedCall& last = g_scripted.calls.back();
    EXPECT_EQ(last.op, Op::PeekMessageA);
    EXPECT_EQ(last.arg[4], WM_QUIT);
    EXPECT_TRUE(g_scripted.queue.empty());
    EXPECT_FALSE(g_scripted.quitPosted);
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
    std::vector<ScriptedStep> expected = {GlOp::Finish, Op::QueryPerformanceCounter};
    for (int i = 0; i < 5; ++i) {
        expected.push_back(Op::PeekMessageA);
        expected.push_back(ScriptedStep::note("frame"));
    }
    expected.push_back(Op::PostQuitMessage);  // from inside the fifth frame
    expected.push_back(Op::PeekMessageA);
    EXPECT_EQ(scriptedSteps(), expected);
    // Each frame came after a look that found the queue empty; the last look took the quit.
    const std::vector<ScriptedCall> peeks = scriptedCalls(Op::PeekMessageA);
    ASSERT_EQ(peeks.size(), 6u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(peeks[i].result, FALSE) << i;
    EXPECT_EQ(peeks[5].arg[4], WM_QUIT);
}

TEST_F(PumpTest, RunPrimesTheTimerSoTheFirstFrameSeesZero) {
    installHooks();
    g_scripted.perfFrequency = 16;
    shellTimerSampleFrequency();
    scriptedClearCalls();
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
    // The GL work is finished before the first reading, which comes before any look
    // at the queue.
    const std::vector<ScriptedStep> steps = scriptedSteps();
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[0], ScriptedStep(GlOp::Finish));
    EXPECT_EQ(steps[1], ScriptedStep(Op::QueryPerformanceCounter));
    EXPECT_EQ(steps[2], ScriptedStep(Op::PeekMessageA));
    EXPECT_EQ(scriptedCalls(Op::QueryPerformanceCounter).at(0).arg[0], 1000);
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
        scriptedClearCalls();

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
        EXPECT_EQ(scriptedCount(Op::QueryPerformanceCounter), 0);  // the steady clock instead
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

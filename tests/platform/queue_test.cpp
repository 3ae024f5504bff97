// The Linux layer's message queue: order, PeekMessageA's filters.
#include <gtest/gtest.h>

#include <vector>

#include "shell/platform/sdl/queue.h"

namespace {
using sdlLayer::MessageQueue;

HWND windowA() { return reinterpret_cast<HWND>(0x1000); }
HWND windowB() { return reinterpret_cast<HWND>(0x2000); }

MSG message(HWND window, UINT number, WPARAM wParam = 0, LPARAM lParam = 0) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = number;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

// Everything left, oldest first, as "message:wParam" pairs.
std::vector<std::pair<UINT, WPARAM>> drain(MessageQueue* queue) {
    std::vector<std::pair<UINT, WPARAM>> left;
    MSG msg;
    while (queue->take(nullptr, 0, 0, true, &msg)) left.emplace_back(msg.message, msg.wParam);
    return left;
}

TEST(PlatformQueue, TakesTheOldestMessageThatPassesTheFilters) {
    MessageQueue queue;
    queue.post(message(windowA(), WM_KEYDOWN, 'A'));
    queue.post(message(windowB(), WM_KEYDOWN, 'B'));
    queue.post(message(windowA(), WM_CLOSE));
    queue.post(message(windowA(), WM_KEYUP, 'A'));

    MSG msg;
    // Looking without removing leaves the queue as it was.
    ASSERT_TRUE(queue.take(nullptr, 0, 0, false, &msg));
    EXPECT_EQ(msg.wParam, WPARAM{'A'});
    EXPECT_EQ(queue.size(), 4u);
    // A range filter skips what lies outside it, and takes from the middle.
    ASSERT_TRUE(queue.take(nullptr, WM_CLOSE, WM_CLOSE, true, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_FALSE(queue.take(nullptr, WM_QUIT, WM_QUIT, true, &msg));
    // A window filter takes only that window's messages.
    ASSERT_TRUE(queue.take(windowB(), 0, 0, true, &msg));
    EXPECT_EQ(msg.wParam, WPARAM{'B'});
    ASSERT_TRUE(queue.take(windowA(), WM_KEYUP, WM_KEYUP, true, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));

    const std::vector<std::pair<UINT, WPARAM>> left = {{WM_KEYDOWN, 'A'}};
    EXPECT_EQ(drain(&queue), left);
    EXPECT_FALSE(queue.take(nullptr, 0, 0, true, &msg));
}

TEST(PlatformQueue, OrderSurvivesWrappingAround) {
    MessageQueue queue;
    std::vector<std::pair<UINT, WPARAM>> expected;
    WPARAM next = 0, taken = 0;
    // Keep about 200 messages waiting while 1000 pass through.
    for (int round = 0; round < 1000; ++round) {
        queue.post(message(windowA(), WM_KEYDOWN, next++));
        if (queue.size() > 200) {
            MSG msg;
            ASSERT_TRUE(queue.take(nullptr, 0, 0, true, &msg));
            ASSERT_EQ(msg.wParam, taken++);
        }
    }
    for (WPARAM w = taken; w < next; ++w) expected.emplace_back(WM_KEYDOWN, w);
    EXPECT_EQ(drain(&queue), expected);
}

TEST(PlatformQueue, FilterRangeOfZeroAndZeroTakesEverything) {
    EXPECT_TRUE(sdlLayer::inFilterRange(WM_QUIT, 0, 0));
    EXPECT_TRUE(sdlLayer::inFilterRange(WM_KEYUP, WM_KEYDOWN, WM_KEYUP));
    EXPECT_FALSE(sdlLayer::inFilterRange(WM_SYSKEYDOWN, WM_KEYDOWN, WM_KEYUP));
    EXPECT_FALSE(sdlLayer::inFilterRange(WM_CLOSE, WM_KEYDOWN, WM_KEYUP));
}
}  // namespace

// The Linux layer's message queue: order, PeekMessageA's filters, and what happens
// when far more messages wait than it was made for: nothing is lost, a held key's
// repeats fold into its key-down, everything else makes room by growing.
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

constexpr LPARAM kDown = 0x00000001, kRepeat = 0x40000001, kUp = 0xC0000001;

// A flood of every kind of message that the layer posts: all of it comes back, in
// order, whatever the number.
TEST(PlatformQueue, AFloodLosesNothing) {
    for (std::size_t total : {MessageQueue::kFoldThreshold, MessageQueue::kFoldThreshold + 1,
                              std::size_t{10000}}) {
        SCOPED_TRACE(total);
        MessageQueue queue;
        std::vector<std::pair<UINT, WPARAM>> posted;
        const UINT kinds[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CLOSE, WM_SYSCOMMAND};
        for (std::size_t i = 0; i < total; ++i) {
            const UINT kind = kinds[i % 6];
            const WPARAM key = 'A' + (i / 6) % 26;
            queue.post(message(windowA(), kind, key, kind == WM_KEYUP || kind == WM_SYSKEYUP ? kUp : kDown));
            posted.emplace_back(kind, key);
        }
        EXPECT_EQ(queue.size(), total);
        EXPECT_EQ(drain(&queue), posted);
    }
}

// Past the threshold a repeat joins its key's waiting key-down, with its count, as
// Windows folds repeats for a slow reader; the key-up that ends it still comes.
TEST(PlatformQueue, RepeatsFoldIntoTheirKeyDownOnceTheQueueIsFull) {
    MessageQueue queue;
    for (std::size_t i = 0; i < MessageQueue::kFoldThreshold; ++i)
        queue.post(message(windowA(), i % 2 ? WM_KEYUP : WM_KEYDOWN, 'A', i % 2 ? kUp : kDown));
    queue.post(message(windowA(), WM_KEYDOWN, VK_RIGHT, 0x01000001));
    for (int i = 0; i < 1000; ++i) queue.post(message(windowA(), WM_KEYDOWN, VK_RIGHT, 0x41000001));
    EXPECT_EQ(queue.size(), MessageQueue::kFoldThreshold + 1);
    queue.post(message(windowA(), WM_KEYUP, VK_RIGHT, 0xC1000001));
    // A repeat behind the key-up has nothing to join: it waits on its own.
    queue.post(message(windowA(), WM_KEYDOWN, VK_RIGHT, 0x41000001));
    EXPECT_EQ(queue.size(), MessageQueue::kFoldThreshold + 3);

    MSG msg;
    for (std::size_t i = 0; i < MessageQueue::kFoldThreshold; ++i) ASSERT_TRUE(queue.take(nullptr, 0, 0, true, &msg));
    ASSERT_TRUE(queue.take(nullptr, 0, 0, true, &msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, WPARAM{VK_RIGHT});
    EXPECT_EQ(msg.lParam, LPARAM{0x41000000 + 1001});  // the extended bit kept, a repeat now
    ASSERT_TRUE(queue.take(nullptr, 0, 0, true, &msg));
    EXPECT_EQ(msg.lParam, LPARAM{0xC1000001});
    ASSERT_TRUE(queue.take(nullptr, 0, 0, true, &msg));
    EXPECT_EQ(msg.lParam, LPARAM{0x41000001});
    EXPECT_EQ(queue.size(), 0u);
}

TEST(PlatformQueue, OnlyARepeatOfTheNewestKeyDownFolds) {
    const struct {
        const char* what;
        MSG newest;
        MSG next;
        bool folds;
    } cases[] = {
        {"same key, repeat", message(windowA(), WM_KEYDOWN, 'W', kDown), message(windowA(), WM_KEYDOWN, 'W', kRepeat), true},
        {"system key, repeat", message(windowA(), WM_SYSKEYDOWN, 'W', 0x20000001), message(windowA(), WM_SYSKEYDOWN, 'W', 0x60000001), true},
        {"first press of the same key", message(windowA(), WM_KEYDOWN, 'W', kDown), message(windowA(), WM_KEYDOWN, 'W', kDown), false},
        {"another key", message(windowA(), WM_KEYDOWN, 'W', kDown), message(windowA(), WM_KEYDOWN, 'S', kRepeat), false},
        {"behind a key-up", message(windowA(), WM_KEYUP, 'W', kUp), message(windowA(), WM_KEYDOWN, 'W', kRepeat), false},
        {"system and plain", message(windowA(), WM_KEYDOWN, 'W', kDown), message(windowA(), WM_SYSKEYDOWN, 'W', 0x60000001), false},
        {"another window", message(windowB(), WM_KEYDOWN, 'W', kDown), message(windowA(), WM_KEYDOWN, 'W', kRepeat), false},
        {"a close", message(windowA(), WM_CLOSE), message(windowA(), WM_CLOSE), false},
    };
    for (const auto& c : cases) {
        MessageQueue queue;
        for (std::size_t i = 0; i + 1 < MessageQueue::kFoldThreshold; ++i) queue.post(message(windowA(), WM_KEYUP, 'Q', kUp));
        queue.post(c.newest);
        queue.post(c.next);
        EXPECT_EQ(queue.size(), MessageQueue::kFoldThreshold + (c.folds ? 0 : 1)) << c.what;
    }
}

TEST(PlatformQueue, BelowTheThresholdEveryRepeatWaitsOnItsOwn) {
    MessageQueue queue;
    queue.post(message(windowA(), WM_KEYDOWN, 'W', kDown));
    for (int i = 0; i < 10; ++i) queue.post(message(windowA(), WM_KEYDOWN, 'W', kRepeat));
    EXPECT_EQ(queue.size(), 11u);
}

TEST(PlatformQueue, AFoldedRepeatCountStopsAtItsLargestValue) {
    MessageQueue queue;
    for (std::size_t i = 0; i < MessageQueue::kFoldThreshold; ++i) queue.post(message(windowA(), WM_KEYUP, 'Q', kUp));
    queue.post(message(windowA(), WM_KEYDOWN, 'W', kDown));
    for (int i = 0; i < 70000; ++i) queue.post(message(windowA(), WM_KEYDOWN, 'W', kRepeat));
    MSG msg;
    ASSERT_TRUE(queue.take(nullptr, WM_KEYDOWN, WM_KEYDOWN, true, &msg));
    EXPECT_EQ(msg.lParam, LPARAM{0x4000FFFF});
}

TEST(PlatformQueue, FilterRangeOfZeroAndZeroTakesEverything) {
    EXPECT_TRUE(sdlLayer::inFilterRange(WM_QUIT, 0, 0));
    EXPECT_TRUE(sdlLayer::inFilterRange(WM_KEYUP, WM_KEYDOWN, WM_KEYUP));
    EXPECT_FALSE(sdlLayer::inFilterRange(WM_SYSKEYDOWN, WM_KEYDOWN, WM_KEYUP));
    EXPECT_FALSE(sdlLayer::inFilterRange(WM_CLOSE, WM_KEYDOWN, WM_KEYUP));
}
}  // namespace

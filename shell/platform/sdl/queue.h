// The window's message queue: posted messages in order, taken out by a filter the
// way PeekMessageA takes them. Pure: no display, no SDL; the unit tests flood it.
//
// Nothing is ever dropped. Up to kFoldThreshold waiting messages it is a plain
// first-in, first-out queue. From there on, an auto-repeated key-down (WM_KEYDOWN
// or WM_SYSKEYDOWN with lParam bit 30) whose key's key-down is the newest waiting
// message folds into it: that message's repeat count (lParam bits 0-15) grows by
// the repeat's count, stopping at 0xFFFF, as Windows folds repeats for a reader that
// falls behind. Every other message, and a repeat that cannot fold, makes the queue
// grow. So a held key cannot grow the queue without end, and a key-up, WM_CLOSE or
// any other message is always delivered. WM_QUIT is not a queued message: the
// events code answers it once the queue has nothing else that passes the filter.
//
// Storage is reserved up front for kFoldThreshold messages; posting and taking
// allocate nothing until more than that wait at once.
#pragma once

#include <cstddef>
#include <vector>

#include "shell/platform/platform.h"

namespace sdlLayer {

class MessageQueue {
public:
    static constexpr std::size_t kFoldThreshold = 256;

    MessageQueue();

    void post(const MSG& msg);

    // The oldest waiting message for `window` (NULL: any) whose number lies in
    // [filterMin, filterMax] (both 0: any), removed from the queue when `remove`.
    bool take(HWND window, UINT filterMin, UINT filterMax, bool remove, MSG* msg);

    std::size_t size() const { return m_count; }

private:
    MSG& at(std::size_t index) { return m_slots[(m_head + index) % m_slots.size()]; }
    bool foldRepeat(const MSG& msg);
    void grow();

    std::vector<MSG> m_slots;  // a ring of m_count messages from m_head
    std::size_t m_head = 0;
    std::size_t m_count = 0;
};

// Whether `message` passes PeekMessageA's range filter.
bool inFilterRange(UINT message, UINT filterMin, UINT filterMax);

}  // namespace sdlLayer

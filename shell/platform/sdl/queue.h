// The window's message queue: posted messages in order, taken out by a filter the
// way PeekMessageA takes them. Pure: no display, no SDL; the unit tests flood it.
//
// A first-in, first-out queue of kCapacity messages; post drops a message that
// finds it full. WM_QUIT is not a queued message: the events code answers it once
// the queue has nothing else that passes the filter.
#pragma once

#include <cstddef>
#include <vector>

#include "shell/platform/platform.h"

namespace sdlLayer {

class MessageQueue {
public:
    static constexpr std::size_t kCapacity = 256;

    MessageQueue();

    void post(const MSG& msg);

    // The oldest waiting message for `window` (NULL: any) whose number lies in
    // [filterMin, filterMax] (both 0: any), removed from the queue when `remove`.
    bool take(HWND window, UINT filterMin, UINT filterMax, bool remove, MSG* msg);

    std::size_t size() const { return m_count; }

private:
    MSG& at(std::size_t index) { return m_slots[(m_head + index) % m_slots.size()]; }

    std::vector<MSG> m_slots;  // a ring of m_count messages from m_head
    std::size_t m_head = 0;
    std::size_t m_count = 0;
};

// Whether `message` passes PeekMessageA's range filter.
bool inFilterRange(UINT message, UINT filterMin, UINT filterMax);

}  // namespace sdlLayer

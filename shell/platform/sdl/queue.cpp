#include "shell/platform/sdl/queue.h"

namespace sdlLayer {

bool inFilterRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

MessageQueue::MessageQueue() : m_slots(kCapacity) {}

void MessageQueue::post(const MSG& msg) {
    if (m_count == m_slots.size()) return;
    at(m_count) = msg;
    ++m_count;
}
bool MessageQueue::take(HWND window, UINT filterMin, UINT filterMax, bool remove, MSG* msg) {
    for (std::size_t i = 0; i < m_count; ++i) {
        const MSG& waiting = at(i);
        if ((window && waiting.hwnd != window) || !inFilterRange(waiting.message, filterMin, filterMax))
            continue;
        *msg = waiting;
        if (remove) {
            for (std::size_t j = i; j > 0; --j) at(j) = at(j - 1);
            m_head = (m_head + 1) % m_slots.size();
            --m_count;
        }
        return true;
    }
    return false;
}

}  // namespace sdlLayer

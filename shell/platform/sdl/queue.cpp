#include "shell/platform/sdl/queue.h"

namespace sdlLayer {
namespace {
constexpr LPARAM kRepeatBit = LPARAM{1} << 30;
constexpr LPARAM kRepeatCountMask = 0xFFFF;

bool isKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
}  // namespace

bool inFilterRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

MessageQueue::MessageQueue() : m_slots(kFoldThreshold) {}

bool MessageQueue::foldRepeat(const MSG& msg) {
    if (m_count < kFoldThreshold || !isKeyDown(msg.message) || !(msg.lParam & kRepeatBit))
        return false;
    MSG& newest = at(m_count - 1);
    if (newest.hwnd != msg.hwnd || newest.message != msg.message || newest.wParam != msg.wParam)
        return false;
    LPARAM count = (newest.lParam & kRepeatCountMask) + (msg.lParam & kRepeatCountMask);
    if (count > kRepeatCountMask) count = kRepeatCountMask;
    // A folded key-down is a repeat as soon as one repeat has joined it.
    newest.lParam = (newest.lParam & ~kRepeatCountMask) | count | kRepeatBit;
    newest.time = msg.time;
    newest.pt = msg.pt;
    return true;
}

void MessageQueue::grow() {
    std::vector<MSG> larger(m_slots.size() * 2);
    for (std::size_t i = 0; i < m_count; ++i) larger[i] = at(i);
    m_slots.swap(larger);
    m_head = 0;
}

void MessageQueue::post(const MSG& msg) {
    if (foldRepeat(msg)) return;
    if (m_count == m_slots.size()) grow();
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

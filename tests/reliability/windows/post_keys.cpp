// Another program's made-up key messages for the demo's window: posts, to the
// top-level window titled "test", key-down and key-up messages whose wParam names
// no key (256 and up, to the largest WPARAM), key-ups of keys that never went down,
// and long runs of repeated key-downs, as any program on the desktop may. Exit status
// 0 when every message was posted and the window still exists and answers a
// second later, 1 otherwise.
#include <windows.h>

#include <cstdio>

namespace {

bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (PostMessageA(window, message, wParam, lParam)) return true;
    std::printf("post_keys: PostMessageA(%#x, %#llx) failed: %lu\n", message,
                static_cast<unsigned long long>(wParam), GetLastError());
    return false;
}

}  // namespace

int main() {
    HWND window = FindWindowA(nullptr, "test");
    if (!window) {
        std::printf("post_keys: no window \"test\"\n");
        return 1;
    }
    const WPARAM beyond[] = {256, 257, 256 + VK_ESCAPE, 256 + VK_UP, 511, 512, 0x1234, 0xFFFF,
                             0x10000, 0x7FFFFFFF, 0xFFFFFFFF, ~WPARAM{0} >> 1, ~WPARAM{0}};
    bool ok = true;
    for (WPARAM code : beyond) {
        ok = post(window, WM_KEYDOWN, code, 1) && ok;
        ok = post(window, WM_KEYUP, code, LPARAM(0xC0000001)) && ok;
        ok = post(window, WM_KEYDOWN, code, LPARAM(0x40000001)) && ok;  // a repeat
    }
    // Key-ups without key-downs, for every code there is.
    for (WPARAM code = 0; code < 256; ++code)
        if (code != VK_ESCAPE) ok = post(window, WM_KEYUP, code, LPARAM(0xC0000001)) && ok;
    // A key held for a long time: its auto-repeat, then one key-up.
    for (int i = 0; i < 2000; ++i) ok = post(window, WM_KEYDOWN, 'W', LPARAM(0x40000001)) && ok;
    ok = post(window, WM_KEYUP, 'W', LPARAM(0xC0000001)) && ok;

    // Sent messages overtake posted ones, so give the pump a moment to drain its
    // queue before asking whether the window still answers.
    Sleep(1000);
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer)) {
        std::printf("post_keys: the window did not answer within 10 s\n");
        return 1;
    }
    if (!IsWindow(window)) {
        std::printf("post_keys: the window is gone\n");
        return 1;
    }
    std::printf("post_keys: %s\n", ok ? "all posted, the window still answers" : "some posts failed");
    return ok ? 0 : 1;
}

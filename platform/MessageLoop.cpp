#include "platform/MessageLoop.h"

#include "platform/MessageBox.h"

#include <algorithm>
#include <vector>

namespace lapforge::platform {

namespace {

void Dispatch(MSG& message) {
    // Tab, the arrow keys and Enter move between the controls of our plain windows as in a dialog.
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// The thread's other visible top-level windows, disabled while a modal window runs.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND modal) : modal_(modal) {
        EnumThreadWindows(GetCurrentThreadId(), &Disable, reinterpret_cast<LPARAM>(this));
    }
    ~OtherWindowsDisabled() {
        for (HWND window : disabled_)
            if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
        // Hidden ones (the input method's among them) take no input anyway.
        if (window != me->modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            me->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND modal_;
    std::vector<HWND> disabled_;
};

}  // namespace

void RunModal(HWND window, HWND focus) {
    const OtherWindowsDisabled others(window);  // the owner among them
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    if (focus) SetFocus(focus);
    MSG message;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop to see as well
            return;
        }
        if (got < 0) return;
        Dispatch(message);
    }
}

void EndModal(HWND window) {
    if (const HWND owner = GetWindow(window, GW_OWNER)) EnableWindow(owner, TRUE);
    DestroyWindow(window);
}

int RunMessageLoop(LoopPoll& poll) {
    const auto guarded = [](auto&& work) {
        // A failure is reported while the windows are still there, as one in a handler is.
        GuardWindowProc("section cycle", [&] {
            work();
            return LRESULT{0};
        });
    };
    MSG message{};
    for (;;) {
        guarded([&] { poll.Poll(); });
        const std::vector<HANDLE>& handles = poll.WaitHandles();
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS - 1));
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, count ? handles.data() : nullptr, poll.PollInterval(),
                                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count || (woken == WAIT_FAILED && count > 0)) {
            guarded([&] { poll.HandleSignalled(); });
            continue;
        }
        // A wait that timed out brought nothing to handle: the next round is the poll alone.
        if (woken != WAIT_OBJECT_0 + count) continue;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            Dispatch(message);
        }
    }
}

}  // namespace lapforge::platform

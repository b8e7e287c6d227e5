#include "platform/Process.h"

#include "platform/MessageBox.h"
#include "platform/NewerWindows.h"
#include "platform/ProcessModel.h"
#include "platform/Win32.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace lapforge::platform {

void InitialiseProcess() {
    // Before anything makes the system load a DLL: none may come from beside the exe.
    newer::RestrictDllSearch();
    // Kept for the life of the process: the picture boxes decode through COM.
    static const ComApartment apartment;
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

std::optional<std::string> ApplicationFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, folder.data(), static_cast<DWORD>(folder.size()));
        if (length < folder.size()) {
            folder.resize(length);
            break;
        }
        folder.resize(folder.size() * 2);  // truncated: try a longer buffer
    }
    const std::size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos) folder.resize(slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    try {
        return AnsiPath(folder);
    } catch (const WideFailure& failure) {
        // Without the folder no data file can be found and no settings written.
        ShowErrorMessage(nullptr, failure.Text());
        return std::nullopt;
    }
}

namespace {

static_assert(ClaimErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(ClaimErrorAlreadyExists == ERROR_ALREADY_EXISTS);

// The first one's listener: a message-only window named after the claim.
constexpr wchar_t ListenerClass[] = L"Lapforge.SessionClaim";

// Long enough for a Lapforge whose window has just gone to give its claim up.
constexpr DWORD HandOverMilliseconds = 1000;

// The claim this process holds, for the main window to end as it goes.
SessionClaim* held = nullptr;

BOOL CALLBACK CollectShown(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// This thread's visible top-level windows that take part in switching: no drop-down lists or tips.
std::vector<HWND> ShownWindows() {
    std::vector<HWND> shown;
    EnumThreadWindows(GetCurrentThreadId(), CollectShown, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// In the first Lapforge, asked by a later start: its window as the user left it, restored and in
// front, with whatever takes input there (a modal window, a message box, the folder dialog at start).
void ComeForward() {
    // A modal window is hidden with its minimised owner and comes back with it. Restored without
    // activation, so that the activation below raises it, also where no window manager does.
    for (HWND window : ShownWindows())
        if (IsIconic(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
    // The modal loops leave one window enabled: the one in front.
    for (HWND window : ShownWindows()) {
        if (!IsWindowEnabled(window)) continue;
        SetForegroundWindow(window);
        // Where no window manager raises the window that became active (Wine on a bare X display).
        BringWindowToTop(window);
        return;
    }
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == SessionClaim::ComeForwardMessage()) {
        ComeForward();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Never a SendMessage: a first copy that hangs must not hang this one.
void CallFirstForward(const wchar_t* name) {
    HWND listener = FindWindowExW(HWND_MESSAGE, nullptr, ListenerClass, name);
    if (!listener) return;
    DWORD firstId = 0;
    GetWindowThreadProcessId(listener, &firstId);
    // A program just started by the user may take the foreground; the first one gets that right.
    AllowSetForegroundWindow(firstId);
    PostMessageW(listener, SessionClaim::ComeForwardMessage(), 0, 0);
}

}  // namespace

void SessionClaim::ReleaseHeld() {
    if (held) held->Release();
}

UINT SessionClaim::ComeForwardMessage() {
    static const UINT message = RegisterWindowMessageW(L"Lapforge.ComeForward");
    return message;
}

SessionClaim::SessionClaim(const wchar_t* name) {
    // Owned from the start, so a later start can wait for this one to let go.
    ScopedHandle mutex(CreateMutexW(nullptr, TRUE, name));
    const DWORD error = GetLastError();
    if (JudgeSessionClaim(static_cast<bool>(mutex), error) == SessionClaimOutcome::First) {
        // Without a mutex (an error that says nothing of another Lapforge) it runs unguarded.
        if (mutex) Hold(std::move(mutex), name);
        first_ = true;
        return;
    }
    CallFirstForward(name);
    // A first one run as administrator gives no handle to wait on; it keeps its window anyway.
    if (!mutex) return;
    const DWORD waited = WaitForSingleObject(mutex.Get(), HandOverMilliseconds);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        Hold(std::move(mutex), name);
        first_ = true;
    }
}

void SessionClaim::Hold(ScopedHandle mutex, const wchar_t* name) {
    mutex_ = std::move(mutex);
    held = this;
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ListenerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = ListenerClass;
        return RegisterClassExW(&windowClass);
    }();
    if (!registered) return;
    listener_ = CreateWindowExW(0, ListenerClass, name, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    // Run as administrator, the first still hears an ordinary later start: the message carries nothing.
    if (listener_) ChangeWindowMessageFilterEx(listener_, ComeForwardMessage(), MSGFLT_ALLOW, nullptr);
}

void SessionClaim::Release() {
    if (held == this) held = nullptr;
    if (listener_) DestroyWindow(std::exchange(listener_, nullptr));
    if (mutex_) {
        ReleaseMutex(mutex_.Get());
        mutex_.Reset();
    }
}

}  // namespace lapforge::platform

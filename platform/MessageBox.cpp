#include "platform/MessageBox.h"

#include "core/Controller.h"
#include "core/Messages.h"
#include "platform/Win32.h"

#include <iterator>
#include <new>

namespace lapforge::platform {

namespace {

// While another program (the simulator, often full screen) has the foreground, a new box cannot take
// it: Windows at most flashes the taskbar button a few times, and the user hears nothing.
bool AnotherProgramInFront() {
    HWND front = GetForegroundWindow();
    if (!front) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    return process != GetCurrentProcessId();
}

void FlashUntilInFront(HWND window, DWORD what) {
    FLASHWINFO flash{sizeof flash, window, what | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

BOOL CALLBACK FlashIfMessageBox(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    if (!IsWindowVisible(window) || CompareStringOrdinal(name, -1, L"#32770", -1, FALSE) != CSTR_EQUAL) return TRUE;
    // An owned box has no taskbar button of its own: its owner's is the one the user sees.
    const HWND owner = GetAncestor(window, GA_ROOTOWNER);
    if (owner && owner != window) FlashUntilInFront(owner, FLASHW_TRAY);
    FlashUntilInFront(window, FLASHW_ALL);
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Runs inside the box's own message loop, so the box is on the screen (a hidden window has no
// taskbar button to flash); it tries again on the next tick until the box is there.
void CALLBACK FlashMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FlashIfMessageBox, reinterpret_cast<LPARAM>(&found));
    if (found) KillTimer(nullptr, timer);
}

// A message box that is heard and seen also when it opens behind another program's window.
void ShowMessageBox(HWND owner, const std::wstring& text, const wchar_t* title, UINT type) {
    UINT_PTR flashTimer = 0;
    if (AnotherProgramInFront()) {
        MessageBeep(MB_ICONERROR);
        flashTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, FlashMessageBox);
    }
    MessageBoxW(owner, text.c_str(), title, type);
    if (flashTimer) KillTimer(nullptr, flashTimer);
}

}  // namespace

void ShowErrorMessage(HWND owner, const std::string& text) { ShowErrorMessage(owner, Widen(text)); }

void ShowErrorMessage(HWND owner, const std::wstring& text) { ShowMessageBox(owner, text, L"Error", MB_OK); }

void ReportUnhandledFailure(const std::string& text) {
    // The box runs a message loop; a handler failing again in it must not stack another box.
    static bool reporting = false;
    if (!reporting) {
        reporting = true;
        // GPL gets its own deploy point back first: the box may never be answered.
        RestoreDeployLineBeforeFailureReport();
        ShowMessageBox(nullptr, Widen(text), L"Lapforge", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    ExitProcess(1);
}

void ReportEscapedFailure(const std::exception* failure, const char* control) {
    if (failure == nullptr) ReportUnhandledFailure(UnhandledFailureText(UndescribedFailure(control)));
    if (dynamic_cast<const std::bad_alloc*>(failure))
        ReportUnhandledFailure(UnhandledFailureText("there is not enough memory"));
    ReportUnhandledFailure(UnhandledFailureText(failure->what()));
}

}  // namespace lapforge::platform

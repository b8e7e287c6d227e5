#include "platform/Platform.h"

#include "platform/Win32.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <iterator>
#include <vector>

namespace lapforge::platform {

void InitialiseProcess() {
    // Kept for the life of the process: the picture boxes decode through COM.
    static const ComApartment apartment;
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

std::string ApplicationFolder() {
    std::vector<char> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) break;
        path.resize(path.size() * 2);  // truncated: try a longer buffer
    }
    std::string folder(path.data(), length);
    const std::size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos) return folder;
    folder.resize(slash);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

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
void ShowMessageBox(HWND owner, const std::string& text, const wchar_t* title, UINT type) {
    UINT_PTR flashTimer = 0;
    if (AnotherProgramInFront()) {
        MessageBeep(MB_ICONERROR);
        flashTimer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, FlashMessageBox);
    }
    MessageBoxW(owner, Widen(text).c_str(), title, type);
    if (flashTimer) KillTimer(nullptr, flashTimer);
}

}  // namespace

void ShowErrorMessage(HWND owner, const std::string& text) { ShowMessageBox(owner, text, L"Error", MB_OK); }

void ReportUnhandledFailure(const std::string& text) {
    // The box runs a message loop; a handler failing again in it must not stack another box.
    static bool reporting = false;
    if (!reporting) {
        reporting = true;
        ShowMessageBox(nullptr, text, L"Lapforge", MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    ExitProcess(1);
}

LaunchResult LaunchProgram(const std::string& exePath, const std::string& workingFolder, DWORD creationFlags) {
    // The path is both the program's name and, quoted, its whole command line: a space in a folder
    // name can neither split it nor start another program.
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
        const DWORD error = GetLastError();
        return LaunchResult{0, error, SystemMessage(error)};
    }
    const ScopedHandle process(started.hProcess);
    const ScopedHandle thread(started.hThread);
    return LaunchResult{started.dwProcessId, 0, {}};
}

LaunchResult ShellLaunchProgram(HWND owner, const std::string& exePath, const std::string& workingFolder) {
    const std::wstring file = Widen(exePath);
    const std::wstring folder = Widen(workingFolder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.hwnd = owner;  // the consent prompt's owner
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWMAXIMIZED;
    if (!ShellExecuteExW(&info)) {
        const DWORD error = GetLastError();
        return LaunchResult{0, error, SystemMessage(error)};
    }
    const ScopedHandle process(info.hProcess);
    if (!process) return LaunchResult{0, ERROR_INVALID_HANDLE, SystemMessage(ERROR_INVALID_HANDLE)};
    return LaunchResult{GetProcessId(process.Get()), 0, {}};
}

bool IsProcessElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const ScopedHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

void OpenDocument(HWND owner, const std::string& path) {
    ShellExecuteA(owner, "open", path.c_str(), "", "", SW_SHOWNORMAL);
}

void PlayAnnouncement(const std::string& path) { sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT); }

bool IsKeyDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

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

void ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) ExitProcess(static_cast<UINT>(message.wParam));
        Dispatch(message);
    }
}

bool WaitForEvents(DWORD timeoutMilliseconds) {
    return MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
           WAIT_OBJECT_0;
}

void RunModal(HWND window) {
    const OtherWindowsDisabled others(window);
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

int RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace lapforge::platform

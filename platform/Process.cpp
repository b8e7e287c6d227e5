#include "platform/Process.h"

#include "platform/MessageBox.h"
#include "platform/NewerWindows.h"
#include "platform/Win32.h"

#include <commctrl.h>

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

bool FirstInstanceInSession() {
    // "Local\\": the session's own namespace. The handle stays open for the life of the process.
    const HANDLE claim = CreateMutexW(nullptr, FALSE, L"Local\\Lapforge.OnePerSession");
    if (!claim || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    CloseHandle(claim);
    HWND main = FindWindowW(L"frmLapforge", nullptr);
    if (main && IsIconic(main)) ShowWindow(main, SW_RESTORE);
    // The first one's window that takes input: a modal one in front of the main window, or the
    // folder dialog while it starts.
    for (const wchar_t* windowClass : {L"frmGPLPfad", L"frmKeys", L"frmLapforge"}) {
        HWND window = FindWindowW(windowClass, nullptr);
        if (window && IsWindowVisible(window)) {
            SetForegroundWindow(window);
            break;
        }
    }
    return false;
}

}  // namespace lapforge::platform

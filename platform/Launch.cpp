#include "platform/Launch.h"

#include "platform/Win32.h"

#include <shellapi.h>

namespace lapforge::platform {

ProcessHandle OwnProcessHandle(HANDLE process) {
    if (!process) return {};
    return ProcessHandle(process, [](void* handle) { CloseHandle(handle); });
}

StartOutcome LaunchProgram(const std::string& exePath, const std::string& workingFolder, DWORD creationFlags) {
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
        return StartOutcome{0, error, SystemMessage(error), {}};
    }
    const ScopedHandle thread(started.hThread);
    return StartOutcome{started.dwProcessId, 0, {}, OwnProcessHandle(started.hProcess)};
}

StartOutcome ShellLaunchProgram(HWND owner, const std::string& exePath, const std::string& workingFolder) {
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
        return StartOutcome{0, error, SystemMessage(error), {}};
    }
    if (!info.hProcess) return StartOutcome{0, ERROR_INVALID_HANDLE, SystemMessage(ERROR_INVALID_HANDLE), {}};
    return StartOutcome{GetProcessId(info.hProcess), 0, {}, OwnProcessHandle(info.hProcess)};
}

std::optional<bool> IsElevated(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    const ScopedHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) return std::nullopt;
    return elevation.TokenIsElevated != 0;
}

bool IsProcessElevated() { return IsElevated(GetCurrentProcess()).value_or(false); }

}  // namespace lapforge::platform

#pragma once

#include <windows.h>

#include <string>

namespace lapforge::platform {

struct LaunchResult {
    DWORD processId = 0;  // 0: not started
    DWORD errorCode = 0;  // the system's error code when not started
    std::string error;    // the system's reason when not started
};

// Starts the program maximised with the focus, in the working folder (the caller's own when empty),
// with CreateProcess's creation flags; does not wait for it.
LaunchResult LaunchProgram(const std::string& exePath, const std::string& workingFolder, DWORD creationFlags);

// Starts the program as Explorer would, maximised in the working folder: Windows asks the user's
// consent for a program marked to run as administrator. A refusal is a failure with its reason.
LaunchResult ShellLaunchProgram(HWND owner, const std::string& exePath, const std::string& workingFolder);

// True when this process runs with an administrator's full rights.
bool IsProcessElevated();

}  // namespace lapforge::platform

#pragma once

#include "core/SimulatorLaunch.h"

#include <windows.h>

#include <optional>
#include <string>

namespace lapforge::platform {

// Takes ownership of a process handle: it is closed when the last holder lets go.
ProcessHandle OwnProcessHandle(HANDLE process);

// Starts the program maximised with the focus, in the working folder (the caller's own when empty),
// with CreateProcess's creation flags; does not wait for it, but keeps its handle for the watch.
StartOutcome LaunchProgram(const std::string& exePath, const std::string& workingFolder, DWORD creationFlags);

// Starts the program as Explorer would, maximised in the working folder: Windows asks the user's
// consent for a program marked to run as administrator. A refusal is a failure with its reason.
StartOutcome ShellLaunchProgram(HWND owner, const std::string& exePath, const std::string& workingFolder);

// The system's two ways of starting a program, for the simulator's launch; `owner` owns the
// consent prompt.
class ProgramStarter final : public ProcessStarter {
public:
    explicit ProgramStarter(HWND owner) : owner_(owner) {}
    StartOutcome StartProcess(const std::string& exePath, const std::string& workingFolder,
                              unsigned long creationFlags) override {
        return LaunchProgram(exePath, workingFolder, creationFlags);
    }
    StartOutcome StartAsShell(const std::string& exePath, const std::string& workingFolder) override {
        return ShellLaunchProgram(owner_, exePath, workingFolder);
    }

private:
    HWND owner_;
};

// The process runs with an administrator's full rights; nothing when its token cannot be read.
std::optional<bool> IsElevated(HANDLE process);

// True when this process runs with an administrator's full rights.
bool IsProcessElevated();

}  // namespace lapforge::platform

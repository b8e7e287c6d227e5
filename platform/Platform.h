#pragma once

#include <windows.h>

#include <string>

namespace lapforge::platform {

// Once at start: COM for the imaging component and visual-style controls. The quiet handling of a
// drive without a medium is left to each probe (QuietDriveErrors), so programs we start keep
// Windows' own disk prompts.
void InitialiseProcess();

// The executable's folder, without a trailing backslash except at a drive root.
std::string ApplicationFolder();

// The program's own messages: title "Error", OK only, no icon. Behind another program's window (the
// simulator in front) it plays the error sound and flashes its taskbar button, as the failure
// report below does.
void ShowErrorMessage(HWND owner, const std::string& text);

// Tells the user about a failure nothing handled, then ends the program with exit code 1.
[[noreturn]] void ReportUnhandledFailure(const std::string& text);

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

// Opens the file with its associated program; failures are not reported.
void OpenDocument(HWND owner, const std::string& path);

// Plays a wave file asynchronously; a file that cannot be played plays nothing.
void PlayAnnouncement(const std::string& path);

// System-wide: true while the key is down, whichever program has the focus. Not consumed.
bool IsKeyDown(int virtualKey);

// Handles every queued window message; a quit message ends the program.
void ProcessPendingEvents();

// Returns when a window message arrives (true) or the timeout passes (false).
bool WaitForEvents(DWORD timeoutMilliseconds);

// Runs a message loop until the window has been destroyed; the thread's other visible windows
// are disabled meanwhile. A quit message ends the loop and is posted again for the main loop.
void RunModal(HWND window);

// The program's main loop; returns the quit code.
int RunMessageLoop();

}  // namespace lapforge::platform

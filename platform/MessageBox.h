#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace lapforge::platform {

// The program's own messages: title "Error", OK only, no icon. Behind another program's window (the
// simulator in front) it plays the error sound and flashes its taskbar button, as the failure
// report below does.
void ShowErrorMessage(HWND owner, const std::string& text);
void ShowErrorMessage(HWND owner, const std::wstring& text);

// Tells the user about a failure nothing handled, then ends the program with exit code 1. Line 54
// of GPL's track file goes back as found before the report (RestoreDeployLineBeforeFailureReport).
[[noreturn]] void ReportUnhandledFailure(const std::string& text);

// Reports a failure that escaped the window procedure of the named control (null: not a
// std::exception, so the control's name is all there is to tell) as ReportUnhandledFailure does.
[[noreturn]] void ReportEscapedFailure(const std::exception* failure, const char* control);

// The barrier around a control's window procedure: nothing may unwind through the system's code
// that called it, so a failure goes to the unhandled-failure report.
template <typename Handler>
LRESULT GuardWindowProc(const char* control, Handler&& handler) {
    try {
        return handler();
    } catch (const std::exception& failure) {
        ReportEscapedFailure(&failure, control);
    } catch (...) {
        ReportEscapedFailure(nullptr, control);
    }
}

}  // namespace lapforge::platform

#pragma once

#include <windows.h>

// The one place for Windows functions newer than Windows 7 SP1, the build's floor. Each is looked
// up at run time and has a fallback that works on Windows 7, so the exe imports none of them.
namespace lapforge::platform::newer {

// The window's DPI: its own on Windows 10 1607 and later, its monitor's on 8.1, else the system's.
UINT DpiForWindow(HWND window);

// The system DPI, which Windows 7 uses for every window.
UINT SystemDpi();

// AdjustWindowRectEx at the given DPI; before Windows 10 1607 the frame at the system's DPI.
BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);

// The non-client metrics at the given DPI; before Windows 10 1607 those at the system's DPI,
// with the message font scaled to the given one.
BOOL NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi);

// From here on the system's own later loads of DLLs look in System32 only, not beside the exe or
// in the current folder. Call first thing at start-up.
void RestrictDllSearch();

// Windows 11 lets the timer period asked for lapse for a process whose windows are all covered (GPL
// full screen in front, as it is while the driver races); this process keeps it. Nothing where
// Windows has no such throttling.
void KeepTimerResolution();

// Loads a DLL of Windows from System32 and nowhere else; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace lapforge::platform::newer

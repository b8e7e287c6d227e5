#include "platform/NewerWindows.h"

#include "platform/Win32.h"

#include <string>

namespace lapforge::platform::newer {

namespace {

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Both are loaded in every process that shows a window.
template <typename Function>
Function User32(const char* name) {
    return Lookup<Function>(GetModuleHandleW(L"user32.dll"), name);
}

template <typename Function>
Function Kernel32(const char* name) {
    return Lookup<Function>(GetModuleHandleW(L"kernel32.dll"), name);
}

// Windows 7 and Vista know the LOAD_LIBRARY_SEARCH_* flags only with update KB2533623, which also
// brings AddDllDirectory; without it LoadLibraryExW rejects the flags.
bool HasSearchFlags() {
    static const bool has = Kernel32<FARPROC>("AddDllDirectory") != nullptr;
    return has;
}

}  // namespace

UINT SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiForWindow(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32<ForWindow>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    // Windows 8.1: per monitor, from shcore (MDT_EFFECTIVE_DPI is 0).
    using ForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = Lookup<ForMonitor>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    if (getDpiForMonitor && window) {
        UINT x = 0, y = 0;
        if (SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && x) return x;
    }
    return SystemDpi();
}

BOOL AdjustWindowRectExForDpi(RECT* rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
    using ForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32<ForDpi>("AdjustWindowRectExForDpi");
    if (adjustForDpi) return adjustForDpi(rect, style, menu, exStyle, dpi);
    return AdjustWindowRectEx(rect, style, menu, exStyle);
}

BOOL NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi) {
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto parametersForDpi = User32<ForDpi>("SystemParametersInfoForDpi");
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return TRUE;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return FALSE;
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return TRUE;
}

void RestrictDllSearch() {
    using SetDefault = BOOL(WINAPI*)(DWORD);
    if (const auto setDefault = Kernel32<SetDefault>("SetDefaultDllDirectories"))
        if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Unpatched Windows 7: at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

void KeepTimerResolution() {
    // From processthreadsapi.h of Windows 10 1709 and later, which the Windows 7 build leaves out.
    struct PowerThrottlingState {
        ULONG Version, ControlMask, StateMask;
    };
    constexpr int ProcessPowerThrottling = 4;
    constexpr ULONG CurrentVersion = 1, IgnoreTimerResolution = 0x4;
    using SetInformation = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const auto setInformation = Kernel32<SetInformation>("SetProcessInformation");
    if (!setInformation) return;
    // The bit in the mask with its state off: timer resolution requests are always honoured. A
    // Windows without the class refuses it, which changes nothing.
    PowerThrottlingState state{CurrentVersion, IgnoreTimerResolution, 0};
    setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof state);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HasSearchFlags()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The full path; its own dependencies are then looked for beside it, in System32, first.
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(system, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace lapforge::platform::newer

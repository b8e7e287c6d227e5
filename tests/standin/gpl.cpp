// A stand-in for the simulator in tests and in the demo: it opens a window and writes beside
// itself how it was started (command line, working folder, show mode), then waits to be closed.
// With LAPFORGE_KEY_LOG set, it appends a line for each key it gets, "up 115 <Unix time in ns>",
// so a benchmark can time from the moment the simulator sees a key come up.
#include <windows.h>

#include <string>

namespace {

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

void WriteReport(const std::string& text) {
    // Written under a temporary name and renamed, so a reader never sees half a report.
    const std::string path = OwnFolder() + "\\gpl-report.txt";
    const std::string temp = path + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void LogKey(const char* what, WPARAM key) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("LAPFORGE_KEY_LOG", path, MAX_PATH)) return;
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    // FILETIME counts 100 ns from 1601; Unix time from 1970.
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const std::string line = std::string(what) + " " + std::to_string(key) + " " +
                             std::to_string((ticks - 116444736000000000ULL) * 100) + "\n";
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) LogKey(message == WM_KEYUP ? "up" : "down", wParam);
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"GPL stand-in: press F4 to move Lapforge on", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int shown = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"GplStandIn";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"GplStandIn", L"GPL stand-in", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                480, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string report;
    report += "command_line=" + std::string(GetCommandLineA()) + "\r\n";
    report += "working_directory=" + std::string(folder) + "\r\n";
    report += "show_command=" + std::to_string(shown) + "\r\n";
    report += "maximized=" + std::string(IsZoomed(window) ? "1" : "0") + "\r\n";
    report += "pid=" + std::to_string(GetCurrentProcessId()) + "\r\n";
    WriteReport(report);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

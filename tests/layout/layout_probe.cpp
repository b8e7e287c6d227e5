// Reads where another program's window has placed its controls, optionally after telling it that
// its DPI changed, as the system does when a window moves to a monitor with another scale.
//   layout_probe <window title> [<new dpi> <suggested left> <top> <right> <bottom>]
//   layout_probe <window title> text <control id>   prints that control's text, in UTF-8
//   layout_probe <window title> minimise            minimises the window, as its button would
// Prints "client <width> <height>", "window <left> <top> <width> <height>" (screen pixels),
// "state <minimised|normal> <front|behind>" and one
// "control <id> <left> <top> <width> <height> <enabled|disabled> <text>" line per direct child
// window, in pixels of the window's client area, the text in UTF-8. Exits with 1 if there is no
// such window or the message could not be delivered.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr UINT DpiChangedMessage = 0x02E0;  // WM_DPICHANGED, which older headers lack

// The message carries a pointer that the system passes between processes as it is, so the
// rectangle has to lie in the window's own process.
bool SendDpiChanged(HWND window, UINT dpi, const RECT& suggested) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool sent = false;
    if (remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        DWORD_PTR result = 0;
        sent = SendMessageTimeoutW(window, DpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                   SMTO_ABORTIFHUNG, 10000, &result) != 0;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent;
}

struct Children {
    HWND parent;
    std::vector<HWND> found;
};

// The layout table places the window's own children; what those hold inside is theirs.
BOOL CALLBACK CollectChild(HWND child, LPARAM children) {
    auto* list = reinterpret_cast<Children*>(children);
    if (GetAncestor(child, GA_PARENT) == list->parent) list->found.push_back(child);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc == 5 || argc == 6 || argc > 7) return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) return 1;

    if (argc == 3) {
        if (std::wcscmp(argv[2], L"minimise") != 0) return 2;
        ShowWindow(window, SW_MINIMIZE);
        return 0;
    }

    if (argc == 4) {
        HWND control = GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
        if (!control) return 1;
        wchar_t text[1024] = {};
        GetWindowTextW(control, text, 1024);
        char utf8[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("%s\n", utf8);
        return 0;
    }

    if (argc == 7) {
        const UINT dpi = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
        const RECT suggested{std::wcstol(argv[3], nullptr, 10), std::wcstol(argv[4], nullptr, 10),
                             std::wcstol(argv[5], nullptr, 10), std::wcstol(argv[6], nullptr, 10)};
        if (!SendDpiChanged(window, dpi, suggested)) return 1;
    }

    RECT client{};
    GetClientRect(window, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    RECT frame{};
    GetWindowRect(window, &frame);
    std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    std::printf("state %s %s\n", IsIconic(window) ? "minimised" : "normal",
                GetForegroundWindow() == window ? "front" : "behind");
    Children children{window, {}};
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children.found) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
        // The control's text last, in UTF-8, so a script can read a label as the user does.
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        char utf8[2048] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("control %d %ld %ld %ld %ld %s %s\n", GetDlgCtrlID(child), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, IsWindowEnabled(child) ? "enabled" : "disabled", utf8);
    }
    return 0;
}

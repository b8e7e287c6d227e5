// Reads where another program's window has placed its controls, optionally after telling it that
// its DPI changed, as the system does when a window moves to a monitor with another scale.
//   layout_probe <window title> [<new dpi> <suggested left> <top> <right> <bottom>]
//   layout_probe <window title> text <control id>   prints that control's text, in UTF-8
//   layout_probe <window title> rows <control id>   prints a list view's or a drop-down's rows, one a
//                                                   line: "selected" or "-", then the cells, each
//                                                   after " | "
//   layout_probe <window title> minimise            minimises the window, as its button would
// Prints "client <width> <height>", "window <left> <top> <width> <height>" (screen pixels),
// "state <minimised|normal> <front|behind>" and one
// "control <id> <left> <top> <width> <height> <enabled|disabled> <text>" line per direct child
// window, in pixels of the window's client area, the text in UTF-8. Exits with 1 if there is no
// such window or the message could not be delivered.
#include <windows.h>
#include <commctrl.h>

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

// As the control itself tells it: another process's edit field or drop-down keeps its text to itself,
// where GetWindowText would read only the window's own title.
void ControlText(HWND control, wchar_t* text, int size) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
}

void PrintUtf8(const wchar_t* text) {
    char utf8[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s", utf8);
}

// The item and its text buffer have to lie in the list's own process, as for WM_DPICHANGED.
bool PrintRows(HWND list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    constexpr int TextLength = 512;
    struct Remote {
        LVITEMW item;
        wchar_t text[TextLength];
    };
    auto* remote = static_cast<Remote*>(
        VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    bool read = remote != nullptr;
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int row = 0; read && row < rows; ++row) {
        const bool selected = SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
        std::printf("%s", selected ? "selected" : "-");
        for (int column = 0; read && column < columns; ++column) {
            Remote local{};
            local.item.iSubItem = column;
            local.item.pszText = remote->text;
            local.item.cchTextMax = TextLength;
            read = WriteProcessMemory(process, remote, &local, sizeof local, nullptr) &&
                   SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&remote->item)) >= 0 &&
                   ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
            local.text[TextLength - 1] = L'\0';
            std::printf(" | ");
            PrintUtf8(local.text);
        }
        std::printf("\n");
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return read;
}

// The system carries a drop-down's item texts between processes itself.
bool PrintDropDownRows(HWND combo) {
    const int rows = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    for (int row = 0; row < rows; ++row) {
        wchar_t text[512] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, row, 0) >= 512) return false;
        SendMessageW(combo, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        std::printf("%s | ", row == selected ? "selected" : "-");
        PrintUtf8(text);
        std::printf("\n");
    }
    return rows >= 0;
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

    if (argc == 4 && std::wcscmp(argv[2], L"rows") == 0) {
        HWND list = GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
        wchar_t className[32] = {};
        if (list) GetClassNameW(list, className, 32);
        const bool dropDown = CompareStringOrdinal(className, -1, L"ComboBox", -1, TRUE) == CSTR_EQUAL;
        return list && (dropDown ? PrintDropDownRows(list) : PrintRows(list)) ? 0 : 1;
    }

    if (argc == 4) {
        HWND control = GetDlgItem(window, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
        if (!control) return 1;
        wchar_t text[1024] = {};
        ControlText(control, text, 1024);
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
        ControlText(child, text, 512);
        char utf8[2048] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        std::printf("control %d %ld %ld %ld %ld %s %s\n", GetDlgCtrlID(child), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, IsWindowEnabled(child) ? "enabled" : "disabled", utf8);
    }
    return 0;
}

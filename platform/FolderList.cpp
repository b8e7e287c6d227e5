#include "platform/FolderList.h"

#include "core/Failure.h"
#include "platform/Dpi.h"
#include "platform/MessageBox.h"
#include "platform/Win32.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <vector>

namespace lapforge::platform {

namespace {

constexpr wchar_t FrameClass[] = L"LapforgeFolderList";
constexpr int ListId = 1;

// Sizes at 96 DPI.
constexpr int GlyphSize = 16;
constexpr int IndentStep = 10;
constexpr int Margin = 2;
constexpr int GlyphToText = 4;

// As the core words its file failures, naming the folder by its real name: "could not open folder
// "X:\": the device is not ready".
WideFailure FolderFailure(const std::wstring& folder, DWORD error) {
    return WideFailure(L"could not open folder \"" + folder + L"\": " + Widen(SystemReason(error)));
}

// The subfolders of a folder that are not hidden, in the order the system gives them.
std::vector<std::wstring> Subfolders(const std::wstring& folder) {
    const QuietDriveErrors quiet;
    WIN32_FIND_DATAW found;
    const ScopedFind search(FindFirstFileExW(JoinFolder(folder, L"*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchLimitToDirectories, nullptr, 0));
    std::vector<std::wstring> names;
    if (!search) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return names;  // an empty drive root has not even "."
        throw FolderFailure(folder, error);
    }
    do {
        const std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
        // Explorer shows folders that only carry the system mark (customised or synced ones); junctions
        // such as "Documents and Settings" are hidden as well.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        names.push_back(name);
    } while (FindNextFileW(search.Get(), &found));
    return names;
}

// A small manila folder; an open one shows its front flap tipped forward.
void DrawFolderGlyph(HDC dc, int x, int y, int size, bool open) {
    const int w = size, h = size * 13 / 16;
    const int top = y + (size - h) / 2, bottom = top + h;
    const GdiObject<HPEN> edge(CreatePen(PS_SOLID, 1, RGB(0x9A, 0x74, 0x1C)));
    const GdiObject<HBRUSH> back(CreateSolidBrush(RGB(0xE0, 0xB4, 0x48)));
    const GdiObject<HBRUSH> front(CreateSolidBrush(RGB(0xFA, 0xDC, 0x7C)));
    const Selection pen(dc, edge.Get());
    const Selection brush(dc, back.Get());

    const int tabRight = x + w * 2 / 5, tabBottom = top + h / 5;
    const POINT backShape[] = {
        {x, top},       {tabRight, top}, {tabRight + h / 5, tabBottom}, {x + w - 1, tabBottom}, {x + w - 1, bottom - 1},
        {x, bottom - 1}};
    Polygon(dc, backShape, static_cast<int>(std::size(backShape)));

    SelectObject(dc, front.Get());
    const int flapTop = top + h * 2 / 5;
    if (open) {
        const POINT flap[] = {
            {x + w / 4, flapTop}, {x + w - 1 + w / 8, flapTop}, {x + w - 1, bottom - 1}, {x, bottom - 1}};
        Polygon(dc, flap, static_cast<int>(std::size(flap)));
    } else {
        Rectangle(dc, x, flapTop, x + w, bottom);
    }
}

}  // namespace

void FolderList::Create(HWND parent, int id, const RECT& rect) {
    // WS_EX_CONTROLPARENT lets Tab and the dialog keys reach the list box inside.
    CreateOwnClass(FrameClass, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), WS_EX_CONTROLPARENT, 0, parent, id, rect,
                   "folder list");
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
                                LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                            0, 0, rect.right - rect.left, rect.bottom - rect.top, Handle(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ListId)), GetModuleHandleW(nullptr), nullptr);
    if (!list_) throw Failure("could not create a folder list: " + SystemMessage(GetLastError()));
    SetWindowSubclass(list_, ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, ItemHeight());

    wchar_t current[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring start = length && length < MAX_PATH ? std::wstring(current, length) : L"C:\\";
    try {
        MoveTo(start, false);
    } catch (const Failure&) {
        MoveTo(BuildFolderRows(start, {}).rows.front().path, false);  // its root, say when it was deleted
    }
}

void FolderList::SetFolder(const std::wstring& path) {
    // Resolves "X:" (that drive's current folder), "." and ".." as the system does.
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0) throw FolderFailure(path, GetLastError());
    if (length >= MAX_PATH) throw FolderFailure(path, ERROR_FILENAME_EXCED_RANGE);
    MoveTo(std::wstring(full, length), true);
}

void FolderList::SetDrive(char letter) {
    const std::wstring root{static_cast<wchar_t>(letter), L':', L'\\'};
    try {
        SetFolder(root.substr(0, 2));
    } catch (const Failure&) {
        // Its current folder may have gone since, or never have had an 8-bit name: the drive is
        // still there, from its root.
        SetFolder(root);
    }
}

void FolderList::MoveTo(const std::wstring& path, bool notify) {
    const std::wstring folder = NormaliseFolder(path);
    // Both throw before anything changes.
    FolderRows rows = BuildFolderRows(folder, Subfolders(folder));
    std::string ansiFolder = AnsiPath(folder);

    folder_ = std::move(ansiFolder);
    rows_ = std::move(rows);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const FolderRow& row : rows_.rows)
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
    SendMessageW(list_, LB_SETCURSEL, rows_.current, 0);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);

    if (notify) NotifyParent(ChangeNotification);
}

void FolderList::OpenSelected() {
    const LRESULT index = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<std::size_t>(index) >= rows_.rows.size()) return;
    const std::wstring target = rows_.rows[static_cast<std::size_t>(index)].path;
    try {
        MoveTo(target, true);
    } catch (const WideFailure& failure) {
        // A folder the user may not read, or one without an 8-bit name: say so and stay where we are.
        SendMessageW(list_, LB_SETCURSEL, rows_.current, 0);
        ShowErrorMessage(GetAncestor(Handle(), GA_ROOT), failure.Text());
    }
}

int FolderList::ItemHeight() const {
    const WindowDc dc(list_);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(list_, WM_GETFONT, 0, 0));
    const Selection withFont(dc.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    const UINT dpi = DpiForWindow(list_);
    return std::max<int>(metrics.tmHeight, ScaleToDpi(GlyphSize, dpi)) + ScaleToDpi(2, dpi);
}

void FolderList::OnSetFont(HFONT font, BOOL redraw) {
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, ItemHeight());
}

void FolderList::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
    // Asked while the list box is being created, before its font is set.
    item.itemHeight = static_cast<UINT>(ScaleToDpi(GlyphSize + 2, DpiForWindow(Handle())));
}

void FolderList::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= rows_.rows.size()) return;
    const FolderRow& row = rows_.rows[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const UINT dpi = DpiForWindow(list_);
    const int glyph = ScaleToDpi(GlyphSize, dpi);
    const int x = r.left + ScaleToDpi(Margin, dpi) + row.indent * ScaleToDpi(IndentStep, dpi);
    DrawFolderGlyph(dc, x, r.top + (r.bottom - r.top - glyph) / 2, glyph, row.open);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = r;
    text.left = x + glyph + ScaleToDpi(GlyphToText, dpi);
    DrawTextW(dc, row.text.c_str(), static_cast<int>(row.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &r);
}

LRESULT FolderList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MEASUREITEM:
        OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == ListId && HIWORD(wParam) == LBN_DBLCLK) OpenSelected();
        return 0;
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam));
        return 0;
    case WM_GETFONT:
        return SendMessageW(list_, WM_GETFONT, 0, 0);
    case WM_SIZE:
        MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(list_);
        return 0;
    case WM_NCDESTROY:
        list_ = nullptr;  // went before its frame
        break;
    }
    return PassOn(message, wParam, lParam);
}

LRESULT CALLBACK FolderList::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return GuardWindowProc("folder list", [&] {
        if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListProc, 0);
        // Enter opens the row.
        return TakeEnterKey(
            EnterKeyMessage(message, wParam, lParam), [&] { return DefSubclassProc(list, message, wParam, lParam); },
            [self] { reinterpret_cast<FolderList*>(self)->OpenSelected(); });
    });
}

}  // namespace lapforge::platform

#include "platform/Control.h"

#include "core/Failure.h"
#include "platform/MessageBox.h"
#include "platform/Win32.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace lapforge::platform {

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

HGDIOBJ ControlFont(HWND control) { return reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)); }

bool RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

void FitDroppedWidth(HWND comboBox) {
    RECT field{};
    GetWindowRect(comboBox, &field);
    int width = field.right - field.left;
    const WindowDc dc(comboBox);
    const Selection font(dc.Get(), ControlFont(comboBox));
    const LRESULT count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, i, 0);
        if (length <= 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');  // and the terminating zero
        text.resize(static_cast<std::size_t>(
            std::max<LRESULT>(SendMessageW(comboBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())), 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        // Room for the list's scroll bar and the items' margins.
        width = std::max(width, static_cast<int>(size.cx) + GetSystemMetrics(SM_CXVSCROLL) + 8);
    }
    SendMessageW(comboBox, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

Control::~Control() {
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    // The window outlives this object by a few messages: none may reach it.
    if (subclassed_)
        RemoveWindowSubclass(hwnd_, SubclassProc, 0);
    else
        ForgetWindowObject(hwnd_);
    DestroyWindow(hwnd_);
}

void Control::CreateOwnClass(const wchar_t* className, HBRUSH background, DWORD exStyle, DWORD style, HWND parent,
                             int id, const RECT& rect, const char* what) {
    if (!RegisterWindowClass(className, OwnClassProc, background))
        throw Failure(std::string("could not register the ") + what + ": " + SystemMessage(GetLastError()));
    id_ = id;
    what_ = what;
    const HWND created =
        CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
    if (!created) throw Failure(std::string("could not create a ") + what + ": " + SystemMessage(GetLastError()));
}

void Control::CreateSubclassed(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int id,
                               const RECT& rect, const char* what) {
    id_ = id;
    what_ = what;
    hwnd_ = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw Failure(std::string("could not create a ") + what + ": " + SystemMessage(GetLastError()));
    subclassed_ = true;
    SetWindowSubclass(hwnd_, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) { return PassOn(message, wParam, lParam); }

LRESULT Control::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return subclassed_ ? DefSubclassProc(hwnd_, message, wParam, lParam)
                       : DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Control::NotifyParent(WORD code) {
    SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id_, code), reinterpret_cast<LPARAM>(hwnd_));
}

LRESULT Control::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardWindowProc(what_, [&] {
        if (message != WM_NCDESTROY) return HandleMessage(message, wParam, lParam);
        if (subclassed_) RemoveWindowSubclass(hwnd_, SubclassProc, 0);
        const LRESULT result = HandleMessage(message, wParam, lParam);
        if (!subclassed_) ForgetWindowObject(hwnd_);
        hwnd_ = nullptr;
        return result;
    });
}

LRESULT CALLBACK Control::OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowObject<Control>(window, message, lParam);
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = window;
    return self->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    return reinterpret_cast<Control*>(self)->Dispatch(message, wParam, lParam);
}

}  // namespace lapforge::platform

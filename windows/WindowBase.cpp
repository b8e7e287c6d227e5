#include "windows/WindowBase.h"

#include "platform/Dpi.h"
#include "platform/NewerWindows.h"
#include "platform/Platform.h"
#include "windows/Messages.h"

#include <exception>
#include <iterator>
#include <stdexcept>

namespace lapforge {

WindowBase::~WindowBase() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (font_) DeleteObject(font_);
}

void WindowBase::CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                                int clientWidthTwips, int clientHeightTwips) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    clientWidthTwips_ = clientWidthTwips;
    clientHeightTwips_ = clientHeightTwips;
    CreateWindowExW(exStyle, className, caption, style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                    nullptr, instance, this);
    if (!hwnd_) throw std::runtime_error("could not create the window");
    SizeClientArea(platform::DpiForWindow(hwnd_));
}

void WindowBase::SizeClientArea(UINT dpi, const RECT* suggested) {
    RECT frame{0, 0, platform::TwipsToPixels(clientWidthTwips_, dpi), platform::TwipsToPixels(clientHeightTwips_, dpi)};
    platform::newer::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                                              static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    const int left = suggested ? suggested->left : now.left;
    const int top = suggested ? suggested->top : now.top;
    SetWindowPos(hwnd_, nullptr, left, top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::CentreOnScreen() {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND WindowBase::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("could not create a control of the window");
    return control;
}

namespace {

bool IsDropDown(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, static_cast<int>(std::size(name)));
    return CompareStringOrdinal(name, -1, L"ComboBox", -1, TRUE) == CSTR_EQUAL;
}

// A drop-down's window height includes its open list, so the table's height is the closed field's:
// the window gets room for a dozen rows, and the field grows to the table's height where the font
// alone leaves it lower.
void FitDropDown(HWND combo, const RECT& field) {
    const int width = field.right - field.left;
    const int height = field.bottom - field.top;
    SetWindowPos(combo, nullptr, 0, 0, width, height * 12, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int text = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    RECT shown{};
    GetWindowRect(combo, &shown);
    const int chrome = (shown.bottom - shown.top) - text;
    if (chrome > 0 && height > chrome)
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - chrome);
}

}  // namespace

void WindowBase::ApplyLayout(const ControlPlacement* placements, std::size_t count, UINT dpi) {
    HFONT font = platform::CreateMessageFont(dpi);
    for (std::size_t i = 0; i < count; ++i) {
        const ControlPlacement& p = placements[i];
        HWND control = GetDlgItem(hwnd_, p.id);
        if (!control) continue;
        const RECT r = platform::TwipsRect(p.left, p.top, p.width, p.height, dpi);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        // After the font, which sets the field's own height.
        if (IsDropDown(control)) FitDropDown(control, r);
    }
    if (font_) DeleteObject(font_);
    font_ = font;
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // Give the focus back to the control that had it when the user returns to the window.
        if (LOWORD(wParam) == WA_INACTIVE) {
            lastFocus_ = GetFocus();
        } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        // Labels and the check box sit on the window's face colour, like the window itself.
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (const std::exception& failure) {
        platform::ReportUnhandledFailure(UnhandledFailureText(failure.what()));
    } catch (...) {
        platform::ReportUnhandledFailure(UnhandledFailureText(""));
    }
}

}  // namespace lapforge

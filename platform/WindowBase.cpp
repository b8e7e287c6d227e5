#include "platform/WindowBase.h"

#include "core/Messages.h"
#include "platform/Control.h"
#include "platform/Dpi.h"
#include "platform/MessageBox.h"
#include "platform/NewerWindows.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace lapforge {

WindowBase::~WindowBase() {
    if (hwnd_) {
        platform::ForgetWindowObject(hwnd_);
        DestroyWindow(hwnd_);
    }
}

void WindowBase::CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                                const WindowLayout& layout, HWND owner) {
    // A class that cannot be registered shows as a window that cannot be created.
    platform::RegisterWindowClass(className, WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    layout_ = layout;
    POINT at{CW_USEDEFAULT, CW_USEDEFAULT};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (owner && GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
        at = POINT{monitor.rcWork.left, monitor.rcWork.top};
    CreateWindowExW(exStyle, className, caption, style, at.x, at.y, 100, 100, owner, nullptr, GetModuleHandleW(nullptr),
                    this);
    if (!hwnd_) throw std::runtime_error("could not create the window");
    // Title bar, taskbar and Alt+Tab: the sizes the system uses, drawn for each size.
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const HANDLE icon =
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ProgramIconId), IMAGE_ICON, size, size, LR_SHARED);
        if (icon) SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    SizeClientArea(platform::DpiForWindow(hwnd_));
}

void WindowBase::SizeClientArea(UINT dpi, const RECT* suggested) {
    RECT frame{0, 0, platform::TwipsToPixels(layout_.clientWidth, dpi),
               platform::TwipsToPixels(layout_.clientHeight, dpi)};
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
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                               : MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY),
                         &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const platform::PixelRect place = platform::CentredOn({work.left, work.top, work.right, work.bottom},
                                                          window.right - window.left, window.bottom - window.top);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::CentreOnOwner() {
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    RECT over{}, window{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!owner || !GetWindowRect(owner, &over) ||
        !GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor))
        return CentreOnScreen();
    GetWindowRect(hwnd_, &window);
    const RECT& work = monitor.rcWork;
    const platform::PixelRect place = platform::CentredOver({over.left, over.top, over.right, over.bottom},
                                                            {work.left, work.top, work.right, work.bottom},
                                                            window.right - window.left, window.bottom - window.top);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::ChangeLayout(const WindowLayout& layout) {
    layout_ = layout;
    SizeClientArea(dpi_);
    ApplyLayout(dpi_);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND WindowBase::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, DWORD exStyle) {
    HWND control =
        CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("could not create a control of the window");
    return control;
}

RECT WindowBase::ControlRect(int id) const {
    const auto placement = std::find_if(layout_.controls.begin(), layout_.controls.end(),
                                        [id](const ControlPlacement& p) { return p.id == id; });
    if (placement == layout_.controls.end()) return RECT{};
    const ControlPlacement& p = *placement;
    return platform::TwipsRect(p.left, p.top, p.width, p.height, platform::DpiForWindow(hwnd_));
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
    if (chrome > 0 && height > chrome) SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - chrome);
}

}  // namespace

void WindowBase::ApplyLayout(UINT dpi) {
    dpi_ = dpi;
    platform::GdiObject<HFONT> font(platform::CreateMessageFont(dpi));
    for (const ControlPlacement& p : layout_.controls) {
        HWND control = GetDlgItem(hwnd_, p.id);
        if (!control) continue;
        const RECT r = platform::TwipsRect(p.left, p.top, p.width, p.height, dpi);
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        // After the font, which sets the field's own height.
        if (IsDropDown(control)) FitDropDown(control, r);
    }
    font_ = std::move(font);  // the controls no longer use the one it replaces
    OnLayoutApplied();
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT answer = OnMessage(message, wParam, lParam, handled);
    if (handled) return answer;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        ApplyLayout(platform::DpiForWindow(hwnd_));
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DPICHANGED:
        // Moved to a monitor with another scale: the system suggests the window's new place.
        SizeClientArea(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        ApplyLayout(HIWORD(wParam));
        // Moved controls leave their old pixels behind (the frame and the labels draw no
        // background of their own), so the whole window is painted anew.
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return 0;
    case WM_CLOSE:
        if (OnClose()) return 0;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_ENABLE:
        OnEnable(wParam != FALSE);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        break;
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
    auto* self = platform::WindowObject<WindowBase>(hwnd, message, lParam);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    try {
        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            platform::ForgetWindowObject(hwnd);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (const std::exception& failure) {
        platform::ReportUnhandledFailure(UnhandledFailureText(failure.what()));
    } catch (...) {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        platform::ReportUnhandledFailure(UnhandledFailureText(UndescribedFailure(
            "the window \"" + win32::Narrow(name) + "\" (message " + std::to_string(message) + ")")));
    }
}

}  // namespace lapforge

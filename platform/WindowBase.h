#pragma once

#include "platform/LayoutModel.h"
#include "platform/Win32.h"

#include <windows.h>

namespace lapforge {

// The program's icon: the first icon resource of the executable, which Explorer shows too.
inline constexpr int ProgramIconId = 1;

// The plumbing every top-level window of the program shares: the object lives in the window
// (GWLP_USERDATA), one dispatcher hands its messages to the form's handlers, the layout table
// places the controls at creation and at every change of DPI, and a failure that escapes a handler
// is reported and ends the program instead of unwinding through the system.
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND Handle() const { return hwnd_; }

protected:
    // Registers the class on first use and creates the window hidden, sized so that its client area
    // is the layout's size in twips at the window's DPI, with its controls placed. An owned window
    // is created on its owner's monitor, so that it takes that monitor's DPI from the start.
    void CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                        const WindowLayout& layout, HWND owner = nullptr);

    // Creates the controls, in tab order; the layout places them afterwards.
    virtual void OnCreate() = 0;
    // A control's WM_COMMAND: its id and notification code.
    virtual void OnCommand(int id, int code) = 0;
    virtual void OnDestroy() {}
    // The close box or Alt+F4 asked the window to close; true when the form has handled it, false to
    // let the window close. (The end of a Windows session comes as WM_ENDSESSION, to OnMessage.)
    virtual bool OnClose() { return false; }
    // Any other message, before the plumbing sees it; set `handled` to answer it.
    virtual LRESULT OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
        handled = false;
        return 0;
    }
    // After every layout: where a text must fit its control, the form fits its font here.
    virtual void OnLayoutApplied() {}
    // A timer of the window's (SetTimer with the window's handle) is due.
    virtual void OnTimer(UINT_PTR /*id*/) {}
    // The window was enabled or disabled, as when a modal window of its own opens or goes.
    virtual void OnEnable(bool /*enabled*/) {}

    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0);
    // Where the layout table puts the control at the window's DPI, in pixels.
    RECT ControlRect(int id) const;
    // Centres the window on the work area of its owner's monitor, or of its own when it has no owner.
    void CentreOnScreen();
    // Centres the window over its owner, on the owner's monitor.
    void CentreOnOwner();
    // Takes another layout while the window is open, as when a text needs more room than the table
    // gives it: the client area grows or shrinks downwards, and the controls are placed anew. The
    // layout's controls must outlive its use.
    void ChangeLayout(const WindowLayout& layout);
    // The DPI the controls were last placed at.
    UINT LayoutDpi() const { return dpi_; }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Places every control from the layout table at the given DPI and gives them its message font; a
    // drop-down's table height is that of its closed field.
    void ApplyLayout(UINT dpi);
    // Resizes the window to the client size in twips, keeping its top-left corner.
    void SizeClientArea(UINT dpi, const RECT* suggested = nullptr);

    WindowLayout layout_{};
    UINT dpi_ = 96;
    platform::GdiObject<HFONT> font_;
    HWND lastFocus_ = nullptr;
};

}  // namespace lapforge

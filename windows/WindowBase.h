#pragma once

#include <windows.h>

#include <string>

namespace lapforge {

// One control of a window: where the layout table puts it, in twips of client coordinates.
struct ControlPlacement {
    int id;
    int left;
    int top;
    int width;
    int height;
};

// The plumbing every top-level window of the program shares: the object lives in the window
// (GWLP_USERDATA), one virtual dispatcher handles its messages, and a failure that escapes a
// handler is reported and ends the program instead of unwinding through the system.
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND Handle() const { return hwnd_; }

protected:
    // Registers the class on first use and creates the window hidden, sized so that its client area
    // is the given size in twips at the window's DPI.
    void CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle,
                        int clientWidthTwips, int clientHeightTwips);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0);
    // Places every control from the layout table at the given DPI and gives them its message font; a
    // drop-down's table height is that of its closed field.
    void ApplyLayout(const ControlPlacement* placements, std::size_t count, UINT dpi);
    // Resizes the window to the client size in twips, keeping its top-left corner.
    void SizeClientArea(UINT dpi, const RECT* suggested = nullptr);
    void CentreOnScreen();

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int clientWidthTwips_ = 0;
    int clientHeightTwips_ = 0;
    HFONT font_ = nullptr;
    HWND lastFocus_ = nullptr;
};

}  // namespace lapforge

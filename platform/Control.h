#pragma once

#include <windows.h>

#include <string>

namespace lapforge::platform {

// A control's own text, whatever its length, and the font it draws with.
std::wstring ControlText(HWND control);
HGDIOBJ ControlFont(HWND control);

// Opens a drop-down list wide enough for its widest item in its font, never narrower than its field.
void FitDroppedWidth(HWND comboBox);

// Registers a window class of the program's own on first use; later calls find it registered.
// False, with the system's error code set, when it cannot.
bool RegisterWindowClass(const wchar_t* className, WNDPROC procedure, HBRUSH background);

// The object that lives in a window: taken from CreateWindowEx's last argument at WM_NCCREATE and
// kept in GWLP_USERDATA. Null before that and once ForgetWindowObject has run.
template <typename T>
T* WindowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

inline void ForgetWindowObject(HWND window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

// Every control of the program's own is one of these: an object that the window creates and keeps
// as a member, and that owns its control window (destroyed with the object, unless the parent took
// it first). The control's messages come to HandleMessage behind the failure barrier, so a failure
// in one reaches the unhandled-failure report.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return hwnd_; }

protected:
    Control() = default;

    // A window of a class of the program's own, registered on first use. Throws Failure naming
    // `what` when the control cannot be created.
    void CreateOwnClass(const wchar_t* className, HBRUSH background, DWORD exStyle, DWORD style, HWND parent, int id,
                        const RECT& rect, const char* what);
    // A system control (a drop-down) whose messages come here before its own procedure has them.
    void CreateSubclassed(const wchar_t* className, DWORD exStyle, DWORD style, HWND parent, int id, const RECT& rect,
                          const char* what);

    // Passes the message on unless the control handles it.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What the window would do without this object: its class's own procedure, or the default one.
    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends the parent WM_COMMAND with the control's id and the code; returns once it is handled.
    void NotifyParent(WORD code);

private:
    static LRESULT CALLBACK OwnClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    int id_ = 0;
    const char* what_ = "control";  // its name in a failure report
    bool subclassed_ = false;
};

// The messages of an Enter key press, for a control that acts on Enter itself inside a window whose
// dialog handling would otherwise take the key.
enum class EnterKey {
    None,     // another message
    Asked,    // WM_GETDLGCODE for Enter
    Pressed,  // WM_KEYDOWN
    Typed,    // its WM_CHAR
};

inline EnterKey EnterKeyMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (message == WM_GETDLGCODE && key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
        return EnterKey::Asked;
    if (message == WM_KEYDOWN && wParam == VK_RETURN) return EnterKey::Pressed;
    if (message == WM_CHAR && wParam == '\r') return EnterKey::Typed;
    return EnterKey::None;
}

// Asks for the key, calls onEnter when it is pressed and swallows its character, so that it does
// not beep; `passOn` gives any other message to the control's own procedure.
template <typename PassOnFn, typename OnEnterFn>
LRESULT TakeEnterKey(EnterKey key, PassOnFn passOn, OnEnterFn onEnter) {
    switch (key) {
    case EnterKey::Asked:
        return passOn() | DLGC_WANTMESSAGE;
    case EnterKey::Pressed:
        onEnter();
        return 0;
    case EnterKey::Typed:
        return 0;
    case EnterKey::None:
        break;
    }
    return passOn();
}

}  // namespace lapforge::platform

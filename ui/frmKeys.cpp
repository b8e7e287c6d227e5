#include "ui/frmKeys.h"

#include "core/Controller.h"
#include "core/JoystickReprobe.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Win32.h"

namespace lapforge {

namespace {

enum ControlId {
    lblNextCaption = 100,
    lblNext,
    cmdChangeNext,
    lblPreviousCaption,
    lblPrevious,
    cmdChangePrevious,
    lblPrompt,
    lblControllers,
    cmdOK,
    cmdCancel,
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {lblNextCaption, 240, 300, 1635, 255},
    {lblNext, 1935, 300, 2220, 255},
    {cmdChangeNext, 4215, 240, 945, 375},
    {lblPreviousCaption, 240, 780, 1635, 255},
    {lblPrevious, 1935, 780, 2220, 255},
    {cmdChangePrevious, 4215, 720, 945, 375},
    {lblPrompt, 240, 1260, 4920, 735},
    {lblControllers, 240, 2100, 4920, 495},
    {cmdOK, 3015, 2700, 1020, 375},
    {cmdCancel, 4140, 2700, 1020, 375},
};
// clang-format on
constexpr WindowLayout Layout{5400, 3195, LayoutTable};

constexpr UINT_PTR ChangeTimer = 1;
// A press is held for a tenth of a second at the least; this sees it.
constexpr UINT ChangeMilliseconds = 20;

constexpr wchar_t Hint[] =
    L"A key or a button on a wheel, button box or joystick. A press with Alt, Ctrl, Shift or the "
    L"Windows key held does not count; holding moves one section.";
constexpr wchar_t Prompt[] = L"Press a key or a button on your wheel\u2026 (Esc cancels)";

std::uint64_t Now() { return GetTickCount64(); }

bool NothingDown(const InputSnapshot& snapshot) {
    if (snapshot.keys.count() != 0) return false;
    for (const auto& buttons : snapshot.buttons)
        if (buttons.value_or(0) != 0) return false;
    return true;
}

}  // namespace

frmKeys::frmKeys(Controller& controller) : controller_(controller), bindings_(controller.HotkeyBindings) {}

void frmKeys::ShowModal(HWND owner) {
    CreateTopLevel(L"frmKeys", L"Keys", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, Layout, owner);
    CentreOnScreen();
    platform::RunModal(hwnd_, GetDlgItem(hwnd_, cmdChangeNext));
}

void frmKeys::OnCreate() {
    // Created in tab order.
    AddControl(L"BUTTON", L"Change", WS_TABSTOP | BS_PUSHBUTTON, cmdChangeNext);
    AddControl(L"BUTTON", L"Change", WS_TABSTOP | BS_PUSHBUTTON, cmdChangePrevious);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, cmdOK);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
    AddControl(L"STATIC", L"Next section:", SS_LEFT | SS_NOPREFIX, lblNextCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblNext);
    AddControl(L"STATIC", L"Previous section:", SS_LEFT | SS_NOPREFIX, lblPreviousCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblPrevious);
    AddControl(L"STATIC", Hint, SS_LEFT | SS_NOPREFIX, lblPrompt);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblControllers);
    ShowBindings();
    ShowControllers();
}

void frmKeys::OnCommand(int id, int code) {
    switch (id) {
    case cmdChangeNext:
        if (code == BN_CLICKED) cmdChangeNext_Click();
        break;
    case cmdChangePrevious:
        if (code == BN_CLICKED) cmdChangePrevious_Click();
        break;
    case cmdOK:
        if (code == BN_CLICKED) cmdOK_Click();
        break;
    case cmdCancel:
        if (code == BN_CLICKED) cmdCancel_Click();
        break;
    case IDCANCEL:  // Esc, as the dialog keys hand it on
        Escape_Press();
        break;
    }
}

void frmKeys::OnTimer(UINT_PTR id) {
    if (id != ChangeTimer) return;
    // While a change waits, a controller plugged in is found too, without asking absent ones often.
    if (change_ != Change::None && Now() - joysticksAsked_ >= JoystickReprobe::IntervalMilliseconds)
        ShowControllers();
    const InputSnapshot now = platform::TakeSnapshot(joysticks_);
    if (change_ != Change::None) {
        if (const auto taken = NewPress(before_, now)) {
            (change_ == Change::Next ? bindings_.next : bindings_.previous) = *taken;
            ShowBindings();
            EndChange();
        }
    } else if (settling_ && NothingDown(now)) {
        settling_ = false;
        KillTimer(hwnd_, ChangeTimer);
        EnableButtons(true);
        SetFocus(GetDlgItem(hwnd_, changed_));
        SetDlgItemTextW(hwnd_, lblPrompt, Hint);
    }
    before_ = now;
}

bool frmKeys::OnClose() {
    cmdCancel_Click();
    return true;
}

void frmKeys::cmdChangeNext_Click() { BeginChange(Change::Next); }

void frmKeys::cmdChangePrevious_Click() { BeginChange(Change::Previous); }

void frmKeys::cmdOK_Click() {
    controller_.HotkeyBindings = bindings_;
    try {
        controller_.SaveSettings();
    } catch (const SettingsNotSaved& failure) {
        platform::ShowErrorMessage(hwnd_, std::string(failure.what()));  // the new keys hold for this run
    }
    platform::EndModal(hwnd_);
}

void frmKeys::cmdCancel_Click() { platform::EndModal(hwnd_); }

void frmKeys::Escape_Press() {
    if (settling_) return;  // Esc held on from a cancelled change repeats
    if (change_ == Change::None) return cmdCancel_Click();
    ShowBindings();
    EndChange();
}

void frmKeys::BeginChange(Change change) {
    change_ = change;
    // The key that clicked Change is still down: only a press from here on is taken.
    before_ = platform::TakeSnapshot(joysticks_);
    // The keys go to the window itself, where none of them clicks a button.
    SetFocus(hwnd_);
    EnableButtons(false);
    SetDlgItemTextW(hwnd_, change == Change::Next ? lblNext : lblPrevious, L"\u2026");
    SetDlgItemTextW(hwnd_, lblPrompt, Prompt);
    SetTimer(hwnd_, ChangeTimer, ChangeMilliseconds, nullptr);
}

void frmKeys::EndChange() {
    changed_ = change_ == Change::Next ? cmdChangeNext : cmdChangePrevious;
    change_ = Change::None;
    settling_ = true;
}

void frmKeys::EnableButtons(bool enabled) {
    for (const int id : {cmdChangeNext, cmdChangePrevious, cmdOK, cmdCancel})
        EnableWindow(GetDlgItem(hwnd_, id), enabled ? TRUE : FALSE);
}

void frmKeys::ShowBindings() {
    const auto show = [&](int label, const Binding& binding) {
        const std::string name = BindingName(binding, platform::KeyName(binding.key));
        SetDlgItemTextW(hwnd_, label, platform::Widen(name).c_str());
    };
    show(lblNext, bindings_.next);
    show(lblPrevious, bindings_.previous);
}

void frmKeys::ShowControllers() {
    joysticks_ = platform::ConnectedJoysticks();
    joysticksAsked_ = Now();
    std::wstring text;
    if (joysticks_.empty()) {
        text = L"No controller connected. Plug in your wheel or button box to bind one of its buttons.";
    } else {
        for (const platform::ConnectedJoystick& c : joysticks_) {
            text += text.empty() ? L"Connected: " : L"; ";
            text += L"controller " + std::to_wstring(c.id + 1);
            if (!c.name.empty()) text += L" (" + c.name + L")";
        }
    }
    SetDlgItemTextW(hwnd_, lblControllers, text.c_str());
}

}  // namespace lapforge

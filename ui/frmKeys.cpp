#include "ui/frmKeys.h"

#include "core/Controller.h"
#include "core/Messages.h"
#include "platform/InputState.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Win32.h"

#include <algorithm>

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
    cmdClearPrevious,
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {lblNextCaption, 240, 300, 1635, 255},
    {lblNext, 1935, 300, 3120, 255},
    {cmdChangeNext, 5115, 240, 945, 375},
    {lblPreviousCaption, 240, 780, 1635, 255},
    {lblPrevious, 1935, 780, 3120, 255},
    {cmdChangePrevious, 5115, 720, 945, 375},
    {cmdClearPrevious, 6135, 720, 945, 375},
    {lblPrompt, 240, 1260, 6840, 495},
    {lblControllers, 240, 1860, 6840, 735},
    {cmdOK, 4935, 2700, 1020, 375},
    {cmdCancel, 6060, 2700, 1020, 375},
};
// clang-format on
constexpr WindowLayout Layout{7320, 3195, LayoutTable};

constexpr UINT_PTR ChangeTimer = 1;
// A press is held for a tenth of a second at the least; this sees it.
constexpr UINT ChangeMilliseconds = 20;
constexpr UINT_PTR ListTimer = 2;

void SetText(HWND window, int id, std::string_view text) {
    SetDlgItemTextW(window, id, platform::Widen(text).c_str());
}

}  // namespace

frmKeys::frmKeys(Controller& controller) : controller_(controller), bindings_(controller.HotkeyBindings) {
    // Listed anew on opening: where Windows sends no notice, opening the window again finds a
    // controller plugged in meanwhile. An old line's joystick gets its name from the one answering
    // under its id now.
    platform::JoysticksChanged();
    AdoptIdentities(bindings_, platform::Joysticks());
}

void frmKeys::ShowModal(HWND owner) {
    CreateTopLevel(L"frmKeys", L"Keys", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, Layout, owner);
    CentreOnScreen();
    platform::RunModal(hwnd_, GetDlgItem(hwnd_, cmdChangeNext));
}

void frmKeys::OnCreate() {
    // Created in tab order.
    AddControl(L"BUTTON", L"Change", WS_TABSTOP | BS_PUSHBUTTON, cmdChangeNext);
    AddControl(L"BUTTON", L"Change", WS_TABSTOP | BS_PUSHBUTTON, cmdChangePrevious);
    AddControl(L"BUTTON", L"Clear", WS_TABSTOP | BS_PUSHBUTTON, cmdClearPrevious);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, cmdOK);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
    AddControl(L"STATIC", L"Next section:", SS_LEFT | SS_NOPREFIX, lblNextCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblNext);
    AddControl(L"STATIC", L"Previous section:", SS_LEFT | SS_NOPREFIX, lblPreviousCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblPrevious);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblPrompt);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblControllers);
    SetText(hwnd_, lblPrompt, KeysHint);
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
    case cmdClearPrevious:
        if (code == BN_CLICKED) cmdClearPrevious_Click();
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

LRESULT frmKeys::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
    switch (message) {
    case DM_GETDEFID:
        // Enter clicks OK, except while a change waits: then Enter is a key to be taken.
        handled = true;
        return change_ == Change::None ? MAKELRESULT(cmdOK, DC_HASDEFID) : 0;
    case WM_DEVICECHANGE:
        reprobe_.Notice(platform::Milliseconds());
        ListWhenDue();
        handled = true;
        return TRUE;
    }
    return 0;
}

void frmKeys::OnTimer(UINT_PTR id) {
    if (id == ListTimer) return ListWhenDue();
    if (id != ChangeTimer) return;
    if (change_ != Change::None) return LookForPress();
    if (settleKey_ != 0 && !platform::IsKeyDown(settleKey_)) Settled();
}

bool frmKeys::OnClose() {
    cmdCancel_Click();
    return true;
}

void frmKeys::cmdChangeNext_Click() { BeginChange(Change::Next); }

void frmKeys::cmdChangePrevious_Click() { BeginChange(Change::Previous); }

void frmKeys::cmdClearPrevious_Click() {
    bindings_.previous = Binding{};
    ShowBindings();
}

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
    if (settleKey_ != 0) return;  // Esc held on from a cancelled change repeats
    if (change_ == Change::None) return cmdCancel_Click();
    ShowBindings();
    SetText(hwnd_, lblPrompt, KeysHint);
    EndChange(VK_ESCAPE);
}

void frmKeys::BeginChange(Change change) {
    change_ = change;
    // The key that clicked Change, and anything held, is down now: only a press from here on counts.
    capture_.Begin(platform::TakeSnapshot());
    // The keys go to the window itself, where none of them clicks a button.
    SetFocus(hwnd_);
    EnableButtons(false);
    SetDlgItemTextW(hwnd_, change == Change::Next ? lblNext : lblPrevious, L"\u2026");
    SetText(hwnd_, lblPrompt, KeysPrompt);
    SetTimer(hwnd_, ChangeTimer, ChangeMilliseconds, nullptr);
}

void frmKeys::LookForPress() {
    const InputSnapshot now = platform::TakeSnapshot();
    reprobe_.Looked(now.silent, platform::Milliseconds());
    ListWhenDue();
    const bool next = change_ == Change::Next;
    const Binding& other = next ? bindings_.previous : bindings_.next;
    const BindingCapture::Result result = capture_.Look(now, platform::Joysticks(), other);
    const std::string name = BindingName(result.binding, platform::KeyName(result.binding.key));
    switch (result.outcome) {
    case BindingCapture::Outcome::Waiting:
        return;
    case BindingCapture::Outcome::Refused:
        SetText(hwnd_, lblPrompt, InputHeldByOtherText(name, !next));
        return;
    case BindingCapture::Outcome::Taken:
        (next ? bindings_.next : bindings_.previous) = result.binding;
        ShowBindings();
        SetText(hwnd_, lblPrompt, KeysHint);
        EndChange(result.binding.kind == Binding::Kind::Key ? result.binding.key : 0);
        return;
    }
}

void frmKeys::EndChange(int endingKey) {
    changed_ = change_ == Change::Next ? cmdChangeNext : cmdChangePrevious;
    change_ = Change::None;
    settleKey_ = endingKey;
    if (settleKey_ == 0) Settled();  // a joystick's button clicks nothing
}

void frmKeys::Settled() {
    settleKey_ = 0;
    KillTimer(hwnd_, ChangeTimer);
    EnableButtons(true);
    SetFocus(GetDlgItem(hwnd_, changed_));
}

void frmKeys::EnableButtons(bool enabled) {
    for (const int id : {cmdChangeNext, cmdChangePrevious, cmdClearPrevious, cmdOK, cmdCancel})
        EnableWindow(GetDlgItem(hwnd_, id), enabled ? TRUE : FALSE);
}

void frmKeys::ShowBindings() {
    const auto show = [&](int label, const Binding& binding) {
        SetText(hwnd_, label, BindingName(binding, platform::KeyName(binding.key)));
    };
    show(lblNext, bindings_.next);
    show(lblPrevious, bindings_.previous);
}

void frmKeys::ListWhenDue() {
    const std::uint64_t now = platform::Milliseconds();
    if (reprobe_.Due(now)) {
        platform::JoysticksChanged();
        reprobe_.Listed(now);
        ShowControllers();
    }
    if (const std::optional<std::uint64_t> wait = reprobe_.NoticeWaitMilliseconds(now))
        SetTimer(hwnd_, ListTimer, static_cast<UINT>(std::max<std::uint64_t>(*wait, USER_TIMER_MINIMUM)), nullptr);
    else
        KillTimer(hwnd_, ListTimer);
}

void frmKeys::ShowControllers() {
    SetText(hwnd_, lblControllers, ConnectedJoysticksText(platform::Joysticks()));
}

}  // namespace lapforge

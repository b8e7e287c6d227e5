#include "ui/frmKeys.h"

#include "core/Controller.h"
#include "core/Messages.h"
#include "platform/InputState.h"
#include "platform/ListView.h"
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
    lblJumpCaption,
    lvJumps,
    cmdChangeJump,
    cmdClearJump,
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
    {lblPrompt, 240, 4500, 6840, 495},
    {lblControllers, 240, 5100, 6840, 735},
    {cmdOK, 4935, 5940, 1020, 375},
    {cmdCancel, 6060, 5940, 1020, 375},
    {lblJumpCaption, 240, 1260, 6840, 255},
    {lvJumps, 240, 1500, 6840, 2415},
    {cmdChangeJump, 5115, 4020, 945, 375},
    {cmdClearJump, 6135, 4020, 945, 375},
};
// clang-format on
constexpr WindowLayout Layout{7320, 6435, LayoutTable};

constexpr platform::ListColumn Columns[] = {{L"Place", 3600}, {L"Key or button", 0}};

constexpr UINT_PTR ChangeTimer = 1;
// A press is held for a tenth of a second at the least; this sees it.
constexpr UINT ChangeMilliseconds = 20;
constexpr UINT_PTR ListTimer = 2;

void SetText(HWND window, int id, std::string_view text) {
    SetDlgItemTextW(window, id, platform::Widen(text).c_str());
}

std::wstring Named(const Binding& binding) {
    return platform::Widen(BindingName(binding, platform::KeyName(binding.key)));
}

}  // namespace

frmKeys::frmKeys(Controller& controller, JoystickReprobe& reprobe)
    : controller_(controller),
      bindings_(controller.HotkeyBindings),
      stops_(controller.ListedStops()),
      reprobe_(reprobe) {
    // Listed anew on opening: where Windows sends no notice, opening the window again finds a
    // controller plugged in meanwhile. An old line's joystick gets its name from the one answering
    // under its id now.
    platform::JoysticksChanged();
    reprobe_.Listed(platform::Milliseconds());
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
    HWND list = AddControl(platform::ListViewClass, L"", platform::ListViewStyle, lvJumps, WS_EX_CLIENTEDGE);
    platform::AddListColumns(list, Columns);
    AddControl(L"BUTTON", L"Change", WS_TABSTOP | BS_PUSHBUTTON, cmdChangeJump);
    AddControl(L"BUTTON", L"Clear", WS_TABSTOP | BS_PUSHBUTTON, cmdClearJump);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, cmdOK);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
    AddControl(L"STATIC", L"Next section:", SS_LEFT | SS_NOPREFIX, lblNextCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblNext);
    AddControl(L"STATIC", L"Previous section:", SS_LEFT | SS_NOPREFIX, lblPreviousCaption);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, lblPrevious);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblPrompt);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblControllers);
    AddControl(L"STATIC", L"Jump straight to a place: pick it in the list, then click Change.", SS_LEFT | SS_NOPREFIX,
               lblJumpCaption);
    SetText(hwnd_, lblPrompt, KeysHint);
    std::vector<std::vector<std::wstring>> rows;
    for (const Stop& stop : stops_)
        rows.push_back({(stop.ownPoint ? std::wstring(OwnPointMark) : std::wstring()) +
                            platform::Widen(controller_.StopName(stop)),
                        std::wstring()});
    platform::SetListRows(list, rows);
    // The place GPL starts at is the one a driver most likely binds.
    const std::optional<Stop> onDisk = controller_.StopOnDisk();
    const auto at = onDisk ? std::find(stops_.begin(), stops_.end(), *onDisk) : stops_.end();
    if (!stops_.empty())
        platform::SelectListRow(list, at == stops_.end() ? 0 : static_cast<std::size_t>(at - stops_.begin()));
    ShowBindings();
    ShowControllers();
    lvJumps_Change();
}

void frmKeys::OnLayoutApplied() { platform::SizeListColumns(GetDlgItem(hwnd_, lvJumps), Columns, LayoutDpi()); }

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
    case cmdChangeJump:
        if (code == BN_CLICKED) cmdChangeJump_Click();
        break;
    case cmdClearJump:
        if (code == BN_CLICKED) cmdClearJump_Click();
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

LRESULT frmKeys::OnMessage(UINT message, WPARAM, LPARAM lParam, bool& handled) {
    switch (message) {
    case DM_GETDEFID:
        // Enter clicks OK, except while a change waits: then Enter is a key to be taken.
        handled = true;
        return !change_ ? MAKELRESULT(cmdOK, DC_HASDEFID) : 0;
    case WM_NOTIFY: {
        const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
        if (notice.idFrom != lvJumps) return 0;
        if (notice.code == LVN_ITEMCHANGED) lvJumps_Change();
        // A double-click changes the place's binding, as Change does.
        if (notice.code == NM_DBLCLK && !change_ && SelectedStop()) cmdChangeJump_Click();
        return 0;
    }
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
    if (change_) return LookForPress();
    if (settleKey_ != 0 && !platform::IsKeyDown(settleKey_)) Settled();
}

bool frmKeys::OnClose() {
    cmdCancel_Click();
    return true;
}

void frmKeys::cmdChangeNext_Click() { BeginChange(BindingSlot{BindingUse::Role::Next, {}}, cmdChangeNext); }

void frmKeys::cmdChangePrevious_Click() { BeginChange(BindingSlot{BindingUse::Role::Previous, {}}, cmdChangePrevious); }

void frmKeys::cmdClearPrevious_Click() {
    bindings_.previous = Binding{};
    ShowBindings();
}

void frmKeys::cmdChangeJump_Click() {
    if (const std::optional<Stop> stop = SelectedStop()) BeginChange(JumpSlot(*stop), cmdChangeJump);
}

void frmKeys::cmdClearJump_Click() {
    if (const std::optional<Stop> stop = SelectedStop()) SetJump(bindings_, *stop, Binding{});
    ShowBindings();
}

void frmKeys::lvJumps_Change() {
    const BOOL selected = SelectedStop() && !change_ ? TRUE : FALSE;
    EnableWindow(GetDlgItem(hwnd_, cmdChangeJump), selected);
    EnableWindow(GetDlgItem(hwnd_, cmdClearJump), selected);
}

void frmKeys::cmdOK_Click() {
    try {
        controller_.SetBindings(bindings_);
    } catch (const SettingsNotSaved& failure) {
        platform::ShowErrorMessage(hwnd_, std::string(failure.what()));  // the new keys hold for this run
    }
    platform::EndModal(hwnd_);
}

void frmKeys::cmdCancel_Click() { platform::EndModal(hwnd_); }

void frmKeys::Escape_Press() {
    if (settleKey_ != 0) return;  // Esc held on from a cancelled change repeats
    if (!change_) return cmdCancel_Click();
    ShowBindings();
    SetText(hwnd_, lblPrompt, KeysHint);
    EndChange(VK_ESCAPE);
}

void frmKeys::BeginChange(const BindingSlot& slot, int button) {
    change_ = slot;
    changed_ = button;
    // The key that clicked Change, and anything held, is down now: only a press from here on counts.
    capture_.Begin(platform::TakeSnapshot());
    // The keys go to the window itself, where none of them clicks a button.
    SetFocus(hwnd_);
    EnableButtons(false);
    switch (slot.role) {
    case BindingUse::Role::Next:
        SetDlgItemTextW(hwnd_, lblNext, L"\u2026");
        break;
    case BindingUse::Role::Previous:
        SetDlgItemTextW(hwnd_, lblPrevious, L"\u2026");
        break;
    case BindingUse::Role::Jump:
        if (const auto row = platform::SelectedListRow(GetDlgItem(hwnd_, lvJumps)))
            platform::SetListCell(GetDlgItem(hwnd_, lvJumps), *row, 1, L"\u2026");
        break;
    }
    SetText(hwnd_, lblPrompt, KeysPrompt);
    SetTimer(hwnd_, ChangeTimer, ChangeMilliseconds, nullptr);
}

void frmKeys::LookForPress() {
    const InputSnapshot now = platform::TakeSnapshot();
    reprobe_.Looked(now.silent, platform::Milliseconds());
    ListWhenDue();
    const BindingCapture::Result result = capture_.Look(now, platform::Joysticks(), bindings_, *change_);
    const std::string name = BindingName(result.binding, platform::KeyName(result.binding.key));
    switch (result.outcome) {
    case BindingCapture::Outcome::Waiting:
        return;
    case BindingCapture::Outcome::Refused:
        if (result.heldBy)
            SetText(hwnd_, lblPrompt,
                    InputInUseText(name, result.heldBy->role, controller_.StopName(result.heldBy->target)));
        return;
    case BindingCapture::Outcome::Taken:
        SetSlot(bindings_, *change_, result.binding);
        ShowBindings();
        SetText(hwnd_, lblPrompt, KeysHint);
        EndChange(result.binding.kind == Binding::Kind::Key ? result.binding.key : 0);
        return;
    }
}

void frmKeys::EndChange(int endingKey) {
    change_.reset();
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
    for (const int id : {cmdChangeNext, cmdChangePrevious, cmdClearPrevious, lvJumps, cmdOK, cmdCancel})
        EnableWindow(GetDlgItem(hwnd_, id), enabled ? TRUE : FALSE);
    lvJumps_Change();
}

void frmKeys::ShowBindings() {
    SetDlgItemTextW(hwnd_, lblNext, Named(bindings_.next).c_str());
    SetDlgItemTextW(hwnd_, lblPrevious, Named(bindings_.previous).c_str());
    const HWND list = GetDlgItem(hwnd_, lvJumps);
    for (std::size_t row = 0; row < stops_.size(); ++row)
        platform::SetListCell(list, row, 1, Named(JumpBinding(bindings_, stops_[row])));
}

std::optional<Stop> frmKeys::SelectedStop() const {
    const std::optional<std::size_t> row = platform::SelectedListRow(GetDlgItem(hwnd_, lvJumps));
    if (!row || *row >= stops_.size()) return std::nullopt;
    return stops_[*row];
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

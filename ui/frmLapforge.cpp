#include "ui/frmLapforge.h"

#include "core/DataFiles.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Messages.h"
#include "core/SectionTable.h"
#include "platform/Documents.h"
#include "platform/Launch.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Process.h"
#include "platform/Sound.h"
#include "platform/Win32.h"
#include "ui/frmGPLPfad.h"
#include "ui/frmKeys.h"
#include "ui/resource.h"

#include <commctrl.h>

#include <optional>

namespace lapforge {

namespace {

enum ControlId {
    fraRahmen1 = 100,
    Label3,
    Sectionselection,
    Label1,
    Label2,
    picKarte,
    picBlick,
    cmdLosgehts,
    cmdHilfe,
    chkHotkeyUndAudio,
    cmdBeenden,
    cmdKeys,
    lblGPLFolder,
    cmdChangeFolder,
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {fraRahmen1, 120, 0, 5775, 5895},
    {Label3, 240, 240, 5535, 255},
    {Sectionselection, 240, 480, 5535, 315},
    {Label1, 240, 960, 2295, 255},
    {Label2, 2640, 960, 3135, 255},
    {picKarte, 240, 1200, 2295, 3495},
    {picBlick, 2640, 1200, 3135, 2295},
    {cmdLosgehts, 2640, 3600, 3135, 495},
    {cmdHilfe, 2640, 4200, 3135, 495},
    {chkHotkeyUndAudio, 240, 4800, 1635, 495},
    {cmdBeenden, 2640, 4800, 3135, 495},
    {cmdKeys, 1935, 4860, 600, 375},
    {lblGPLFolder, 240, 5460, 4335, 255},
    {cmdChangeFolder, 4695, 5400, 1080, 375},
};
// clang-format on
constexpr WindowLayout Layout{6015, 6015, LayoutTable};

// Armed, without the simulator: has one started? One started elsewhere is found within about a
// second; one look at the process list a second costs next to nothing. While it runs, the poll
// looks as often whether it still does.
constexpr UINT_PTR LookTimer = 1;
constexpr UINT LookMilliseconds = 1000;
// The bindings, while the simulator runs: often enough to see every press at once, seldom enough
// to cost no processor time to speak of.
constexpr DWORD PollMilliseconds = 10;

std::wstring Widen(std::string_view text) { return platform::Widen(text); }

static_assert(DefaultErrorModeFlag == CREATE_DEFAULT_ERROR_MODE);
static_assert(IDI_LAPFORGE == ProgramIconId);

StartOutcome ToOutcome(const platform::LaunchResult& result) {
    return StartOutcome{result.processId, result.errorCode, result.error};
}

}  // namespace

frmLapforge::frmLapforge() = default;
frmLapforge::~frmLapforge() = default;

void frmLapforge::Create() {
    CreateTopLevel(L"frmLapforge", L"Lapforge", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, Layout);
    CentreOnScreen();
}

void frmLapforge::Load() {
    const std::optional<std::string> appFolder = platform::ApplicationFolder();
    if (!appFolder) return QuitProgram(1);
    // Started alone (from inside the zip): no settings file may be left in a temporary folder.
    if (NoDataFilesBeside(*appFolder, FileOpensForReading)) {
        ShowErrorMessage(DataFilesMissingMessage);
        return QuitProgram();
    }
    controller_ = Controller::Create(*this, *appFolder);
    cycle_ = std::make_unique<SectionCycle>(*controller_);
    {
        // The remembered folder may be on a drive that is gone or empty: asking comes next, not a prompt.
        const platform::QuietDriveErrors quiet;
        controller_->StartUp();
    }
    if (!hwnd_) return;  // the start-up ended the program
    ShowHotkeyCaption();
    UpdateCycle();
}

void frmLapforge::Show() {
    ShowFolder();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, Sectionselection));
}

void frmLapforge::OnCreate() {
    // Created in tab order; the frame then goes to the bottom so everything is drawn above it.
    HWND list = AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, Sectionselection);
    for (const Section& section : SectionTable::Rows())
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(section.name).c_str()));
    AddControl(L"BUTTON", L"Launch GPL", WS_TABSTOP | BS_PUSHBUTTON, cmdLosgehts);
    AddControl(L"BUTTON", L"Help", WS_TABSTOP | BS_PUSHBUTTON, cmdHilfe);
    picBlick_.Create(hwnd_, picBlick, ControlRect(picBlick));
    picKarte_.Create(hwnd_, picKarte, ControlRect(picKarte));
    HWND frame = AddControl(L"BUTTON", L"", BS_GROUPBOX, fraRahmen1);
    AddControl(L"STATIC", L"Chosen section", SS_CENTER, Label1);
    AddControl(L"STATIC", L"Deploypoint", SS_CENTER, Label2);
    AddControl(L"STATIC", L"Please choose track section from these:", SS_CENTER, Label3);
    // Several lines: the caption names the binding, which may be longer than F4.
    HWND check =
        AddControl(L"BUTTON", L"Activate F4 as hotkey", WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, chkHotkeyUndAudio);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    AddControl(L"BUTTON", L"Keys\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdKeys);
    AddControl(L"BUTTON", L"Exit Lapforge", WS_TABSTOP | BS_PUSHBUTTON, cmdBeenden);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, lblGPLFolder);
    AddControl(L"BUTTON", L"Change\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdChangeFolder);
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(list, CB_SETMINVISIBLE, SectionTable::Count, 0);
}

void frmLapforge::OnCommand(int id, int code) {
    switch (id) {
    case Sectionselection:
        if (code == CBN_SELCHANGE) Sectionselection_Click();
        break;
    case cmdLosgehts:
        if (code == BN_CLICKED) cmdLosgehts_Click();
        break;
    case cmdHilfe:
        if (code == BN_CLICKED) cmdHilfe_Click();
        break;
    case chkHotkeyUndAudio:
        if (code == BN_CLICKED) chkHotkeyUndAudio_Click();
        break;
    case cmdKeys:
        if (code == BN_CLICKED) cmdKeys_Click();
        break;
    case cmdBeenden:
        if (code == BN_CLICKED) cmdBeenden_Click();
        break;
    case cmdChangeFolder:
        if (code == BN_CLICKED) cmdChangeFolder_Click();
        break;
    }
}

void frmLapforge::OnDestroy() { PostQuitMessage(exitCode_); }

void frmLapforge::OnTimer(UINT_PTR id) {
    if (id == LookTimer) UpdateCycle();
}

DWORD frmLapforge::PollInterval() { return hwnd_ && cycle_ && cycle_->IsRunning() ? PollMilliseconds : INFINITE; }

void frmLapforge::Poll() {
    const std::uint64_t now = GetTickCount64();
    // While polling, the look timer rests and the poll itself looks whether GPL still runs.
    if (now - lastLook_ >= LookMilliseconds) {
        lastLook_ = now;
        UpdateCycle();
        if (!cycle_->IsRunning()) return;
    }
    cycle_->Poll(input_, *this, now);
}

// A window of ours in front of this one (the Keys window, a message) disables it, and the cycle
// pauses: a key pressed there is meant for that window.
void frmLapforge::OnEnable(bool) { UpdateCycle(); }

void frmLapforge::Sectionselection_Click() { controller_->ApplySection(SectionText()); }

void frmLapforge::cmdLosgehts_Click() {
    // GPL runs already, however it was started: to the front with it, rather than a second copy.
    if (SimulatorRuns()) {
        simulator_.BringToFront();
        return UpdateCycle();
    }
    const std::string folder = controller_->GPLOrdnerPfad;
    const SimulatorLaunch launch = LaunchSimulator(*this, controller_->SimulatorExePath(), folder);
    // Watched at once, so the cycle runs before the next look would have found it.
    if (launch.processId != 0) simulator_.Watch(launch.processId);
    UpdateCycle();
    if (launch.processId == 0) ShowErrorMessage(LaunchFailedText(controller_->SimulatorExePath(), launch.reason));
    const Bindings& bindings = controller_->HotkeyBindings;
    const bool keyBound = bindings.next.kind == Binding::Kind::Key || bindings.previous.kind == Binding::Kind::Key;
    if (keyBound && HotkeyBlockedByElevation(launch.elevated, platform::IsProcessElevated()))
        ShowErrorMessage(HotkeyBlockedByElevationMessage);
}

void frmLapforge::cmdHilfe_Click() { platform::OpenDocument(hwnd_, controller_->HelpPagePath()); }

void frmLapforge::chkHotkeyUndAudio_Click() { UpdateCycle(); }

void frmLapforge::cmdKeys_Click() {
    frmKeys keys(*controller_);
    keys.ShowModal(hwnd_);
    ShowHotkeyCaption();
}

void frmLapforge::cmdBeenden_Click() {
    LeaveSimulatorAsFound();
    QuitProgram();
}

bool frmLapforge::OnClose() {
    cmdBeenden_Click();
    return true;
}

LRESULT frmLapforge::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message != WM_ENDSESSION) return 0;
    // Windows is shutting down or logging off: put GPL's file back, but never hold the shutdown
    // up with a message on a desktop that is going away.
    handled = true;
    if (wParam && controller_) {
        try {
            controller_->RestoreDeployLine();
        } catch (...) {
        }
    }
    return 0;
}

void frmLapforge::LeaveSimulatorAsFound() {
    if (!controller_) return;
    try {
        controller_->RestoreDeployLine();
    } catch (const std::exception& failure) {
        ShowErrorMessage(RestoreFailedText(failure.what()));
    }
}

void frmLapforge::cmdChangeFolder_Click() {
    std::string chosen = controller_->GPLOrdnerPfad;
    frmGPLPfad dialog(chosen, std::string(), controller_->GPLOrdnerPfad);
    dialog.ShowModal(hwnd_);
    if (!dialog.Accepted()) return;
    try {
        controller_->ChangeFolder(chosen, SectionText());
    } catch (const Failure& failure) {
        ShowErrorMessage(failure.what());  // says which folder is in use
    }
    ShowFolder();
    simulator_.Forget();  // the simulator that counts now is the new folder's
    UpdateCycle();
}

void frmLapforge::ShowFolder() {
    SetDlgItemTextW(hwnd_, lblGPLFolder, (L"GPL folder: " + Widen(controller_->GPLOrdnerPfad)).c_str());
}

void frmLapforge::QuitProgram(int exitCode) {
    // The program unwinds: the window goes, its WM_QUIT ends the main loop and main returns.
    exitCode_ = exitCode;
    if (hwnd_) DestroyWindow(hwnd_);
}

std::string frmLapforge::SectionText() const {
    HWND list = GetDlgItem(hwnd_, Sectionselection);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    // The items are the table's names, in table order.
    if (index >= 0 && static_cast<std::size_t>(index) < SectionTable::Count)
        return std::string(SectionTable::Rows()[static_cast<std::size_t>(index)].name);
    return {};
}

void frmLapforge::SetSectionText(std::string_view name) {
    const auto index = SectionTable::Find(name);
    if (!index) return;
    SendMessageW(GetDlgItem(hwnd_, Sectionselection), CB_SETCURSEL, *index, 0);
    // CB_SETCURSEL sends no CBN_SELCHANGE, yet callers rely on the section being applied now.
    Sectionselection_Click();
}

bool frmLapforge::ShowViewPicture(const std::string& path) { return picBlick_.Show(path); }

bool frmLapforge::ShowMapPicture(const std::string& path) { return picKarte_.Show(path); }

void frmLapforge::SelectSection(std::string_view name) { SetSectionText(name); }

void frmLapforge::AskForSimulatorFolder(std::string_view problem) {
    frmGPLPfad dialog(controller_->GPLOrdnerPfad, std::string(problem), std::string());
    // The hidden main window at start-up would take the dialog's taskbar button away.
    dialog.ShowModal(IsWindowVisible(hwnd_) ? hwnd_ : nullptr);
}

void frmLapforge::ShowErrorMessage(std::string_view text) {
    platform::ShowErrorMessage(IsWindowVisible(hwnd_) ? hwnd_ : nullptr, std::string(text));
}

void frmLapforge::EndProgram() { QuitProgram(); }

bool frmLapforge::IsHotkeyOptionChecked() const {
    return SendMessageW(GetDlgItem(hwnd_, chkHotkeyUndAudio), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmLapforge::ShowHotkeyCaption() {
    const Binding& next = controller_->HotkeyBindings.next;
    const std::string caption = HotkeyOptionCaption(next, platform::KeyName(next.key));
    SetWindowTextW(GetDlgItem(hwnd_, chkHotkeyUndAudio), Widen(caption).c_str());
}

bool frmLapforge::SimulatorRuns() { return simulator_.AnyRunning() || simulator_.Find(controller_->GPLOrdnerPfad); }

void frmLapforge::UpdateCycle() {
    if (!hwnd_ || !cycle_) return;
    const bool armed = IsHotkeyOptionChecked() && IsWindowEnabled(hwnd_);
    cycle_->SetArmed(armed);
    if (armed) cycle_->SetSimulatorRunning(SimulatorRuns());
    // Unarmed, nothing runs at all; armed without the simulator, the look once a second alone; with
    // it, the main loop's poll (PollInterval) alone.
    const bool look = armed && !cycle_->IsRunning();
    if (look != looking_) {
        // SetTimer on a running timer would start its period anew, so it is set only when it starts.
        looking_ = look && SetTimer(hwnd_, LookTimer, LookMilliseconds, nullptr) != 0;
        if (!look) KillTimer(hwnd_, LookTimer);
        lastLook_ = GetTickCount64();
    }
}

std::string frmLapforge::CurrentSection() { return SectionText(); }

void frmLapforge::SetSection(std::string_view name) { SetSectionText(name); }

void frmLapforge::PlayAnnouncement(const std::string& path) { platform::PlayAnnouncement(path); }

StartOutcome frmLapforge::StartProcess(const std::string& exePath, const std::string& workingFolder,
                                       unsigned long creationFlags) {
    return ToOutcome(platform::LaunchProgram(exePath, workingFolder, creationFlags));
}

StartOutcome frmLapforge::StartAsShell(const std::string& exePath, const std::string& workingFolder) {
    return ToOutcome(platform::ShellLaunchProgram(hwnd_, exePath, workingFolder));
}

}  // namespace lapforge

#include "ui/frmLapforge.h"

#include "core/DataFiles.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Messages.h"
#include "core/SectionTable.h"
#include "platform/Control.h"
#include "platform/Documents.h"
#include "platform/Launch.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Process.h"
#include "platform/Sound.h"
#include "platform/Win32.h"
#include "ui/frmGPLPfad.h"
#include "ui/frmKeys.h"
#include "ui/frmPoint.h"
#include "ui/frmPoints.h"
#include "ui/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <utility>

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
    lblStatus,
    cmdPoints,
    cboGPLProgramm,
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {fraRahmen1, 120, 0, 5775, 7500},
    {Label3, 240, 240, 5535, 255},
    {Sectionselection, 240, 480, 5535, 315},
    {Label1, 240, 960, 2295, 255},
    {Label2, 2640, 960, 3135, 255},
    {picKarte, 240, 1200, 2295, 3495},
    {picBlick, 2640, 1200, 3135, 2295},
    {cmdLosgehts, 2640, 3600, 1695, 495},
    {cmdHilfe, 2640, 4200, 3135, 495},
    {chkHotkeyUndAudio, 240, 4800, 2295, 495},
    {cmdBeenden, 2640, 4800, 3135, 495},
    {cmdKeys, 240, 5400, 1095, 375},
    {lblGPLFolder, 240, 5940, 4335, 255},
    {cmdChangeFolder, 4695, 5880, 1080, 375},
    {lblStatus, 240, 6300, 5535, 1080},
    {cmdPoints, 1440, 5400, 1095, 375},
    {cboGPLProgramm, 4440, 3690, 1335, 315},
};
// clang-format on
constexpr WindowLayout Layout{6015, 7620, LayoutTable};

static_assert(DefaultErrorModeFlag == CREATE_DEFAULT_ERROR_MODE);
static_assert(IDI_LAPFORGE == ProgramIconId);

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
    lapforgeElevated_ = platform::IsProcessElevated();
    controller_ = Controller::Create(*this, *appFolder);
    cycle_ = std::make_unique<SectionCycle>(*controller_);
    ShowStops();  // the sections; the driver's points join them once lapforge.ini is read
    cycle_->SetOptionChecked(IsHotkeyOptionChecked());
    {
        // The remembered folder may be on a drive that is gone or empty: asking comes next, not a prompt.
        const platform::QuietDriveErrors quiet;
        controller_->StartUp();
    }
    if (!hwnd_) return;  // the start-up ended the program
    ShowStops();
    ShowInList(controller_->StopOnDisk());
    ShowLaunchPrograms();
    // Listed once, in full, while the driver is at Lapforge; the status line keeps one line of it.
    if (const auto& skipped = controller_->SkippedSettingsLines(); !skipped.empty()) {
        ShowErrorMessage(SkippedLinesText(skipped));
        status_.SetStartNote(SkippedLinesStatus(skipped.size()));
    }
    // The joysticks are listed once at start: an old line's joystick keeps the make found under its id.
    controller_->AdoptJoystickIdentities(platform::Joysticks());
    ShowHotkeyCaption();
    ShowStatus();
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
    AddControl(L"BUTTON", L"Launch GPL", WS_TABSTOP | BS_PUSHBUTTON, cmdLosgehts);
    AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, cboGPLProgramm);
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
    AddControl(L"BUTTON", L"Points\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdPoints);
    AddControl(L"BUTTON", L"Exit Lapforge", WS_TABSTOP | BS_PUSHBUTTON, cmdBeenden);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, lblGPLFolder);
    AddControl(L"BUTTON", L"Change\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdChangeFolder);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblStatus);
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(list, CB_SETMINVISIBLE, SectionTable::Count + 4, 0);
}

void frmLapforge::OnCommand(int id, int code) {
    switch (id) {
    case Sectionselection:
        if (code == CBN_SELCHANGE) Sectionselection_Click();
        break;
    case cmdLosgehts:
        if (code == BN_CLICKED) cmdLosgehts_Click();
        break;
    case cboGPLProgramm:
        if (code == CBN_SELCHANGE) cboGPLProgramm_Click();
        if (code == CBN_DROPDOWN) cboGPLProgramm_DropDown();
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
    case cmdPoints:
        if (code == BN_CLICKED) cmdPoints_Click();
        break;
    case picKarte:
        if (code == platform::PictureBox::Clicked) picKarte_Click();
        break;
    case cmdBeenden:
        if (code == BN_CLICKED) cmdBeenden_Click();
        break;
    case cmdChangeFolder:
        if (code == BN_CLICKED) cmdChangeFolder_Click();
        break;
    }
}

void frmLapforge::OnDestroy() {
    input_.SampleJoysticks({});
    timerPeriod_.Want(false);
    keyEvents_.Want(hwnd_, false);
    PostQuitMessage(exitCode_);
}

void frmLapforge::Poll() {
    if (!cycle_ || !hwnd_) return;
    const std::uint64_t now = platform::Milliseconds();
    switch (cycle_->Next(now)) {
    case SectionCycle::Due::Look:
        SimulatorWatched(simulator_.Find(controller_->GPLOrdnerPfad));
        break;
    case SectionCycle::Due::Poll:
        cycle_->Poll(input_, *this, now);
        break;
    case SectionCycle::Due::Nothing:
        break;
    }
    // Whatever changed since the last round (the option, GPL's start or end, the bindings) is seen here.
    AskForWhatTheCycleWants();
}

void frmLapforge::AskForWhatTheCycleWants() {
    if (!hwnd_ || !cycle_) return;
    timerPeriod_.Want(cycle_->WantsFineTimer());
    keyEvents_.Want(hwnd_, cycle_->WantsKeyEvents());
    input_.LatchKeys(keyEvents_.Registered());
    input_.SampleJoysticks(cycle_->SampledJoysticks());
    // The voice is made ready once the cycle runs, not when the first point's name is to be spoken.
    if (cycle_->IsRunning()) speech_.Prepare();
}

DWORD frmLapforge::PollInterval() {
    const std::optional<std::uint64_t> wait =
        cycle_ && hwnd_ ? cycle_->WaitMilliseconds(platform::Milliseconds()) : std::nullopt;
    return wait ? static_cast<DWORD>(*wait) : INFINITE;
}

const std::vector<HANDLE>& frmLapforge::WaitHandles() { return simulator_.Handles(); }

void frmLapforge::HandleSignalled() { SimulatorWatched(simulator_.AnyRunning()); }

void frmLapforge::SimulatorWatched(bool runs) {
    if (!cycle_) return;
    // A GPL starting: a mod installed or switched off since is taken into account before its first press.
    if (runs && !simulatorRan_) controller_->FindTrackFiles();
    simulatorRan_ = runs;
    cycle_->SetSimulatorWatched(runs);
    // However GPL was started: one run as administrator keeps the keys from Lapforge.
    status_.SetNotice(SimulatorAccessText(JudgeSimulatorAccess(simulator_.Seen(), lapforgeElevated_)));
    ShowStatus();
}

void frmLapforge::OnEnable(bool enabled) {
    if (!cycle_) return;
    cycle_->SetModalInFront(!enabled);
    // A modal window's own loop runs no Poll.
    AskForWhatTheCycleWants();
}

void frmLapforge::Sectionselection_Click() {
    // The driver's own pick: a refused rewrite is told, and the list shows what the file holds.
    try {
        ApplyShownStop();
    } catch (const std::exception& failure) {
        RewriteRefused(failure, true);
    }
}

void frmLapforge::cmdLosgehts_Click() {
    // GPL runs already, however it was started: to the front with it, rather than a second copy.
    if (simulator_.AnyRunning() || simulator_.Find(controller_->GPLOrdnerPfad)) {
        const bool brought = simulator_.BringToFront();
        SimulatorWatched(true);
        if (!brought && JudgeSimulatorAccess(simulator_.Seen(), lapforgeElevated_) != SimulatorAccess::Usable)
            ShowErrorMessage(BringToFrontRefusedMessage);
        return;
    }
    // A mod removed since the list was made: its fallback is started, and the status line says so.
    ShowLaunchPrograms();
    const std::string program = controller_->LaunchProgramPath();
    platform::ProgramStarter starter(hwnd_);
    const SimulatorLaunch launch = LaunchSimulator(starter, program, controller_->GPLOrdnerPfad);
    if (launch.processId == 0) return ShowErrorMessage(LaunchFailedText(program, launch.reason));
    // Watched at once through the handle the start gave, so the cycle runs before a look would find it.
    simulator_.Watch(launch.processId, launch.process);
    SimulatorWatched(simulator_.AnyRunning());
}

void frmLapforge::cboGPLProgramm_Click() {
    const LRESULT index = SendMessageW(GetDlgItem(hwnd_, cboGPLProgramm), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= launchPrograms_.size()) return;
    status_.SetLaunchNote({});
    ShowStatus();
    try {
        controller_->PickLaunchProgram(launchPrograms_[static_cast<std::size_t>(index)]);
    } catch (const SettingsNotSaved& failure) {
        ShowErrorMessage(failure.what());
    }
}

void frmLapforge::cboGPLProgramm_DropDown() {
    ShowLaunchPrograms();
    // A mod's name may be longer than the field beside the button.
    platform::FitDroppedWidth(GetDlgItem(hwnd_, cboGPLProgramm));
}

void frmLapforge::ShowLaunchPrograms() {
    const Controller::LaunchOffer offer = controller_->OfferLaunchPrograms();
    HWND list = GetDlgItem(hwnd_, cboGPLProgramm);
    if (offer.programs != launchPrograms_) {
        launchPrograms_ = offer.programs;
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& program : launchPrograms_)
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::Widen(program).c_str()));
    }
    SendMessageW(list, CB_SETCURSEL, offer.choice.index, 0);
    if (!offer.choice.fallback.empty()) {
        status_.SetLaunchNote(offer.choice.fallback);
        ShowStatus();
    }
}

void frmLapforge::cmdHilfe_Click() { platform::OpenDocument(hwnd_, controller_->HelpPagePath()); }

void frmLapforge::chkHotkeyUndAudio_Click() {
    cycle_->SetOptionChecked(IsHotkeyOptionChecked());
    ShowStatus();
}

void frmLapforge::cmdKeys_Click() {
    frmKeys keys(*controller_, cycle_->Reprobe());
    keys.ShowModal(hwnd_);
    ShowHotkeyCaption();
    ShowStatus();
}

void frmLapforge::cmdPoints_Click() {
    frmPoints points(*controller_);
    points.ShowModal(hwnd_);
    PointsChanged();
}

void frmLapforge::picKarte_Click() {
    const platform::PicturePoint at = picKarte_.LastClick();
    const Controller::MapClickVerdict verdict = controller_->MapClicked(MapPixel{at.x, at.y});
    if (!verdict.problem.empty()) return ShowErrorMessage(verdict.problem);
    if (!verdict.offer) return;
    frmPoint point(*controller_, frmPoint::Purpose::Offer, *verdict.offer);
    point.ShowModal(hwnd_);
    if (!point.Done()) return;
    ShowStops();
    // The offer said "Deploy at": the new point is picked, as if from the list.
    try {
        SelectStop(PointStop(*point.Done()));
    } catch (const std::exception& failure) {
        RewriteRefused(failure, true);
    }
}

void frmLapforge::PointsChanged() {
    ShowStops();
    ShowInList(controller_->PointsEdited());
    ShowStatus();
}

void frmLapforge::cmdBeenden_Click() {
    if (controller_)
        if (const std::optional<std::string> failed = controller_->LeaveSimulatorAsFound()) ShowErrorMessage(*failed);
    QuitProgram();
}

bool frmLapforge::OnClose() {
    cmdBeenden_Click();
    return true;
}

LRESULT frmLapforge::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_INPUT) {
        // A key anywhere: kept, so a press that began and ended during a step still counts, and
        // counted now, not at the next poll. The message's own clean-up is the system's.
        if (!cycle_) return 0;
        if (const std::optional<InputChange> change = platform::KeyChangeOf(lParam)) input_.KeyEvent(*change);
        cycle_->KeyEvent(platform::Milliseconds());
        return 0;
    }
    if (message == WM_DEVICECHANGE) {
        // A joystick plugged in or out: listed anew once the burst of notices is over.
        if (cycle_) cycle_->DevicesChanged(platform::Milliseconds());
        handled = true;
        return TRUE;
    }
    if (message != WM_ENDSESSION) return 0;
    // Windows is shutting down or logging off: put GPL's file back, but never hold the shutdown
    // up with a message on a desktop that is going away.
    handled = true;
    if (wParam && controller_) controller_->LeaveSimulatorAsFound();
    return 0;
}

void frmLapforge::cmdChangeFolder_Click() {
    std::string chosen = controller_->GPLOrdnerPfad;
    frmGPLPfad dialog(chosen, std::string(), controller_->GPLOrdnerPfad);
    dialog.ShowModal(hwnd_);
    if (!dialog.Accepted()) return;
    const std::string before = controller_->GPLOrdnerPfad;
    std::string failed;
    try {
        controller_->ChangeFolder(chosen, ShownStop().value_or(SectionStop(0)));
    } catch (const Failure& failure) {
        failed = failure.what();  // says which folder is in use
    }
    // The label first, so the message and the window agree on the folder in use.
    ShowFolder();
    if (controller_->GPLOrdnerPfad != before) {
        simulator_.Forget();  // the simulator that counts now is the new folder's
        SimulatorWatched(false);
    }
    ShowLaunchPrograms();
    if (!failed.empty()) ShowErrorMessage(failed);
}

void frmLapforge::ShowFolder() {
    SetDlgItemTextW(hwnd_, lblGPLFolder, (L"GPL folder: " + platform::Widen(controller_->GPLOrdnerPfad)).c_str());
}

void frmLapforge::QuitProgram(int exitCode) {
    // The program unwinds: the window goes, its WM_QUIT ends the main loop and main returns.
    exitCode_ = exitCode;
    platform::SessionClaim::ReleaseHeld();  // a start right after Exit counts, though the window takes a moment to go
    if (hwnd_) DestroyWindow(hwnd_);
}

void frmLapforge::ShowStops() {
    HWND list = GetDlgItem(hwnd_, Sectionselection);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    listed_ = controller_->ListedStops();
    for (const Stop& stop : listed_) {
        const std::wstring name = (stop.ownPoint ? std::wstring(OwnPointMark) : std::wstring()) +
                                  platform::Widen(controller_->StopName(stop));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

std::optional<Stop> frmLapforge::ShownStop() const {
    const LRESULT index = SendMessageW(GetDlgItem(hwnd_, Sectionselection), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= listed_.size()) return std::nullopt;
    return listed_[static_cast<std::size_t>(index)];
}

void frmLapforge::SelectStop(const Stop& stop) {
    ShowInList(stop);
    // CB_SETCURSEL sends no CBN_SELCHANGE, yet callers rely on the stop being applied now.
    ApplyShownStop();
}

void frmLapforge::ApplyShownStop() {
    const std::optional<Stop> shown = ShownStop();
    if (!shown) return;
    try {
        controller_->ApplyStop(*shown);
    } catch (const std::exception&) {
        ShowInList(controller_->StopOnDisk());  // the pictures come only after a write, so they still fit
        throw;
    }
    status_.Written();
    ShowStatus();
}

std::string frmLapforge::PlaceInFile() const { return controller_->PlaceOnDisk(); }

void frmLapforge::ShowInList(const std::optional<Stop>& stop) {
    const auto at = stop ? std::find(listed_.begin(), listed_.end(), *stop) : listed_.end();
    const WPARAM index = at == listed_.end() ? WPARAM(-1) : static_cast<WPARAM>(at - listed_.begin());
    SendMessageW(GetDlgItem(hwnd_, Sectionselection), CB_SETCURSEL, index, 0);
}

bool frmLapforge::ShowViewPicture(const std::string& path) { return picBlick_.Show(path); }

bool frmLapforge::ShowMapPicture(const std::string& path) { return picKarte_.Show(path); }

void frmLapforge::SelectSection(std::string_view name) {
    if (const auto row = SectionTable::Find(name)) SelectStop(SectionStop(*row));
}

void frmLapforge::ShowMapRoad(bool takesClicks, std::optional<MapPixel> flag, std::uint32_t colour) {
    picKarte_.TakeClicks(takesClicks);
    if (flag)
        picKarte_.ShowFlag(platform::PicturePoint{flag->x, flag->y},
                           RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
}

void frmLapforge::ShowRefusedRewrite(const std::exception& failure) { RewriteRefused(failure, false); }

void frmLapforge::DeployLineChangedElsewhere(std::string_view line) {
    status_.DeployLineChangedElsewhere(line);
    ShowStatus();
}

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
    SetWindowTextW(GetDlgItem(hwnd_, chkHotkeyUndAudio), platform::Widen(caption).c_str());
}

void frmLapforge::ShowStatus() {
    if (!hwnd_ || !cycle_) return;
    status_.SetTrackFiles(controller_->ModFilesInStep(), controller_->ModFilesProblem());
    std::wstring text = platform::Widen(
        status_.Text(IsHotkeyOptionChecked(), cycle_->IsRunning(), PlaceInFile(), controller_->HotkeyBindings,
                     platform::KeyName, controller_->Points.onlyThese));
    // Set only when it changes: a look once a second must not make the line flicker.
    if (text == shownStatus_) return;
    shownStatus_ = std::move(text);
    SetDlgItemTextW(hwnd_, lblStatus, shownStatus_.c_str());
}

void frmLapforge::RewriteRefused(const std::exception& failure, bool picked) {
    const std::optional<std::string> box = status_.Refused(failure, PlaceInFile(), picked);
    ShowStatus();
    if (box) return ShowErrorMessage(*box);
    FLASHWINFO flash{sizeof flash, hwnd_, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void frmLapforge::PlayAnnouncement(const AnnouncementPlan& plan) {
    if (plan.silenceSpeech) speech_.Silence();
    if (plan.silenceWave) platform::SilenceAnnouncement();
    // Where Windows has no voice, the wave in reserve; the status line names the point.
    if (!plan.speak.empty() && speech_.Speak(plan.speak)) return;
    if (!plan.wave.empty()) platform::PlayAnnouncement(plan.wave);
}

void frmLapforge::Announce(const StopAnnouncement& announcement) {
    PlayAnnouncement(PlanAnnouncement(announcement, controller_->AppFolder));
}

void frmLapforge::ShowWrittenStop(const Stop& stop) {
    ShowInList(stop);
    status_.Written();
    ShowStatus();
}

void frmLapforge::ShowStopPictures(const Stop& stop) { controller_->ShowStopPictures(stop); }

void frmLapforge::StepRefused(const std::exception& failure) {
    PlayAnnouncement(PlanRefusedCue(controller_->AppFolder));
    RewriteRefused(failure, false);
}

}  // namespace lapforge

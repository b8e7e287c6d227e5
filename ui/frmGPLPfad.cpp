#include "ui/frmGPLPfad.h"

#include "core/Controller.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/WrappedLabel.h"

#include <algorithm>
#include <iterator>

namespace lapforge {

namespace {

enum ControlId {
    lblDrive = 100,
    drvDrive,
    lblHint,
    cmdOK,
    cmdCancel,
    lblFolder,
    dirFolder,
    lblProblem,
};

// The drive probe's answer, posted by its worker thread; and the timer that gives up on it.
constexpr UINT DriveProbedMessage = WM_APP + 10;
constexpr UINT_PTR DriveProbeTimer = 1;

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {lblDrive, 120, 120, 1935, 255},
    {drvDrive, 120, 360, 1935, 315},
    {lblHint, 120, 840, 1935, 855},
    {cmdOK, 120, 1800, 1935, 375},
    {cmdCancel, 120, 2280, 1935, 375},
    {lblFolder, 2160, 120, 2175, 255},
    {dirFolder, 2160, 360, 2175, 2340},
    {lblProblem, 120, 2790, 4215, 960},
};
// clang-format on
// Without a problem to tell, the last row is left out.
constexpr WindowLayout Layout{4470, 2775, std::span<const ControlPlacement>(LayoutTable, std::size(LayoutTable) - 1)};
constexpr WindowLayout LayoutWithProblem{4470, 3870, LayoutTable};

// Enough for every hint, and for a reason line with two long paths and the cure; beyond that the
// text is cut short at its end, after the folder's name near its start.
constexpr std::size_t HintLines = 8;
constexpr std::size_t ProblemLines = 16;

int TableHeight(int id) {
    return std::find_if(std::begin(LayoutTable), std::end(LayoutTable),
                        [id](const ControlPlacement& p) { return p.id == id; })
        ->height;
}

constexpr wchar_t OwnHint[] =
    L"Lapforge needs the path to the file \"gpl.exe\". Click \"Cancel\" if GPL is not installed on this machine.";

}  // namespace

frmGPLPfad::frmGPLPfad(std::string& folder, std::string problem, std::string startFolder)
    : choice_(folder,
              [](const std::string& candidate) {
                  const platform::QuietDriveErrors quiet;
                  return CheckSimulatorFolder(candidate, FileOpensForReading);
              }),
      problem_(std::move(problem)),
      startFolder_(std::move(startFolder)),
      layout_(problem_.empty() ? Layout : LayoutWithProblem) {}

void frmGPLPfad::ShowModal(HWND owner) {
    CreateTopLevel(L"frmGPLPfad", L"Where is GPL?", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                   layout_.View(), owner);
    CentreOnScreen();
    platform::RunModal(hwnd_, drvDrive_.Handle());
}

void frmGPLPfad::OnCreate() {
    // Created in tab order.
    drvDrive_.Create(hwnd_, drvDrive, ControlRect(drvDrive));
    dirFolder_.Create(hwnd_, dirFolder, ControlRect(dirFolder));
    // OK takes Enter wherever Enter does not open a drive or folder.
    EnableWindow(AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, cmdOK), FALSE);
    AddControl(L"STATIC", OwnHint, platform::WrappedLabelStyle, lblHint);
    AddControl(L"STATIC", L"Drives:", SS_CENTER, lblDrive);
    AddControl(L"STATIC", L"Folders:", SS_CENTER, lblFolder);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
    if (!problem_.empty())
        AddControl(L"STATIC", platform::Widen(problem_).c_str(), platform::WrappedLabelStyle, lblProblem);
    if (!startFolder_.empty()) {
        try {
            dirFolder_.SetFolder(platform::Widen(startFolder_));
        } catch (const std::exception&) {
            // A folder that is gone: the dialog starts where the process is, as on a first run.
        }
    }
}

void frmGPLPfad::ShowHint(std::string_view text) {
    SetWindowTextW(GetDlgItem(hwnd_, lblHint), text.empty() ? OwnHint : platform::Widen(text).c_str());
    OnLayoutApplied();
}

bool frmGPLPfad::OnClose() {
    // The close box, Esc and Alt+F4 are Cancel.
    cmdCancel_Click();
    return true;
}

LRESULT frmGPLPfad::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_DRAWITEM) {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != lblHint && item.CtlID != lblProblem) return 0;
        handled = true;
        platform::DrawWrappedLabel(item, item.CtlID == lblHint ? HintLines : ProblemLines);
        return TRUE;
    }
    if (message == DriveProbedMessage) {
        handled = true;
        // A late answer for an earlier pick leaves the time-out of the pick awaited running.
        choice_.DriveProbed(static_cast<char>(wParam), lParam != 0, *this);
    }
    return 0;
}

void frmGPLPfad::OnTimer(UINT_PTR id) {
    if (id != DriveProbeTimer) return;
    // The drive did not answer in time: not ready.
    choice_.DriveProbed(probedDrive_, false, *this);
}

// A text that needs more room than the table gives it makes the dialog grow downwards. The dialog
// keeps the room while it is open, so that it does not jump back as the hint changes.
void frmGPLPfad::OnLayoutApplied() {
    const UINT dpi = LayoutDpi();
    hintHeight_ = std::max(hintHeight_, NeededHeight(lblHint, HintLines, dpi));
    if (!problem_.empty()) problemHeight_ = std::max(problemHeight_, NeededHeight(lblProblem, ProblemLines, dpi));
    platform::GrownLayout layout(problem_.empty() ? Layout : LayoutWithProblem);
    platform::GrowDownwards(layout, lblHint, hintHeight_ - TableHeight(lblHint));
    platform::GrowDownwards(layout, lblProblem, problemHeight_ - TableHeight(lblProblem));
    if (layout == layout_) return;
    layout_ = std::move(layout);
    ChangeLayout(layout_.View());  // back here once, with nothing left to grow
}

int frmGPLPfad::NeededHeight(int id, std::size_t maxLines, UINT dpi) const {
    // A pixel to spare for the rounding of the label's edges, and twips rounded up.
    const int pixels = platform::WrappedLabelHeight(GetDlgItem(hwnd_, id), maxLines) + 1;
    return (pixels * 1440 + static_cast<int>(dpi) - 1) / static_cast<int>(dpi);
}

void frmGPLPfad::OnCommand(int id, int code) {
    switch (id) {
    case drvDrive:
        if (code == platform::DriveList::PickNotification)
            drvDrive_Change();
        else
            drvDrive_.Notified(static_cast<WORD>(code));
        break;
    case dirFolder:
        if (code == platform::FolderList::ChangeNotification) dirFolder_Change();
        break;
    case cmdOK:
        if (code == BN_CLICKED) cmdOK_Click();
        break;
    case cmdCancel:
    case IDCANCEL:  // Esc
        if (code == BN_CLICKED) cmdCancel_Click();
        break;
    case IDOK:  // Enter outside the lists
        if (code == BN_CLICKED && IsWindowEnabled(GetDlgItem(hwnd_, cmdOK))) cmdOK_Click();
        break;
    }
}

void frmGPLPfad::drvDrive_Change() { choice_.DriveChanged(drvDrive_.Drive(), *this); }

void frmGPLPfad::dirFolder_Change() { choice_.FolderListChanged(*this); }

void frmGPLPfad::cmdOK_Click() {
    accepted_ = true;
    platform::EndModal(hwnd_);
}

void frmGPLPfad::cmdCancel_Click() {
    choice_.Cancel();
    platform::EndModal(hwnd_);
}

void frmGPLPfad::StartDriveProbe(char drive) {
    probedDrive_ = drive;
    SetTimer(hwnd_, DriveProbeTimer, platform::DriveProbeLimitMilliseconds, nullptr);
    platform::ProbeDrive(hwnd_, DriveProbedMessage, drive);
}

void frmGPLPfad::EndDriveProbe() { KillTimer(hwnd_, DriveProbeTimer); }

void frmGPLPfad::ShowDriveProblem(std::string_view text) { platform::ShowErrorMessage(hwnd_, std::string(text)); }

void frmGPLPfad::ShowDrive(char drive) { drvDrive_.SetDrive(drive); }

void frmGPLPfad::MoveFolderListToDrive(char drive) { dirFolder_.SetDrive(drive); }

std::string frmGPLPfad::FolderListFolder() { return dirFolder_.Folder(); }

void frmGPLPfad::EnableOk(bool enabled) { EnableWindow(GetDlgItem(hwnd_, cmdOK), enabled ? TRUE : FALSE); }

}  // namespace lapforge

#include "ui/frmGPLPfad.h"

#include "core/Controller.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Messages.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"

#include <algorithm>
#include <cstdlib>
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
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {lblDrive, 120, 120, 1935, 255},
    {drvDrive, 120, 360, 1935, 315},
    {lblHint, 120, 840, 1935, 855},
    {cmdOK, 120, 1800, 1935, 375},
    {cmdCancel, 120, 2280, 1935, 375},
    {lblFolder, 2160, 120, 2175, 255},
    {dirFolder, 2160, 360, 2175, 2340},
};
// clang-format on
constexpr WindowLayout Layout{4470, 2775, LayoutTable};

}  // namespace

frmGPLPfad::frmGPLPfad(Controller& controller)
    : choice_(controller.GPLOrdnerPfad, [](const std::string& path) {
          const platform::QuietDriveErrors quiet;
          return FileOpensForReading(path);
      }) {}

void frmGPLPfad::ShowModal(HWND owner) {
    CreateTopLevel(L"frmGPLPfad", L"Where is GPL?", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                   Layout, owner);
    CentreOnScreen();
    platform::RunModal(hwnd_, drvDrive_.Handle());
}

void frmGPLPfad::OnCreate() {
    // Created in tab order.
    drvDrive_.Create(hwnd_, drvDrive, ControlRect(drvDrive));
    dirFolder_.Create(hwnd_, dirFolder, ControlRect(dirFolder));
    EnableWindow(AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, cmdOK), FALSE);
    AddControl(L"STATIC",
               L"Lapforge needs the path to the file \"gpl.exe\". Click \"Cancel\" if GPL is not installed on "
               L"this machine.",
               SS_LEFT, lblHint);
    AddControl(L"STATIC", L"Drives:", SS_CENTER, lblDrive);
    AddControl(L"STATIC", L"Folders:", SS_CENTER, lblFolder);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
}

void frmGPLPfad::OnLayoutApplied() {
    // The hint's box is small and its text long: with a wide default font the last words would be
    // cut off, so the hint alone steps its font down until the whole text fits the box.
    HWND hint = GetDlgItem(hwnd_, lblHint);
    RECT box{};
    GetClientRect(hint, &box);
    wchar_t text[256] = {};
    GetWindowTextW(hint, text, static_cast<int>(std::size(text)));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hint, WM_GETFONT, 0, 0)), sizeof font, &font);
    const LONG sign = font.lfHeight < 0 ? -1 : 1;
    const LONG smallest = std::max<LONG>(1, std::abs(font.lfHeight) * 2 / 3);
    platform::WindowDc dc(hint);
    platform::GdiObject<HFONT> fitted;
    for (LONG height = std::abs(font.lfHeight); height >= smallest; --height) {
        font.lfHeight = sign * height;
        fitted.Reset(CreateFontIndirectW(&font));
        platform::Selection selection(dc.Get(), fitted.Get());
        RECT needed = box;
        DrawTextW(dc.Get(), text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        if (needed.bottom <= box.bottom) break;
    }
    if (!fitted) return;
    SendMessageW(hint, WM_SETFONT, reinterpret_cast<WPARAM>(fitted.Get()), TRUE);
    hintFont_ = std::move(fitted);
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
        if (code == BN_CLICKED) cmdCancel_Click();
        break;
    }
}

void frmGPLPfad::drvDrive_Change() { choice_.DriveChanged(drvDrive_.Drive(), *this); }

void frmGPLPfad::dirFolder_Change() { choice_.FolderListChanged(*this); }

void frmGPLPfad::cmdOK_Click() { platform::EndModal(hwnd_); }

void frmGPLPfad::cmdCancel_Click() {
    choice_.Cancel();
    platform::EndModal(hwnd_);
}

bool frmGPLPfad::DriveIsReady(char drive) { return platform::DriveIsReady(drive); }

void frmGPLPfad::ShowDriveNotReady(char drive) { platform::ShowErrorMessage(hwnd_, DriveNotReadyMessage(drive)); }

void frmGPLPfad::ShowDrive(char drive) { drvDrive_.SetDrive(drive); }

void frmGPLPfad::MoveFolderListToDrive(char drive) { dirFolder_.SetDrive(drive); }

std::string frmGPLPfad::FolderListFolder() { return dirFolder_.Folder(); }

void frmGPLPfad::EnableOk(bool enabled) { EnableWindow(GetDlgItem(hwnd_, cmdOK), enabled ? TRUE : FALSE); }

}  // namespace lapforge

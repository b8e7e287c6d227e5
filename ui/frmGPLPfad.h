#pragma once

#include "core/HostFolderChoice.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Win32.h"
#include "platform/WindowBase.h"

namespace lapforge {

// "Where is GPL?": lets the user open the simulator's folder; OK only where gpl.exe and a track
// file Lapforge may rewrite are.
class frmGPLPfad final : public WindowBase, private FolderDialogWindow {
public:
    // `folder` receives every folder opened, and "GPL not installed" on Cancel. `problem` (one line,
    // may be empty) says why the remembered folder would not do. The folder list starts in
    // `startFolder`, or in the process's current folder when that is empty.
    frmGPLPfad(std::string& folder, std::string problem, std::string startFolder);

    // OK closed the dialog.
    bool Accepted() const { return accepted_; }

    // Shows the dialog, owned by the given window (none at start-up, so it has a taskbar button of
    // its own), and returns once it has been unloaded.
    void ShowModal(HWND owner);

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnLayoutApplied() override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnTimer(UINT_PTR id) override;

    void drvDrive_Change();
    void dirFolder_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // FolderDialogWindow
    void StartDriveProbe(char drive) override;
    void EndDriveProbe() override;
    void ShowDriveProblem(std::string_view text) override;
    void ShowDrive(char drive) override;
    void MoveFolderListToDrive(char drive) override;
    std::string FolderListFolder() override;
    void EnableOk(bool enabled) override;
    void ShowHint(std::string_view text) override;

    HostFolderChoice choice_;
    platform::DriveList drvDrive_;
    platform::FolderList dirFolder_;
    // The twips the label's text needs, at its width and the window's font.
    int NeededHeight(int id, std::size_t maxLines, UINT dpi) const;

    std::string problem_;
    std::string startFolder_;
    platform::GrownLayout layout_;  // the table, with room for the texts shown so far
    int hintHeight_ = 0;
    int problemHeight_ = 0;
    char probedDrive_ = 0;
    bool accepted_ = false;
};

}  // namespace lapforge

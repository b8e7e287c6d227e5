#pragma once

#include "core/HostFolderChoice.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Win32.h"
#include "platform/WindowBase.h"

namespace lapforge {

class Controller;

// "Where is GPL?": lets the user open the simulator's folder; OK only where gpl.exe is.
class frmGPLPfad final : public WindowBase, private FolderDialogWindow {
public:
    explicit frmGPLPfad(Controller& controller);

    // Shows the dialog, owned by the given window (none at start-up, so it has a taskbar button of
    // its own), and returns once it has been unloaded.
    void ShowModal(HWND owner);

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnLayoutApplied() override;

    void drvDrive_Change();
    void dirFolder_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // FolderDialogWindow
    bool DriveIsReady(char drive) override;
    void ShowDriveNotReady(char drive) override;
    void ShowDrive(char drive) override;
    void MoveFolderListToDrive(char drive) override;
    std::string FolderListFolder() override;
    void EnableOk(bool enabled) override;

    HostFolderChoice choice_;
    platform::DriveList drvDrive_;
    platform::FolderList dirFolder_;
    platform::GdiObject<HFONT> hintFont_;
};

}  // namespace lapforge

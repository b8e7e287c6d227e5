#pragma once

#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "platform/Win32.h"
#include "windows/HostFolderChoice.h"
#include "windows/WindowBase.h"

namespace lapforge {

class Controller;

// "Where is GPL?": lets the user open the simulator's folder; OK only where gpl.exe is.
class frmGPLPfad final : public WindowBase {
public:
    explicit frmGPLPfad(Controller& controller);

    // Shows the dialog without an owner and returns once it has been unloaded.
    void ShowModal();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCreate();
    void OnCommand(int id, int code);
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    void drvDrive_Change();
    void dirFolder_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    void UpdateOk();
    void PlaceControls(UINT dpi);
    void FitHintText();

    Controller& controller_;
    HostFolderChoice choice_;
    platform::DriveList drvDrive_;
    platform::FolderList dirFolder_;
    platform::GdiObject<HFONT> hintFont_;
    bool opening_ = false;
};

}  // namespace lapforge

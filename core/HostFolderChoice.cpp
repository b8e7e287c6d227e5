#include "core/HostFolderChoice.h"

#include "core/Controller.h"

namespace lapforge {

HostFolderChoice::HostFolderChoice(std::string& folder, FileProbe opensForReading)
    : folder_(folder), opensForReading_(std::move(opensForReading)) {}

void HostFolderChoice::FolderChanged(const std::string& folder) {
    folder_ = folder;
    CheckForHostExe();
}

void HostFolderChoice::Cancel() { folder_ = std::string(NotInstalled); }

void HostFolderChoice::CheckForHostExe() {
    try {
        exeFound_ = opensForReading_(SimulatorExeIn(folder_));
    } catch (...) {
        exeFound_ = false;
    }
}

void HostFolderChoice::DriveChanged(char drive, FolderDialogWindow& dialog) {
    if (!dialog.DriveIsReady(drive)) {
        // An empty card reader must not end the program: say so and stay where we were.
        dialog.ShowDriveNotReady(drive);
        const std::string folder = dialog.FolderListFolder();
        dialog.ShowDrive(folder.empty() ? drive : folder[0]);
        return;
    }
    dialog.MoveFolderListToDrive(drive);  // raises the folder list's change first
    FolderListChanged(dialog);
}

void HostFolderChoice::FolderListChanged(FolderDialogWindow& dialog) {
    FolderChanged(dialog.FolderListFolder());
    dialog.EnableOk(exeFound_);
}

}  // namespace lapforge

#include "core/HostFolderChoice.h"

#include "core/Controller.h"

#include <cctype>

namespace lapforge {

HostFolderChoice::HostFolderChoice(std::string& folder, FolderCheck check)
    : folder_(folder), check_(std::move(check)) {}

void HostFolderChoice::FolderChanged(const std::string& folder) {
    folder_ = folder;
    try {
        verdict_ = check_(folder_);
    } catch (...) {
        verdict_ = FolderVerdict::NoSimulator;
    }
}

void HostFolderChoice::Cancel() { folder_ = std::string(NotInstalled); }

void HostFolderChoice::DriveChanged(char drive, FolderDialogWindow& dialog) {
    probing_ = drive;
    dialog.ShowHint(CheckingDriveText(drive));
    dialog.StartDriveProbe(drive);
}

void HostFolderChoice::DriveProbed(char drive, bool ready, FolderDialogWindow& dialog) {
    if (drive != probing_) return;
    probing_ = 0;
    dialog.EndDriveProbe();
    if (!ready) {
        // An empty card reader must not end the program: say so and stay where we were.
        dialog.ShowHint(FolderHint(verdict_));
        dialog.ShowDriveNotReady(drive);
        const std::string folder = dialog.FolderListFolder();
        dialog.ShowDrive(folder.empty() ? drive : folder[0]);
        return;
    }
    try {
        dialog.MoveFolderListToDrive(drive);  // raises the folder list's change first
    } catch (...) {
        dialog.ShowHint(FolderHint(verdict_));
        throw;
    }
    FolderListChanged(dialog);
}

void HostFolderChoice::FolderListChanged(FolderDialogWindow& dialog) {
    FolderChanged(dialog.FolderListFolder());
    dialog.EnableOk(Usable());
    if (!probing_) dialog.ShowHint(FolderHint(verdict_));
}

std::string CheckingDriveText(char drive) {
    std::string text = "Checking drive ";
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
    text += ":...";
    return text;
}

}  // namespace lapforge

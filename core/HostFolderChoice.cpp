#include "core/HostFolderChoice.h"

#include "core/Controller.h"
#include "core/Messages.h"

#include <cctype>
#include <exception>

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
    // An empty card reader, or a drive the user may not read, must not end the program: say so and
    // stay where we were.
    if (!ready) return StayAfterDriveProblem(drive, DriveNotReadyMessage(drive), dialog);
    try {
        dialog.MoveFolderListToDrive(drive);  // raises the folder list's change first
    } catch (const std::exception& failure) {
        return StayAfterDriveProblem(drive, DriveNotOpenedMessage(drive, failure.what()), dialog);
    }
    FolderListChanged(dialog);
}

void HostFolderChoice::StayAfterDriveProblem(char drive, std::string_view text, FolderDialogWindow& dialog) {
    dialog.ShowHint(FolderHint(verdict_));
    dialog.ShowDriveProblem(text);
    const std::string folder = dialog.FolderListFolder();
    dialog.ShowDrive(folder.empty() ? drive : folder[0]);
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

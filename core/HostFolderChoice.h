#pragma once

#include "core/SimulatorFolder.h"

#include <functional>
#include <string>
#include <string_view>

namespace lapforge {

// The folder dialog's window, as its decisions use it.
class FolderDialogWindow {
public:
    // Asks, without waiting, whether the drive has a readable medium; the answer comes back through
    // HostFolderChoice::DriveProbed. A drive that does not answer in time counts as not ready.
    virtual void StartDriveProbe(char drive) = 0;
    // The awaited answer came, or the wait for it is over: stop waiting for it.
    virtual void EndDriveProbe() = 0;
    // A message about the drive just picked, which the folder list did not move to.
    virtual void ShowDriveProblem(std::string_view text) = 0;
    // Shows the drive in the drive list again, without acting on it.
    virtual void ShowDrive(char drive) = 0;
    // Moves the folder list to the drive's current folder, or to its root where that folder cannot
    // be listed; the folder list raises its change before this returns. Throws, with nothing
    // changed, when the drive cannot be listed.
    virtual void MoveFolderListToDrive(char drive) = 0;
    virtual std::string FolderListFolder() = 0;
    virtual void EnableOk(bool enabled) = 0;
    // The hint line's text; empty for the dialog's own hint.
    virtual void ShowHint(std::string_view text) = 0;

protected:
    ~FolderDialogWindow() = default;
};

// The folder dialog's decisions, apart from its window: which folder the caller gets and whether
// OK may be pressed.
class HostFolderChoice {
public:
    using FolderCheck = std::function<FolderVerdict(const std::string& folder)>;

    // `folder` is the caller's simulator folder, written on every change and on Cancel.
    HostFolderChoice(std::string& folder, FolderCheck check);

    // The folder list moved to another folder (by the user or by a drive change).
    void FolderChanged(const std::string& folder);
    void Cancel();

    // OK may be pressed: the folder has gpl.exe and a track file Lapforge may rewrite.
    bool Usable() const { return verdict_ == FolderVerdict::Usable; }

    // The user picked a drive in the drive list: it is probed first, the dialog stays responsive.
    void DriveChanged(char drive, FolderDialogWindow& dialog);
    // The probe's answer. Only the drive picked last counts; an earlier pick's late answer is dropped.
    // A drive that is not ready, or cannot be listed, is named in a message and the dialog stays on
    // the folder it showed.
    void DriveProbed(char drive, bool ready, FolderDialogWindow& dialog);
    // The folder list moved: the folder goes to the caller, and OK and the hint follow it.
    void FolderListChanged(FolderDialogWindow& dialog);

private:
    std::string& folder_;
    FolderCheck check_;
    FolderVerdict verdict_ = FolderVerdict::NoSimulator;
    // The drive list back on the folder list's drive, the hint and a message about the drive.
    void StayAfterDriveProblem(char drive, std::string_view text, FolderDialogWindow& dialog);

    char probing_ = 0;  // the drive whose answer is awaited
};

// The hint line while a drive is being probed.
std::string CheckingDriveText(char drive);

}  // namespace lapforge

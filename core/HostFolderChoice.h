#pragma once

#include <functional>
#include <string>

namespace lapforge {

// The folder dialog's window, as its decisions use it.
class FolderDialogWindow {
public:
    // False for a drive without a readable medium.
    virtual bool DriveIsReady(char drive) = 0;
    virtual void ShowDriveNotReady(char drive) = 0;
    // Shows the drive in the drive list again, without acting on it.
    virtual void ShowDrive(char drive) = 0;
    // Moves the folder list to the drive's current folder; the folder list raises its change before
    // this returns. Throws, with nothing changed, when the folder cannot be listed.
    virtual void MoveFolderListToDrive(char drive) = 0;
    virtual std::string FolderListFolder() = 0;
    virtual void EnableOk(bool enabled) = 0;

protected:
    ~FolderDialogWindow() = default;
};

// The folder dialog's decisions, apart from its window: which folder the controller gets and
// whether OK may be pressed.
class HostFolderChoice {
public:
    using FileProbe = std::function<bool(const std::string& path)>;

    // `folder` is the controller's simulator folder, written on every change and on Cancel.
    HostFolderChoice(std::string& folder, FileProbe opensForReading);

    // The folder list moved to another folder (by the user or by a drive change).
    void FolderChanged(const std::string& folder);
    void Cancel();

    bool ExeFound() const { return exeFound_; }

    // The user picked a drive in the drive list.
    void DriveChanged(char drive, FolderDialogWindow& dialog);
    // The folder list moved: the folder goes to the controller, and OK follows gpl.exe.
    void FolderListChanged(FolderDialogWindow& dialog);

private:
    void CheckForHostExe();

    std::string& folder_;
    FileProbe opensForReading_;
    bool exeFound_ = false;
};

}  // namespace lapforge

#pragma once

#include <functional>
#include <string>

namespace lapforge {

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

private:
    void CheckForHostExe();

    std::string& folder_;
    FileProbe opensForReading_;
    bool exeFound_ = false;
};

}  // namespace lapforge

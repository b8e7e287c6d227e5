#include "windows/HostFolderChoice.h"

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

}  // namespace lapforge

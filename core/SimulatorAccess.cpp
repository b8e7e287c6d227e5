#include "core/SimulatorAccess.h"

#include "core/SimulatorProcess.h"

namespace lapforge {

SimulatorAccess JudgeSimulatorAccess(const SimulatorSeen& seen, bool lapforgeElevated) {
    // As administrator, Lapforge opens and hears every program of the desktop.
    if (lapforgeElevated) return SimulatorAccess::Usable;
    if (seen.watched) {
        if (!seen.elevated) return SimulatorAccess::Unopenable;
        return *seen.elevated ? SimulatorAccess::Elevated : SimulatorAccess::Usable;
    }
    return seen.unopenable ? SimulatorAccess::Unopenable : SimulatorAccess::Usable;
}

bool IsSimulatorInFolder(std::wstring_view imagePath, std::optional<FileIdentity> imageFolder,
                         std::wstring_view folder, std::optional<FileIdentity> chosenFolder) {
    if (!imageFolder || !chosenFolder) return IsSimulatorImage(imagePath, folder);
    const std::size_t slash = imagePath.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return false;
    return IsSimulatorFileName(imagePath.substr(slash + 1)) && *imageFolder == *chosenFolder;
}

}  // namespace lapforge

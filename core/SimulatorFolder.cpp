#include "core/SimulatorFolder.h"

#include "core/Controller.h"
#include "core/ReplaceFile.h"
#include "core/TrackFileBuffer.h"

namespace lapforge {

FolderVerdict CheckSimulatorFolder(const std::string& folder,
                                   const std::function<bool(const std::string& path)>& opensForReading) {
    if (!opensForReading(SimulatorExeIn(folder))) return FolderVerdict::NoSimulator;
    TrackFileBuffer trial;
    return LoadTrackFileVerdict(trial, folder);
}

FolderVerdict LoadTrackFileVerdict(TrackFileBuffer& buffer, std::string_view folder) {
    try {
        buffer.ReadTrackFile(folder);
    } catch (const TrackFileTooShort&) {
        return FolderVerdict::TrackFileTooShort;
    } catch (const NotADeployLine&) {
        return FolderVerdict::NoDeployLine;
    } catch (const std::exception&) {
        return FolderVerdict::NoTrackFile;
    }
    try {
        ProbeWritable(TrackFileBuffer::TrackFilePath(folder));
    } catch (const std::exception&) {
        return FolderVerdict::TrackFileNotWritable;
    }
    return FolderVerdict::Usable;
}

}  // namespace lapforge

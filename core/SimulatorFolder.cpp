#include "core/SimulatorFolder.h"

#include "core/Controller.h"
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
    return FolderVerdict::Usable;
}

std::string_view FolderHint(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::NoTrackFile:
        return "GPL is here, but not its Nordschleife: \"tracks\\nurburg\\track.ini\" is missing or cannot be "
               "read.";
    case FolderVerdict::TrackFileTooShort:
        return "GPL's Nordschleife file \"track.ini\" here has fewer than 100 lines: Lapforge cannot use it.";
    case FolderVerdict::NoDeployLine:
        return "Line 54 of this GPL's Nordschleife \"track.ini\" is not its deploy point (stall_0): Lapforge "
               "leaves it alone.";
    case FolderVerdict::Usable:
    case FolderVerdict::NoSimulator:
        break;
    }
    return {};
}

std::string_view FolderProblemReason(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::NoSimulator:
        return "it holds no gpl.exe";
    case FolderVerdict::NoTrackFile:
        return "its Nordschleife track file (tracks\\nurburg\\track.ini) is missing or cannot be read";
    case FolderVerdict::TrackFileTooShort:
        return "its Nordschleife track file has fewer than 100 lines";
    case FolderVerdict::NoDeployLine:
        return "line 54 of its Nordschleife track file is not GPL's deploy point";
    case FolderVerdict::Usable:
        break;
    }
    return {};
}

std::string RememberedFolderProblem(std::string_view folder, std::string_view why) {
    std::string line = "Lapforge cannot use the GPL folder \"";
    line += folder;
    line += "\": ";
    line += why;
    line += '.';
    return line;
}

}  // namespace lapforge

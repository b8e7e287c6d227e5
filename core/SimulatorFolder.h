#pragma once

#include "core/Messages.h"  // the verdicts' texts

#include <functional>
#include <string>
#include <string_view>

namespace lapforge {

class TrackFileBuffer;

// What a folder offers Lapforge: it needs gpl.exe and a Nordschleife track file it may rewrite.
enum class FolderVerdict {
    Usable,
    NoSimulator,           // no gpl.exe that can be opened
    NoTrackFile,           // tracks\nurburg\track.ini missing or unreadable
    TrackFileTooShort,     // fewer than 100 lines
    NoDeployLine,          // line 54 is not GPL's deploy point
    TrackFileNotWritable,  // read-only, refused or held: the rewrite's own probe fails
};

// Loads the folder's track file into the buffer and opens it for writing without changing it; what a
// failure says about the folder, or Usable.
FolderVerdict LoadTrackFileVerdict(TrackFileBuffer& buffer, std::string_view folder);

// `opensForReading` says whether a file exists and may be read (the caller decides how quietly).
FolderVerdict CheckSimulatorFolder(const std::string& folder,
                                   const std::function<bool(const std::string& path)>& opensForReading);

}  // namespace lapforge

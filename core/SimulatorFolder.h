#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lapforge {

class TrackFileBuffer;

// What a folder offers Lapforge: it needs gpl.exe and a Nordschleife track file it may rewrite.
enum class FolderVerdict {
    Usable,
    NoSimulator,        // no gpl.exe that can be opened
    NoTrackFile,        // tracks\nurburg\track.ini missing or unreadable
    TrackFileTooShort,  // fewer than 100 lines
    NoDeployLine,       // line 54 is not GPL's deploy point
};

// Loads the folder's track file into the buffer; what a failure says about the folder, or Usable.
FolderVerdict LoadTrackFileVerdict(TrackFileBuffer& buffer, std::string_view folder);

// `opensForReading` says whether a file exists and may be read (the caller decides how quietly).
FolderVerdict CheckSimulatorFolder(const std::string& folder,
                                   const std::function<bool(const std::string& path)>& opensForReading);

// What is missing, in a driver's words, for the folder dialog's hint line; empty for a usable folder
// and for one without gpl.exe, where the dialog's own hint already says what it wants.
std::string_view FolderHint(FolderVerdict verdict);

// One line for the folder dialog when the remembered folder would not do.
std::string RememberedFolderProblem(std::string_view folder, std::string_view why);

// The part after the folder's name in that line, for the failure that stopped the start.
std::string_view FolderProblemReason(FolderVerdict verdict);

}  // namespace lapforge

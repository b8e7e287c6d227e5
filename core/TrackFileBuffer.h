#pragma once

#include "core/Failure.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace lapforge {

inline constexpr std::size_t TrackLineCount = 100;
// The simulator reads its deploy point from the 54th line.
inline constexpr std::size_t DeployLineIndex = 53;
inline constexpr std::string_view TrackFileName = "\\tracks\\nurburg\\track.ini";
// The folder of GPL's track files, its own and the mods'; GPL's own among them.
inline constexpr std::string_view TrackFolderName = "\\tracks\\nurburg";
inline constexpr std::string_view MainTrackFileName = "track.ini";
// The last part of a path: a file's name.
inline std::string_view FileNameOf(std::string_view path) { return path.substr(path.find_last_of('\\') + 1); }
// The user's own track file, kept beside it before the first rewrite and never overwritten.
inline constexpr std::string_view OriginalCopySuffix = ".lapforge-original";

// A track file that has fewer lines than the buffer holds.
class TrackFileTooShort : public Failure {
public:
    using Failure::Failure;
};

// A track file whose 54th line is not a deploy point: another season's or a track update's file
// may keep other settings there, which Lapforge must never overwrite.
class NotADeployLine : public Failure {
public:
    using Failure::Failure;
};

// Lapforge's note of GPL's own deploy point could not be written beside the track file, so the
// track file was left as it was.
class RecordNotWritten : public Failure {
public:
    using Failure::Failure;
};

// A refusal to write a track file (its full path), with why and what to do where a folder Windows
// protects explains it; as it came otherwise.
[[noreturn]] void ThrowRefusedInTrackFolder(const AccessDenied& refused, const std::string& trackPath);

// Where a file's deploy line is: GPL's own track.ini has it on line 54 and nowhere else; a mod's
// file on line 54 where the mod kept that layout, else on the first deploy line of the 100.
enum class DeployLinePlace { Line54, Line54OrFirst };

// "stall_0", blanks, then "=": case and leading blanks do not matter, as GPL reads it.
bool IsDeployLine(std::string_view line);

// The first 100 lines of the simulator's track file, loaded once and rewritten with a new
// deploy-point line on every section change. Bytes after the 100th line are kept as loaded and
// written back unchanged, so a longer file loses nothing.
class TrackFileBuffer {
public:
    static std::string TrackFilePath(std::string_view folder);
    static std::string OriginalCopyPath(std::string_view folder);
    // A file of GPL's tracks\nurburg folder by name ("track65.ini").
    static std::string TrackFilePath(std::string_view folder, std::string_view fileName);
    // Removes the temporary files of the track file and of its original's copy that writers left
    // when they were killed; once when a folder is taken into use, not at every write.
    static void SweepLeftovers(std::string_view folder);

    // A line ends at CR LF or at a lone CR; a lone LF is an ordinary byte. Fewer than 100 lines
    // (TrackFileTooShort) or a 54th line that is no deploy point (NotADeployLine) is a failure, so
    // nothing is ever written over it; the entries read before it keep their new values.
    void ReadTrackFile(std::string_view folder);
    // The same for any track file by its full path; a file with no deploy line where `place` looks
    // is NotADeployLine.
    void ReadFile(const std::string& path, DeployLinePlace place);

    void SetDeployLine(std::string_view text);
    const std::string& DeployLine() const { return lines_[deployIndex_]; }
    std::size_t DeployIndex() const { return deployIndex_; }

    // Keeps a byte-exact copy of the file as it is unless one is there already, then replaces the
    // file (see ReplaceFileContents). Without the copy nothing is written: every change must have
    // a way back. A refusal in a folder Windows protects says why and what to do.
    void WriteTrackFile(std::string_view folder) const;
    void WriteFile(const std::string& path) const;

    const std::string& Line(std::size_t index) const { return lines_.at(index); }
    // What WriteTrackFile puts on disk.
    std::string Contents() const;

private:
    std::array<std::string, TrackLineCount> lines_;
    std::string tail_;
    std::size_t deployIndex_ = DeployLineIndex;
};

}  // namespace lapforge

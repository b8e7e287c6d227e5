#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// Beside the track file while Lapforge may have line 54 changed: the line to put back, written once
// before the first rewrite in a folder, so that the next Lapforge can put it back after a kill, a
// crash or a power cut.
inline constexpr std::string_view DeployRecordSuffix = ".lapforge-record";

struct DeployRecord {
    unsigned long processId = 0;  // the Lapforge that wrote it
    std::uint64_t processStart = 0;  // when that process started (0: not known, an older record)
    std::string found;               // line 54 before any Lapforge rewrote it

    bool operator==(const DeployRecord&) const = default;
};

std::string DeployRecordPath(std::string_view folder);

// Lines as in the track file (they end at CR), so every line 54 a track file can hold fits.
// `fileName`: the track file it belongs to, named in its heading.
std::string DeployRecordText(const DeployRecord& record, std::string_view fileName = "track.ini");
// Nothing unless it is whole: the heading, the process and the found line, each ended, and the
// closing line, which only a record written to its end has.
std::optional<DeployRecord> ParseDeployRecord(std::string_view bytes);

// The folder's record; nothing when there is none or it cannot be read as one.
std::optional<DeployRecord> ReadDeployRecord(std::string_view folder);
// Replaces the record in one step (see ReplaceFileContents); a read-only one is Lapforge's own and
// is written all the same.
void WriteDeployRecord(std::string_view folder, const DeployRecord& record);
// The same for any track file's record, by the track file's full path.
std::optional<DeployRecord> ReadDeployRecordOf(const std::string& trackPath);
void WriteDeployRecordOf(const std::string& trackPath, const DeployRecord& record);

// Line 54 as found, given the record beside the track file and the line 54 the file holds now.
struct FoundDeployLine {
    std::string line;
    bool recordStale = false;  // the record says nothing true any more: it may go
};
// `writerRuns`: the record's process runs and is not this one. Its found line then stays the found
// line whatever the file holds: that Lapforge may rewrite at any moment. A writer that has ended
// left line 54 at one of the lines a Lapforge writes (`isLapforgeLine`: a section's or a driver's
// own point's) or still at the found line; any other line was put there since, by the driver or a
// track update, and is the new line as found.
FoundDeployLine DeployLineAsFound(const std::optional<DeployRecord>& record, std::string_view line54, bool writerRuns,
                                  const std::function<bool(std::string_view line)>& isLapforgeLine);

}  // namespace lapforge

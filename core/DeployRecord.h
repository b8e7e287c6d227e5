#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// Beside the track file while Lapforge has line 54 changed: what it must put back, written before
// each rewrite, so that the next Lapforge can put it back after a kill, a crash or a power cut.
inline constexpr std::string_view DeployRecordSuffix = ".lapforge-record";

struct DeployRecord {
    unsigned long processId = 0;  // the Lapforge that wrote it
    std::string found;            // line 54 before any Lapforge rewrote it
    std::string previous;         // line 54 before the rewrite the record was written for
    std::string written;          // line 54 that rewrite writes

    bool operator==(const DeployRecord&) const = default;
};

std::string DeployRecordPath(std::string_view folder);

// Lines as in the track file (they end at CR), so every line 54 a track file can hold fits.
std::string DeployRecordText(const DeployRecord& record);
std::optional<DeployRecord> ParseDeployRecord(std::string_view bytes);

// The folder's record; nothing when there is none or it cannot be read as one.
std::optional<DeployRecord> ReadDeployRecord(std::string_view folder);
// Replaces the record in one step (see ReplaceFileContents).
void WriteDeployRecord(std::string_view folder, const DeployRecord& record);

// Line 54 as found, given the record beside the track file and the line 54 the file holds now.
struct FoundDeployLine {
    std::string line;
    bool recordStale = false;  // the record says nothing true any more: it may go
};
// `writerRuns`: the record's process runs and is not this one. Its found line then stays the found
// line whatever the file holds: that Lapforge may rewrite at any moment, or its id may have been
// given to another program since, and either way GPL's own line is the one it recorded. A writer
// that has ended left line 54 at the line it wrote (or, killed in the middle of a rewrite, at the
// line before); any other line was put there since, by the driver or a track update, and is the
// new line as found.
FoundDeployLine DeployLineAsFound(const std::optional<DeployRecord>& record, std::string_view line54, bool writerRuns);

}  // namespace lapforge

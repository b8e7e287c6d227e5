#include "core/DeployRecord.h"

#include "core/FileIO.h"
#include "core/ReplaceFile.h"
#include "core/TrackFileBuffer.h"

#include <charconv>
#include <exception>

namespace lapforge {

namespace {

constexpr std::string_view Heading =
    "; Lapforge puts line 54 of track.ini back from this file; it goes when Lapforge exits";
constexpr std::string_view ModHeadingStart = "; Lapforge puts the deploy line of ";
constexpr std::string_view ModHeadingEnd = " back from this file; it goes when Lapforge exits";
constexpr std::string_view ProcessKey = "process=";
constexpr std::string_view StartedKey = "started=";
constexpr std::string_view FoundKey = "found=";
constexpr std::string_view EndLine = "; end";
// An older Lapforge's record has no closing line; its last line, after the found one, is this.
constexpr std::string_view OlderLastKey = "written=";

template <typename Number>
bool ParseNumber(std::string_view digits, Number& value) {
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return !digits.empty() && error == std::errc() && stop == digits.data() + digits.size();
}

}  // namespace

std::string DeployRecordPath(std::string_view folder) {
    return TrackFileBuffer::TrackFilePath(folder) + std::string(DeployRecordSuffix);
}

std::string DeployRecordText(const DeployRecord& record, std::string_view fileName) {
    std::string text = fileName == MainTrackFileName
                           ? std::string(Heading)
                           : std::string(ModHeadingStart) + std::string(fileName) + std::string(ModHeadingEnd);
    text += "\r\n";
    text += std::string(ProcessKey) + std::to_string(record.processId) + "\r\n";
    text += std::string(StartedKey) + std::to_string(record.processStart) + "\r\n";
    text += std::string(FoundKey) + record.found + "\r\n";
    text += std::string(EndLine) + "\r\n";
    return text;
}

std::optional<DeployRecord> ParseDeployRecord(std::string_view bytes) {
    DeployRecord record;
    bool process = false, found = false, ended = false, olderWhole = false;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\r');
        // A line without its end marker was cut short: its text may be cut too.
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end + 1);
        if (!bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);

        if (line.starts_with(ProcessKey)) {
            process = ParseNumber(line.substr(ProcessKey.size()), record.processId);
        } else if (line.starts_with(StartedKey)) {
            if (!ParseNumber(line.substr(StartedKey.size()), record.processStart)) record.processStart = 0;
        } else if (line.starts_with(FoundKey)) {
            record.found = line.substr(FoundKey.size());
            found = true;
        } else if (line == EndLine) {
            ended = true;
        } else if (line.starts_with(OlderLastKey)) {
            olderWhole = found;
        }
    }
    if (!process || !found || !(ended || olderWhole)) return std::nullopt;
    return record;
}

std::optional<DeployRecord> ReadDeployRecord(std::string_view folder) {
    return ReadDeployRecordOf(TrackFileBuffer::TrackFilePath(folder));
}

std::optional<DeployRecord> ReadDeployRecordOf(const std::string& trackPath) {
    const std::string path = trackPath + std::string(DeployRecordSuffix);
    if (!PathExists(path)) return std::nullopt;
    try {
        return ParseDeployRecord(ReadWholeFile(path));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void WriteDeployRecord(std::string_view folder, const DeployRecord& record) {
    WriteDeployRecordOf(TrackFileBuffer::TrackFilePath(folder), record);
}

void WriteDeployRecordOf(const std::string& trackPath, const DeployRecord& record) {
    ReplaceFileContents(trackPath + std::string(DeployRecordSuffix), DeployRecordText(record, FileNameOf(trackPath)),
                        ReplaceMode::OwnFile);
}

FoundDeployLine DeployLineAsFound(const std::optional<DeployRecord>& record, std::string_view line54, bool writerRuns,
                                  const std::function<bool(std::string_view line)>& isLapforgeLine) {
    if (!record) return {std::string(line54), false};
    if (writerRuns || line54 == record->found || isLapforgeLine(line54)) return {record->found, false};
    return {std::string(line54), true};
}

}  // namespace lapforge

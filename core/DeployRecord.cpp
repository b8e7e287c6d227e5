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
constexpr std::string_view ProcessKey = "process=";
constexpr std::string_view FoundKey = "found=";
constexpr std::string_view PreviousKey = "previous=";
constexpr std::string_view WrittenKey = "written=";

}  // namespace

std::string DeployRecordPath(std::string_view folder) {
    return TrackFileBuffer::TrackFilePath(folder) + std::string(DeployRecordSuffix);
}

std::string DeployRecordText(const DeployRecord& record) {
    std::string text(Heading);
    text += "\r\n";
    text += std::string(ProcessKey) + std::to_string(record.processId) + "\r\n";
    text += std::string(FoundKey) + record.found + "\r\n";
    text += std::string(PreviousKey) + record.previous + "\r\n";
    text += std::string(WrittenKey) + record.written + "\r\n";
    return text;
}

std::optional<DeployRecord> ParseDeployRecord(std::string_view bytes) {
    DeployRecord record;
    bool process = false, found = false, previous = false, written = false;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\r');
        const std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!bytes.empty() && bytes.front() == '\n') bytes.remove_prefix(1);

        if (line.starts_with(ProcessKey)) {
            const std::string_view digits = line.substr(ProcessKey.size());
            const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), record.processId);
            process = error == std::errc() && stop == digits.data() + digits.size();
        } else if (line.starts_with(FoundKey)) {
            record.found = line.substr(FoundKey.size());
            found = true;
        } else if (line.starts_with(PreviousKey)) {
            record.previous = line.substr(PreviousKey.size());
            previous = true;
        } else if (line.starts_with(WrittenKey)) {
            record.written = line.substr(WrittenKey.size());
            written = true;
        }
    }
    if (!process || !found || !previous || !written) return std::nullopt;
    return record;
}

std::optional<DeployRecord> ReadDeployRecord(std::string_view folder) {
    const std::string path = DeployRecordPath(folder);
    if (!PathExists(path)) return std::nullopt;
    try {
        return ParseDeployRecord(ReadWholeFile(path));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void WriteDeployRecord(std::string_view folder, const DeployRecord& record) {
    ReplaceFileContents(DeployRecordPath(folder), DeployRecordText(record));
}

FoundDeployLine DeployLineAsFound(const std::optional<DeployRecord>& record, std::string_view line54, bool writerRuns) {
    if (!record) return {std::string(line54), false};
    if (writerRuns || line54 == record->written || line54 == record->previous) return {record->found, false};
    return {std::string(line54), true};
}

}  // namespace lapforge

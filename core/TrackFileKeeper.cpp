#include "core/TrackFileKeeper.h"

#include "core/DeployRecord.h"
#include "core/FileIO.h"
#include "core/LapPoints.h"
#include "core/Messages.h"
#include "core/ProcessId.h"
#include "core/ReplaceFile.h"

#include <algorithm>
#include <cctype>

namespace lapforge {

bool IsTrackFileName(std::string_view name) {
    constexpr std::string_view start = "track", end = ".ini";
    if (name.size() < start.size() + end.size() || !SameFileName(name.substr(0, start.size()), start) ||
        !SameFileName(name.substr(name.size() - end.size()), end))
        return false;
    const std::string_view tag = name.substr(start.size(), name.size() - start.size() - end.size());
    // Plain ASCII: a byte of another code page is no letter here, whatever the locale says.
    return std::all_of(tag.begin(), tag.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

bool TrackFileNameBefore(std::string_view a, std::string_view b) {
    const bool mainA = SameFileName(a, MainTrackFileName), mainB = SameFileName(b, MainTrackFileName);
    if (mainA != mainB) return mainA;
    return SameFileName(a, b) ? a < b : FileNameBefore(a, b);
}

std::vector<std::string> TrackFileNames(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return !IsTrackFileName(name); });
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return TrackFileNameBefore(a, b); });
    return names;
}

std::string ModName(std::string_view fileName) {
    std::string tag(fileName.substr(5, fileName.size() < 9 ? 0 : fileName.size() - 9));
    if (tag.size() == 2 && std::isdigit(static_cast<unsigned char>(tag[0])) &&
        std::isdigit(static_cast<unsigned char>(tag[1])))
        return "19" + tag;
    std::transform(tag.begin(), tag.end(), tag.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
    return tag;
}

TrackFileKeeper::TrackFileKeeper(std::string folder, std::string fileName)
    : folder_(std::move(folder)), fileName_(std::move(fileName)) {}

std::string TrackFileKeeper::Path() const { return TrackFileBuffer::TrackFilePath(folder_, fileName_); }

bool TrackFileKeeper::IsMain() const { return SameFileName(fileName_, MainTrackFileName); }

std::string TrackFileKeeper::RecordPath() const { return Path() + std::string(DeployRecordSuffix); }

void TrackFileKeeper::Open() {
    const std::string path = Path();
    // Once when the file is taken into use, not at every write: a scan of the folder costs more
    // than the write itself.
    SweepTemporaryFiles(path);
    SweepTemporaryFiles(path + std::string(OriginalCopySuffix));
    SweepTemporaryFiles(RecordPath());
    found_.reset();
    recordHere_ = recordWritten_ = lastWriteFailed_ = false;
    lines_.ReadFile(path, IsMain() ? DeployLinePlace::Line54 : DeployLinePlace::Line54OrFirst);

    const std::optional<DeployRecord> record = ReadDeployRecordOf(path);
    const bool mine = record && record->processId == OwnProcessId() &&
                      (record->processStart == 0 || record->processStart == OwnProcessStartTime());
    const bool writerRuns = record && !mine && ProcessRunsSince(record->processId, record->processStart);
    FoundDeployLine found = DeployLineAsFound(record, lines_.DeployLine(), writerRuns, IsLapforgeDeployLine);
    found_ = std::move(found.line);
    // A running writer's record stays its own until this Lapforge writes one of its own.
    recordHere_ = record && !writerRuns;
    if (found.recordStale && RemoveFile(RecordPath())) recordHere_ = false;
}

std::optional<std::string> TrackFileKeeper::ReadAgain() {
    if (!found_) {
        // The file could not be read when it was taken into use: this is its first read.
        Open();
        return std::nullopt;
    }
    TrackFileBuffer now;
    now.ReadFile(Path(), IsMain() ? DeployLinePlace::Line54 : DeployLinePlace::Line54OrFirst);
    const std::string line = now.DeployLine();
    const bool changedElsewhere = line != lines_.DeployLine() && line != *found_ && !IsLapforgeDeployLine(line);
    lines_ = std::move(now);
    if (!changedElsewhere) return std::nullopt;
    // As after a kill: the new line is GPL's own from now on, and the record must say so first.
    found_ = line;
    recordWritten_ = false;
    return line;
}

void TrackFileKeeper::WriteRecordOnce() {
    if (recordWritten_) return;
    // Written ahead: a kill at any moment from here on leaves a record the next Lapforge can read.
    const std::string path = Path();
    try {
        WriteDeployRecordOf(path, DeployRecord{OwnProcessId(), OwnProcessStartTime(), *found_});
    } catch (const Failure& failure) {
        throw RecordNotWritten(RecordNotWrittenText(path, failure.what(), RefusedWriteAdvice(path)));
    }
    recordWritten_ = recordHere_ = true;
}

void TrackFileKeeper::ReplaceDeployLine(std::string_view line) {
    const std::string before = lines_.DeployLine();
    lastWriteFailed_ = true;
    lines_.SetDeployLine(line);
    try {
        lines_.WriteFile(Path());
    } catch (...) {
        lines_.SetDeployLine(before);  // a failed rewrite leaves the file as it was
        throw;
    }
    lastWriteFailed_ = false;
}

void TrackFileKeeper::WriteRead(std::string_view line) {
    lastWriteFailed_ = true;
    if (lines_.DeployLine() != line) {
        WriteRecordOnce();
        ReplaceDeployLine(line);
    }
    lastWriteFailed_ = false;
}

std::optional<std::string> TrackFileKeeper::Write(std::string_view line) {
    std::optional<std::string> changed = ReadAgain();
    WriteRead(line);
    return changed;
}

void TrackFileKeeper::RemoveRecord() {
    if (recordHere_ && RemoveFile(RecordPath())) recordHere_ = recordWritten_ = false;
}

void TrackFileKeeper::Restore() {
    if (!found_) return;
    try {
        ReadAgain();
    } catch (const NotADeployLine&) {
        // Someone put another setting there meanwhile: nothing of Lapforge's is left to put back.
        return RemoveRecord();
    }
    // The record, if any, already names the found line: putting it back needs no new one.
    if (lines_.DeployLine() != *found_ && IsLapforgeDeployLine(lines_.DeployLine())) ReplaceDeployLine(*found_);
    // A record that stays after all says only what is true: the line is as found.
    RemoveRecord();
}

void TrackFileKeeper::RestoreAfterFailure() noexcept {
    if (lastWriteFailed_) return;
    try {
        Restore();
    } catch (...) {
    }
}

void TrackFileKeeper::Abandon() noexcept {
    if (found_ && recordHere_ && lines_.DeployLine() == *found_) RemoveFile(RecordPath());
}

}  // namespace lapforge

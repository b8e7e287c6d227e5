#pragma once

#include "core/TrackFileBuffer.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Whether GPL may read a file of tracks\nurburg by this name: "track.ini", or a mod's
// "track<tag>.ini" whose tag is letters and digits ("track65.ini", "trackGT.ini"), in any case as
// Windows names are. Not one switched off ("_track65.ini") and none of Lapforge's own beside them.
bool IsTrackFileName(std::string_view name);
// The order of track files: track.ini first, then the mods' in name order, case aside.
bool TrackFileNameBefore(std::string_view a, std::string_view b);
// The track files among a folder's names, in that order.
std::vector<std::string> TrackFileNames(std::vector<std::string> names);
// A mod's name for the driver, from its file's tag: two digits are a year ("65": "1965"), any other
// tag stands as it is in capitals ("GT"). Empty for track.ini.
std::string ModName(std::string_view fileName);

// Keeps one of GPL's track files as GPL left it: the deploy line it found there is recorded beside
// it (write-ahead) before Lapforge first changes it, every write reads the file afresh and replaces
// only the deploy line, and Restore puts the found line back. A Lapforge killed meanwhile leaves a
// record from which the next one recovers the found line.
class TrackFileKeeper {
public:
    // `folder`: GPL's folder; `fileName`: a file of its tracks\nurburg folder.
    TrackFileKeeper(std::string folder, std::string fileName);

    const std::string& Folder() const { return folder_; }
    const std::string& FileName() const { return fileName_; }
    std::string Path() const;
    // GPL's own track.ini, rather than a mod's file.
    bool IsMain() const;

    // Takes the file into use: clears what killed writers left beside it, reads it, and takes its
    // deploy line as found, from the record a Lapforge left or from the line itself. Read failures
    // are thrown as they came; the keeper then stays closed.
    void Open();
    bool IsOpen() const { return found_.has_value(); }

    // Reads the file afresh. A deploy line someone else changed meanwhile to a line no Lapforge
    // writes becomes the line as found, and is returned; nothing otherwise.
    std::optional<std::string> ReadAgain();
    // Writes `line` as the deploy line of the file as just read: the record first, once, then the
    // file with one flush. A failure leaves the buffer as the file is.
    void WriteRead(std::string_view line);
    // Both: what ReadAgain returned.
    std::optional<std::string> Write(std::string_view line);

    // Puts the found line back where the line on disk is Lapforge's, and removes the record. Does
    // nothing for a keeper never opened.
    void Restore();
    // The same for the failure report: never throws, and does nothing when the last write failed,
    // since that failure is most likely what is being reported.
    void RestoreAfterFailure() noexcept;
    // A keeper given up before it wrote anything: its record goes if the file is as found.
    void Abandon() noexcept;

    // The deploy line as Lapforge last read or wrote it.
    const std::string& DeployLine() const { return lines_.DeployLine(); }
    const TrackFileBuffer& Lines() const { return lines_; }
    const std::optional<std::string>& FoundLine() const { return found_; }

private:
    std::string RecordPath() const;
    void WriteRecordOnce();
    void ReplaceDeployLine(std::string_view line);
    void RemoveRecord();

    std::string folder_;
    std::string fileName_;
    TrackFileBuffer lines_;
    // The deploy line as found; nothing until the file has been read.
    std::optional<std::string> found_;
    // A record beside the file is there that this Lapforge may remove once the line is as found.
    bool recordHere_ = false;
    // This Lapforge's own record, with the found line as it is now, is on disk.
    bool recordWritten_ = false;
    bool lastWriteFailed_ = false;
};

}  // namespace lapforge

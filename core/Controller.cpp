#include "core/Controller.h"

#include "core/DeployRecord.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Messages.h"
#include "core/ProcessId.h"
#include "core/ReplaceFile.h"
#include "core/SectionTable.h"
#include "core/Settings.h"
#include "core/SimulatorFolder.h"

#include <algorithm>
#include <exception>

namespace lapforge {

namespace {

// lapforge.ini could not be read at start, so this run never writes it.
class SettingsUnread : public Failure {
public:
    SettingsUnread() : Failure("lapforge.ini was not read") {}
};

// The one controller the program has, for the failure report.
Controller* reportedController = nullptr;

}  // namespace

Controller::Controller(View& view, std::string appFolder) : AppFolder(std::move(appFolder)), view_(view) {
    reportedController = this;
}

Controller::~Controller() {
    if (reportedController == this) reportedController = nullptr;
}

void RestoreDeployLineBeforeFailureReport() noexcept {
    if (reportedController) reportedController->RestoreDeployLineAfterFailure();
}

std::unique_ptr<Controller> Controller::Create(View& view, std::string appFolder) {
    return std::unique_ptr<Controller>(new Controller(view, std::move(appFolder)));
}

std::string SimulatorExeIn(std::string_view folder) { return std::string(folder) + std::string(SimulatorExeName); }

std::string Controller::SettingsFilePath() const { return AppFolder + std::string(SettingsFileName); }

std::string Controller::HelpPagePath() const { return AppFolder + std::string(HelpPageName); }

std::string Controller::SimulatorExePath() const { return SimulatorExeIn(GPLOrdnerPfad); }

Controller::LaunchOffer Controller::OfferLaunchPrograms() {
    LaunchOffer offer{SimulatorPrograms(FileNamesIn(GPLOrdnerPfad)), {}};
    offer.choice = ChooseLaunchProgram(offer.programs, launchProgram_);
    launchProgram_ = offer.choice.kept;
    if (!offer.choice.fallback.empty()) {
        try {
            SaveSettings();
        } catch (const SettingsNotSaved&) {
            // The fallback holds for the run all the same; the next start falls back again.
        }
    }
    return offer;
}

void Controller::PickLaunchProgram(std::string_view program) {
    launchProgram_ = IsDefaultSimulatorProgram(program) ? std::string() : std::string(program);
    SaveSettings();
}

std::string Controller::LaunchProgramPath() const {
    return launchProgram_.empty() ? SimulatorExePath() : GPLOrdnerPfad + "\\" + launchProgram_;
}

void Controller::FolderLoaded() {
    // Once per folder, not at every write: a scan of the folder costs more than the write itself.
    TrackFileBuffer::SweepLeftovers(GPLOrdnerPfad);
    SweepTemporaryFiles(DeployRecordPath(GPLOrdnerPfad));
    const std::optional<DeployRecord> record = ReadDeployRecord(GPLOrdnerPfad);
    const bool mine = record && record->processId == OwnProcessId() &&
                      (record->processStart == 0 || record->processStart == OwnProcessStartTime());
    const bool writerRuns = record && !mine && ProcessRunsSince(record->processId, record->processStart);
    FoundDeployLine found = DeployLineAsFound(record, TrackLines.Line(DeployLineIndex), writerRuns,
                                              [this](std::string_view line) { return IsLapforgeLine(line); });
    foundDeployLine_ = std::move(found.line);
    // A running writer's record stays its own until this Lapforge writes one of its own.
    recordHere_ = record && !writerRuns;
    if (found.recordStale && RemoveFile(DeployRecordPath(GPLOrdnerPfad))) recordHere_ = false;
    recordWritten_ = false;
}

std::optional<std::string> Controller::TryStartWithRememberedFolder() {
    const std::string path = SettingsFilePath();
    std::optional<std::string> bytes;
    try {
        bytes = ReadFileIfThere(path);  // one read for the folder and the rest
    } catch (const Failure& failure) {
        // Not a first run: the driver's folder, points and keys are in there. Nothing may overwrite
        // them in this run; he is told what failed and what to do, and may practise meanwhile.
        settingsUnreadable_ = true;
        view_.ShowErrorMessage(SettingsUnreadableText(failure.what()));
        return std::string(SettingsUnreadableProblem);
    }
    if (!bytes) return std::string();  // a first run
    SettingsRead read = ParseSettings(*bytes);
    HotkeyBindings = std::move(read.settings.bindings);
    Points = std::move(read.settings.points);
    otherSettingsLines_ = std::move(read.settings.otherLines);
    launchProgram_ = std::move(read.settings.launch);
    skipped_ = std::move(read.skipped);
    try {
        GPLOrdnerPfad = SettingsFolder(*bytes, path);
    } catch (const std::exception&) {
        return std::string();
    }
    const FolderVerdict verdict = LoadTrackFileVerdict(TrackLines, GPLOrdnerPfad);
    if (verdict != FolderVerdict::Usable) return RememberedFolderProblem(GPLOrdnerPfad, FolderProblemReason(verdict));
    FolderLoaded();
    try {
        view_.SelectSection(StartSection);
        return std::nullopt;
    } catch (const std::exception& failure) {
        return RememberedFolderProblem(GPLOrdnerPfad, failure.what());
    }
}

void Controller::StartUp() {
    // lapforge.ini is replaced as the track file is: a kill may leave a temporary file beside it too.
    SweepTemporaryFiles(SettingsFilePath());
    const std::optional<std::string> problem = TryStartWithRememberedFolder();
    if (!problem) return;

    view_.AskForSimulatorFolder(*problem);
    if (GPLOrdnerPfad == NotInstalled) {
        // A driver whose lapforge.ini could not be read knows why he cancelled: he was told.
        if (!settingsUnreadable_) view_.ShowErrorMessage(NotInstalledMessage);
        view_.EndProgram();
        return;
    }
    // Lapforge can go on without lapforge.ini for this run; the next start asks again.
    if (!settingsUnreadable_) {
        try {
            WriteSettings();
        } catch (const Failure& failure) {
            view_.ShowErrorMessage(
                FolderNotRememberedText(failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
        }
    }
    // Nothing of the remembered folder's holds for the one picked, least of all its line as found.
    foundDeployLine_.reset();
    recordHere_ = recordWritten_ = false;
    // The dialog checked the folder, but a scanner, a sync client or a full disk may still refuse the
    // first rewrite: Lapforge goes on and says so, and the next pick or press tries again.
    try {
        TrackLines.ReadTrackFile(GPLOrdnerPfad);
        FolderLoaded();
        view_.SelectSection(StartSection);
    } catch (const std::exception& failure) {
        view_.ShowRefusedRewrite(failure);
    }
}

void Controller::WriteSettings() const {
    if (settingsUnreadable_) throw SettingsUnread();
    WriteSettingsFile(SettingsFilePath(), GPLOrdnerPfad,
                      Settings{HotkeyBindings, Points, otherSettingsLines_, launchProgram_});
}

void Controller::SaveSettings() const {
    try {
        WriteSettings();
    } catch (const SettingsUnread&) {
        throw SettingsNotSaved(std::string(SettingsUnreadNotSavedText));
    } catch (const Failure& failure) {
        throw SettingsNotSaved(SettingsNotSavedText(failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
    }
}

void Controller::SetBindings(const Bindings& bindings) {
    ForgetDecidedLines(otherSettingsLines_, HotkeyBindings, bindings);
    HotkeyBindings = bindings;
    SaveSettings();
}

bool Controller::IsLapforgeLine(std::string_view line) const {
    return StopOfDeployLine(Points, line).has_value() ||
           std::find(retiredLines_.begin(), retiredLines_.end(), line) != retiredLines_.end();
}

void Controller::ReadTrackFileAgain() {
    TrackFileBuffer now;
    now.ReadTrackFile(GPLOrdnerPfad);
    const bool firstRead = !foundDeployLine_;
    const std::string line54 = now.Line(DeployLineIndex);
    const bool changedElsewhere = !firstRead && line54 != TrackLines.Line(DeployLineIndex) &&
                                  line54 != *foundDeployLine_ && !IsLapforgeLine(line54);
    TrackLines = std::move(now);
    if (firstRead) return FolderLoaded();  // the folder could not be read when it was chosen
    if (!changedElsewhere) return;
    // As after a kill: the new line is GPL's own from now on, and the record must say so first.
    foundDeployLine_ = line54;
    recordWritten_ = false;
    view_.DeployLineChangedElsewhere(line54);
}

void Controller::WriteRecordOnce() {
    if (recordWritten_) return;
    // Written ahead: a kill at any moment from here on leaves a record the next Lapforge can read.
    const std::string trackPath = TrackFileBuffer::TrackFilePath(GPLOrdnerPfad);
    try {
        WriteDeployRecord(GPLOrdnerPfad, DeployRecord{OwnProcessId(), OwnProcessStartTime(), *foundDeployLine_});
    } catch (const Failure& failure) {
        throw RecordNotWritten(RecordNotWrittenText(trackPath, failure.what(), RefusedWriteAdvice(trackPath)));
    }
    recordWritten_ = recordHere_ = true;
}

void Controller::RewriteDeployLine(std::string_view line) {
    ReadTrackFileAgain();
    WriteDeployLine(line);
}

void Controller::WriteDeployLine(std::string_view line) {
    lastRewriteFailed_ = true;
    const std::string before = TrackLines.Line(DeployLineIndex);
    if (before != line) {
        WriteRecordOnce();
        TrackLines.SetDeployLine(line);
        try {
            TrackLines.WriteTrackFile(GPLOrdnerPfad);
        } catch (...) {
            TrackLines.SetDeployLine(before);  // a failed rewrite leaves the file as it was
            throw;
        }
    }
    lastRewriteFailed_ = false;
}

void Controller::RestoreDeployLine() {
    if (!foundDeployLine_) return;
    try {
        ReadTrackFileAgain();
    } catch (const NotADeployLine&) {
        // Someone put another setting there meanwhile: nothing of Lapforge's is left to put back.
        if (recordHere_ && RemoveFile(DeployRecordPath(GPLOrdnerPfad))) recordHere_ = recordWritten_ = false;
        return;
    }
    const std::string line54 = TrackLines.Line(DeployLineIndex);
    // The record, if any, already names the found line: putting it back needs no new one.
    if (line54 != *foundDeployLine_ && IsLapforgeLine(line54)) {
        lastRewriteFailed_ = true;
        TrackLines.SetDeployLine(*foundDeployLine_);
        try {
            TrackLines.WriteTrackFile(GPLOrdnerPfad);
        } catch (...) {
            TrackLines.SetDeployLine(line54);
            throw;
        }
        lastRewriteFailed_ = false;
    }
    // A record that stays after all says only what is true: line 54 is as found.
    if (recordHere_ && RemoveFile(DeployRecordPath(GPLOrdnerPfad))) recordHere_ = recordWritten_ = false;
}

void Controller::RestoreDeployLineAfterFailure() noexcept {
    if (lastRewriteFailed_) return;
    try {
        RestoreDeployLine();
    } catch (...) {
    }
}

Controller::FolderState Controller::Current() const {
    return FolderState{GPLOrdnerPfad, TrackLines, foundDeployLine_, recordHere_, recordWritten_};
}

void Controller::Resume(FolderState state) {
    GPLOrdnerPfad = std::move(state.folder);
    TrackLines = std::move(state.lines);
    foundDeployLine_ = std::move(state.found);
    recordHere_ = state.recordHere;
    recordWritten_ = state.recordWritten;
    lastRewriteFailed_ = false;
}

void Controller::ChangeFolder(const std::string& folder, std::string_view section) {
    ChangeFolder(folder, SectionStop(SectionTable::Find(section).value_or(0)));
}

void Controller::ChangeFolder(const std::string& folder, const Stop& section) {
    // Everything that can be checked without a change, first.
    try {
        TrackFileBuffer trial;
        trial.ReadTrackFile(folder);
        ProbeWritable(TrackFileBuffer::TrackFilePath(folder));
        RestoreDeployLine();
    } catch (const std::exception& failure) {
        throw FolderNotChanged(FolderChangeFailedText(failure.what()));
    }

    const std::string oldFolder = GPLOrdnerPfad;
    FolderState old = Current();
    bool entered = false;
    try {
        // Read once the old line is back: the same file under another name then reads as found.
        TrackFileBuffer next;
        next.ReadTrackFile(folder);
        GPLOrdnerPfad = folder;
        TrackLines = std::move(next);
        entered = true;
        FolderLoaded();
        ApplyStop(section);
    } catch (const std::exception& failure) {
        // The new file is as it was; a record of this Lapforge's there that undoes nothing goes again.
        if (entered && recordHere_ && TrackLines.Line(DeployLineIndex) == *foundDeployLine_)
            RemoveFile(DeployRecordPath(GPLOrdnerPfad));
        Resume(std::move(old));
        std::string notRewritten;
        try {
            ApplyStop(section);
        } catch (const std::exception& again) {
            notRewritten = again.what();
        }
        throw FolderNotChanged(FolderChangeFailedText(failure.what(), notRewritten));
    }

    try {
        WriteSettings();
    } catch (const SettingsUnread&) {
        throw SettingsNotSaved(FolderKeptForTheRunText(folder));
    } catch (const Failure& failure) {
        throw SettingsNotSaved(
            FolderNotSavedText(folder, oldFolder, failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
    }
}

void Controller::ApplySection(std::string_view name) {
    if (const auto index = SectionTable::Find(name)) ApplyStop(SectionStop(*index));
}

void Controller::ApplyStop(const Stop& stop) {
    if (stop.ownPoint && !FindPoint(Points, stop.metres)) return;
    WriteStop(stop);
    ShowStopPictures(stop);
}

void Controller::WriteStop(const Stop& stop) {
    if (stop.ownPoint && !FindPoint(Points, stop.metres)) return;
    RewriteDeployLine(StopDeployLine(stop));
}

std::optional<MapRoad> Controller::RoadOfMap(std::string_view mapPicture) const {
    try {
        const std::string picture = ReadWholeFile(AppFolder + std::string(mapPicture));
        return RoadOfPicture(ReadWholeFile(AppFolder + MapRoadFileName(mapPicture)), picture);
    } catch (const std::exception&) {
        return std::nullopt;  // no road file: a map that takes no clicks, as the driver's own does
    }
}

void Controller::ShowStopPictures(const Stop& stop) {
    const Section& section = SectionTable::Rows()[stop.ownPoint ? SectionOf(stop.metres) : stop.section];
    // A point's view is the lap view nearest to it; where that file is gone, its section's.
    const std::string lapView = AppFolder + LapViewName(stop.metres);
    const bool ownView = stop.ownPoint && FileOpensForReading(lapView);
    view_.ShowViewPicture(ownView ? lapView : AppFolder + std::string(section.viewPicture));
    const bool shown = view_.ShowMapPicture(AppFolder + std::string(section.mapPicture));
    shownRoad_ = shown ? RoadOfMap(section.mapPicture) : std::nullopt;
    std::optional<MapPixel> flag;
    if (shownRoad_ && stop.ownPoint) flag = RoadPixelOf(*shownRoad_, stop.metres);
    view_.ShowMapRoad(shownRoad_.has_value(), flag, shownRoad_ ? shownRoad_->colour : 0);
}

std::optional<int> Controller::RoadMetresAtClick(MapPixel pixel) const {
    if (!shownRoad_) return std::nullopt;
    const std::optional<double> metres = RoadMetresAt(*shownRoad_, pixel);
    if (!metres) return std::nullopt;
    return static_cast<int>(*metres + 0.5) % LapMetres;
}

Controller::MapClickVerdict Controller::MapClicked(MapPixel pixel) const {
    const std::optional<int> metres = RoadMetresAtClick(pixel);
    if (!metres) return {};
    if (std::optional<std::string> problem = PlaceProblem(Points, *metres)) return {std::nullopt, std::move(*problem)};
    return {metres, {}};
}

std::optional<Stop> Controller::PointsEdited() {
    const std::optional<Stop> onDisk = StopOnDisk();
    if (onDisk) ShowStopPictures(*onDisk);
    return onDisk;
}

std::vector<Stop> Controller::ListedStops() const { return LapStops(OwnPoints{Points.list, false}); }

std::string Controller::StopName(const Stop& stop) const {
    if (!stop.ownPoint) return std::string(SectionTable::Rows()[stop.section].name);
    const OwnPoint* point = FindPoint(Points, stop.metres);
    return point ? point->name : KmText(stop.metres);
}

std::optional<Stop> Controller::StopOnDisk() const {
    return StopOfDeployLine(Points, TrackLines.Line(DeployLineIndex));
}

std::string Controller::PlaceOnDisk() const {
    const std::optional<Stop> stop = StopOnDisk();
    if (!stop) return {};
    if (!stop->ownPoint) return StopName(*stop);
    return StopName(*stop) + " (" + KmText(stop->metres) + ")";
}

std::optional<std::string> Controller::AddPoint(int metres, std::string_view name) {
    if (std::optional<std::string> refused = lapforge::AddPoint(Points, metres, name)) return refused;
    SaveSettings();
    return std::nullopt;
}

std::optional<std::string> Controller::RenamePoint(int metres, std::string_view name) {
    if (std::optional<std::string> refused = lapforge::RenamePoint(Points, metres, name)) return refused;
    SaveSettings();
    return std::nullopt;
}

void Controller::RemovePoint(int metres) {
    if (!FindPoint(Points, metres)) return;
    const std::string line = PointDeployLine(metres);
    if (TrackLines.Line(DeployLineIndex) == line) {
        // GPL would start the driver at a place he no longer has: at its section instead.
        retiredLines_.push_back(line);
        try {
            WriteStop(SectionStop(SectionOf(metres)));
        } catch (const std::exception&) {
        }
    }
    lapforge::RemovePoint(Points, HotkeyBindings, metres);
    SaveSettings();
}

bool Controller::SetOnlyMyPoints(bool only) {
    const bool was = Points.onlyThese;
    const bool now = SetOnlyThese(Points, only);
    if (now != was) SaveSettings();
    return now;
}

std::optional<std::string> Controller::LeaveSimulatorAsFound() noexcept {
    try {
        RestoreDeployLine();
        return std::nullopt;
    } catch (const std::exception& failure) {
        return RestoreFailedText(failure.what());
    } catch (...) {
        return RestoreFailedText(std::string());
    }
}

void Controller::AdoptJoystickIdentities(const std::vector<JoystickInfo>& joysticks) {
    if (!AdoptIdentities(HotkeyBindings, joysticks)) return;
    try {
        SaveSettings();
    } catch (const Failure&) {
    }
}

StopAnnouncement Controller::WriteNeighbour(bool forward) {
    // From what the file holds now, whatever the list shows: the stop after or before its place on
    // the lap, also from GPL's own line.
    ReadTrackFileAgain();
    const std::string& line54 = TrackLines.Line(DeployLineIndex);
    const Stop to = forward ? NextStop(Points, line54) : PreviousStop(Points, line54);
    WriteDeployLine(StopDeployLine(to));
    return AnnouncementOf(to);
}

StopAnnouncement Controller::AnnouncementOf(const Stop& stop) const {
    if (stop.ownPoint) return StopAnnouncement{stop, std::string(), StopName(stop)};
    return StopAnnouncement{stop, AppFolder + std::string(SectionTable::Rows()[stop.section].announcement), {}};
}

std::optional<NeighbourSection> Controller::Successor(std::string_view name) const {
    const auto index = SectionTable::Find(name);
    if (!index) return std::nullopt;
    const Section& next = SectionTable::Rows()[SectionTable::Successor(*index)];
    return NeighbourSection{next.name, AppFolder + std::string(next.announcement)};
}

std::optional<NeighbourSection> Controller::Predecessor(std::string_view name) const {
    const auto index = SectionTable::Find(name);
    if (!index) return std::nullopt;
    const Section& previous = SectionTable::Rows()[SectionTable::Predecessor(*index)];
    return NeighbourSection{previous.name, AppFolder + std::string(previous.announcement)};
}

}  // namespace lapforge

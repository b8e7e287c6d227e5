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

#include <exception>

namespace lapforge {

namespace {

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

void Controller::LoadTrackFile() {
    TrackLines.ReadTrackFile(GPLOrdnerPfad);
    TrackFileLoaded();
}

void Controller::TrackFileLoaded() {
    const std::optional<DeployRecord> record = ReadDeployRecord(GPLOrdnerPfad);
    const bool writerRuns = record && record->processId != OwnProcessId() && ProcessRuns(record->processId);
    FoundDeployLine found = DeployLineAsFound(record, TrackLines.Line(DeployLineIndex), writerRuns);
    foundDeployLine_ = std::move(found.line);
    // A running writer's record stays its own until this Lapforge writes one of its own.
    recordHere_ = record && !writerRuns;
    if (found.recordStale && RemoveFile(DeployRecordPath(GPLOrdnerPfad))) recordHere_ = false;
    lastRewriteFailed_ = false;
}

std::optional<std::string> Controller::TryStartWithRememberedFolder() {
    // Any reason the remembered folder will not do leads to asking the user, who is told why.
    try {
        const std::string path = SettingsFilePath();
        const std::string bytes = ReadWholeFile(path);  // one read for the folder and the bindings
        HotkeyBindings = ParseBindings(bytes);
        GPLOrdnerPfad = SettingsFolder(bytes, path);
    } catch (const std::exception&) {
        return std::string();
    }
    const FolderVerdict verdict = LoadTrackFileVerdict(TrackLines, GPLOrdnerPfad);
    if (verdict != FolderVerdict::Usable) return RememberedFolderProblem(GPLOrdnerPfad, FolderProblemReason(verdict));
    TrackFileLoaded();
    try {
        view_.SelectSection(StartSection);
        return std::nullopt;
    } catch (const std::exception& failure) {
        return RememberedFolderProblem(GPLOrdnerPfad, failure.what());
    }
}

void Controller::StartUp() {
    const std::optional<std::string> problem = TryStartWithRememberedFolder();
    if (!problem) return;

    view_.AskForSimulatorFolder(*problem);
    if (GPLOrdnerPfad == NotInstalled) {
        view_.ShowErrorMessage(NotInstalledMessage);
        view_.EndProgram();
        return;
    }
    // Lapforge can go on without lapforge.ini for this run; the next start asks again.
    try {
        WriteSettings();
    } catch (const Failure& failure) {
        view_.ShowErrorMessage(FolderNotRememberedText(failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
    }
    LoadTrackFile();
    view_.SelectSection(StartSection);
}

void Controller::WriteSettings() const { WriteSettingsFile(SettingsFilePath(), GPLOrdnerPfad, HotkeyBindings); }

void Controller::SaveSettings() const {
    try {
        WriteSettings();
    } catch (const Failure& failure) {
        throw SettingsNotSaved(SettingsNotSavedText(failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
    }
}

void Controller::RewriteDeployLine(std::string_view line) {
    const std::string before = TrackLines.Line(DeployLineIndex);
    if (!foundDeployLine_) foundDeployLine_ = before;  // a buffer filled without StartUp, as tests do
    lastRewriteFailed_ = true;
    // Written ahead: a kill at any moment from here on leaves a record the next Lapforge can read.
    try {
        WriteDeployRecord(GPLOrdnerPfad, DeployRecord{OwnProcessId(), *foundDeployLine_, before, std::string(line)});
    } catch (const AccessDenied& refused) {
        ThrowRefusedInTrackFolder(refused, GPLOrdnerPfad);  // the record goes first, so it meets a refusal first
    }
    recordHere_ = true;
    TrackLines.SetDeployLine(line);
    try {
        TrackLines.WriteTrackFile(GPLOrdnerPfad);
    } catch (...) {
        TrackLines.SetDeployLine(before);  // a failed rewrite leaves the file as it was
        throw;
    }
    lastRewriteFailed_ = false;
}

void Controller::RestoreDeployLine() {
    if (!foundDeployLine_) return;
    if (TrackLines.Line(DeployLineIndex) != *foundDeployLine_) RewriteDeployLine(*foundDeployLine_);
    // A record that stays after all says only what is true: line 54 is as found.
    if (recordHere_ && RemoveFile(DeployRecordPath(GPLOrdnerPfad))) recordHere_ = false;
}

void Controller::RestoreDeployLineAfterFailure() noexcept {
    if (lastRewriteFailed_) return;
    try {
        RestoreDeployLine();
    } catch (...) {
    }
}

Controller::FolderState Controller::Current() const {
    return FolderState{GPLOrdnerPfad, TrackLines, foundDeployLine_, recordHere_};
}

void Controller::Resume(FolderState state) {
    GPLOrdnerPfad = std::move(state.folder);
    TrackLines = std::move(state.lines);
    foundDeployLine_ = std::move(state.found);
    recordHere_ = state.recordHere;
    lastRewriteFailed_ = false;
}

void Controller::ChangeFolder(const std::string& folder, std::string_view section) {
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
        TrackFileLoaded();
        ApplySection(section);
    } catch (const std::exception& failure) {
        // The new file is as it was; a record of this Lapforge's there that undoes nothing goes again.
        if (entered && recordHere_ && TrackLines.Line(DeployLineIndex) == *foundDeployLine_)
            RemoveFile(DeployRecordPath(GPLOrdnerPfad));
        Resume(std::move(old));
        std::string notRewritten;
        try {
            ApplySection(section);
        } catch (const std::exception& again) {
            notRewritten = again.what();
        }
        throw FolderNotChanged(FolderChangeFailedText(failure.what(), notRewritten));
    }

    try {
        WriteSettings();
    } catch (const Failure& failure) {
        throw SettingsNotSaved(
            FolderNotSavedText(folder, oldFolder, failure.what(), dynamic_cast<const ReadOnlyFile*>(&failure)));
    }
}

std::optional<std::string_view> Controller::SectionOnDisk() const {
    for (const Section& section : SectionTable::Rows())
        if (section.deployLine == TrackLines.Line(DeployLineIndex)) return section.name;
    return std::nullopt;
}

void Controller::ApplySection(std::string_view name) {
    const auto index = SectionTable::Find(name);
    if (!index) return;
    const Section& section = SectionTable::Rows()[*index];

    ShowSectionPictures(name);
    // The buffer holds what the file holds: a line already there needs no rewrite.
    if (TrackLines.Line(DeployLineIndex) != section.deployLine) RewriteDeployLine(section.deployLine);
}

void Controller::ShowSectionPictures(std::string_view name) {
    const auto index = SectionTable::Find(name);
    if (!index) return;
    const Section& section = SectionTable::Rows()[*index];
    view_.ShowViewPicture(AppFolder + std::string(section.viewPicture));
    view_.ShowMapPicture(AppFolder + std::string(section.mapPicture));
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

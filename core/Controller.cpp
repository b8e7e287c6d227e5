#include "core/Controller.h"

#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/SectionTable.h"
#include "core/Settings.h"
#include "core/SimulatorFolder.h"

#include <exception>

namespace lapforge {

Controller::Controller(View& view, std::string appFolder) : AppFolder(std::move(appFolder)), view_(view) {}

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
    foundDeployLine_ = TrackLines.Line(DeployLineIndex);
    rewritten_ = false;
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
    SaveSettings();
    LoadTrackFile();
    view_.SelectSection(StartSection);
}

void Controller::SaveSettings() const {
    try {
        WriteSettingsFile(SettingsFilePath(), GPLOrdnerPfad, HotkeyBindings);
    } catch (const Failure& failure) {
        throw Failure(std::string(failure.what()) +
                      ".\n\nLapforge keeps its settings beside lapforge.exe, and Windows does not let it write "
                      "there. Move the whole Lapforge folder to a folder you may write to, for example into "
                      "Documents, and start lapforge.exe there");
    }
}

void Controller::RestoreDeployLine() {
    if (!foundDeployLine_ || !rewritten_) return;
    TrackLines.SetDeployLine(*foundDeployLine_);
    TrackLines.WriteTrackFile(GPLOrdnerPfad);
    rewritten_ = false;
}

void Controller::ChangeFolder(const std::string& folder, std::string_view section) {
    RestoreDeployLine();
    TrackFileBuffer next;
    try {
        next.ReadTrackFile(folder);
    } catch (const std::exception&) {
        view_.SelectSection(section);  // the old folder stays in use, with the section shown
        throw;
    }
    GPLOrdnerPfad = folder;
    TrackLines = next;
    TrackFileLoaded();
    view_.SelectSection(section);
    SaveSettings();
}

void Controller::ApplySection(std::string_view name) {
    const auto index = SectionTable::Find(name);
    if (!index) return;
    const Section& section = SectionTable::Rows()[*index];

    view_.ShowViewPicture(AppFolder + std::string(section.viewPicture));
    view_.ShowMapPicture(AppFolder + std::string(section.mapPicture));
    TrackLines.SetDeployLine(section.deployLine);
    TrackLines.WriteTrackFile(GPLOrdnerPfad);
    rewritten_ = true;
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

#include "core/Controller.h"

#include "core/SectionTable.h"
#include "core/Settings.h"

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

bool Controller::TryStartWithRememberedFolder() {
    try {
        HotkeyBindings = ReadBindings(SettingsFilePath());
        GPLOrdnerPfad = ReadSettingsFile(SettingsFilePath());
        TrackLines.ReadTrackFile(GPLOrdnerPfad);
        view_.SelectSection(StartSection);
        return true;
    } catch (const std::exception&) {
        // Any reason the remembered folder will not do leads to asking the user.
        return false;
    }
}

void Controller::StartUp() {
    if (TryStartWithRememberedFolder()) return;

    view_.AskForSimulatorFolder();
    if (GPLOrdnerPfad == NotInstalled) {
        view_.ShowErrorMessage(NotInstalledMessage);
        view_.EndProgram();
        return;
    }
    SaveSettings();
    TrackLines.ReadTrackFile(GPLOrdnerPfad);
    view_.SelectSection(StartSection);
}

void Controller::ApplySection(std::string_view name) {
    const auto index = SectionTable::Find(name);
    if (!index) return;
    const Section& section = SectionTable::Rows()[*index];

    view_.ShowViewPicture(AppFolder + std::string(section.viewPicture));
    view_.ShowMapPicture(AppFolder + std::string(section.mapPicture));
    TrackLines.SetDeployLine(section.deployLine);
    TrackLines.WriteTrackFile(GPLOrdnerPfad);
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

void Controller::SaveSettings() const { WriteSettingsFile(SettingsFilePath(), GPLOrdnerPfad, HotkeyBindings); }

}  // namespace lapforge

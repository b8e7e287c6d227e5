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

const TrackFileBuffer& Controller::TrackLines() const {
    static const TrackFileBuffer none;
    return keepers_.empty() ? none : keepers_.front().Lines();
}

TrackFileKeeper& Controller::Main() {
    if (keepers_.empty()) keepers_.emplace_back(GPLOrdnerPfad, std::string(MainTrackFileName));
    return keepers_.front();
}

void Controller::EnterFolder() {
    keepers_.clear();
    keepers_.emplace_back(GPLOrdnerPfad, std::string(MainTrackFileName));
    notSteered_.clear();
    refused_.clear();
    FindModFiles();
    Main().Open();
}

void Controller::FindModFiles() {
    std::vector<std::string> names = TrackFileNames(FileNamesIn(GPLOrdnerPfad + std::string(TrackFolderName)));
    std::erase_if(names, [](const std::string& name) { return ModName(name).empty(); });  // track.ini, kept already
    // A mod switched off or gone: its keeper goes, and what it left beside it is recovered when the
    // file comes back. Asked of the file itself: a listing that failed for a moment forgets nothing.
    std::erase_if(keepers_,
                  [](const TrackFileKeeper& keeper) { return !keeper.IsMain() && !PathExists(keeper.Path()); });
    std::erase_if(refused_, [&](const ModFileTrouble& trouble) {
        return !PathExists(TrackFileBuffer::TrackFilePath(GPLOrdnerPfad, trouble.fileName));
    });
    notSteered_.clear();
    for (const std::string& name : names) {
        const auto kept = std::find_if(keepers_.begin(), keepers_.end(),
                                       [&](const TrackFileKeeper& keeper) { return keeper.FileName() == name; });
        if (kept != keepers_.end()) continue;
        TrackFileKeeper keeper(GPLOrdnerPfad, name);
        try {
            keeper.Open();
        } catch (const std::exception& failure) {
            notSteered_.push_back({name, ModFileNotSteeredStatus(failure.what(), ModName(name))});
            continue;
        }
        keepers_.push_back(std::move(keeper));
    }
    // Name order, as the driver sees them listed; track.ini stays first.
    std::stable_sort(keepers_.begin(), keepers_.end(), [](const TrackFileKeeper& a, const TrackFileKeeper& b) {
        return TrackFileNameBefore(a.FileName(), b.FileName());
    });
}

void Controller::FindTrackFiles() noexcept {
    if (keepers_.empty()) return;
    try {
        FindModFiles();
        // A mod installed since goes where track.ini sends GPL now, when that is Lapforge's place.
        if (Main().IsOpen() && Main().DeployLine() != *Main().FoundLine()) WriteModFiles(Main().DeployLine());
    } catch (const std::exception&) {
    }
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
    TrackFileBuffer trial;
    const FolderVerdict verdict = LoadTrackFileVerdict(trial, GPLOrdnerPfad);
    if (verdict != FolderVerdict::Usable) return RememberedFolderProblem(GPLOrdnerPfad, FolderProblemReason(verdict));
    try {
        EnterFolder();
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
    // The dialog checked the folder, but a scanner, a sync client or a full disk may still refuse the
    // first rewrite: Lapforge goes on and says so, and the next pick or press tries again. Nothing of
    // the remembered folder's holds for the one picked, least of all its line as found.
    try {
        EnterFolder();
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

void Controller::ReadTrackFileAgain() {
    if (const std::optional<std::string> changed = Main().ReadAgain()) view_.DeployLineChangedElsewhere(*changed);
}

void Controller::RewriteDeployLine(std::string_view line) {
    ReadTrackFileAgain();
    WriteFilesRead(line);
}

void Controller::WriteFilesRead(std::string_view line) {
    Main().WriteRead(line);
    WriteModFiles(line);
}

void Controller::WriteModFiles(std::string_view line) {
    for (TrackFileKeeper& keeper : keepers_) {
        if (keeper.IsMain()) continue;
        const auto trouble = std::find_if(refused_.begin(), refused_.end(),
                                          [&](const ModFileTrouble& t) { return t.fileName == keeper.FileName(); });
        try {
            keeper.Write(line);
            if (trouble != refused_.end()) refused_.erase(trouble);
        } catch (const std::exception& failure) {
            std::string status = ModFileRefusedStatus(failure, ModName(keeper.FileName()), keeper.FileName(),
                                                      PlaceOf(keeper.DeployLine()));
            if (trouble != refused_.end())
                trouble->status = std::move(status);
            else
                refused_.push_back({keeper.FileName(), std::move(status)});
        }
    }
}

void Controller::RestoreDeployLine() {
    std::exception_ptr first;
    for (TrackFileKeeper& keeper : keepers_) {
        try {
            keeper.Restore();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

void Controller::RestoreDeployLineAfterFailure() noexcept {
    for (TrackFileKeeper& keeper : keepers_) keeper.RestoreAfterFailure();
}

std::string Controller::ModFilesInStep() const {
    std::vector<std::string> mods;
    for (const TrackFileKeeper& keeper : keepers_)
        if (!keeper.IsMain() && keeper.DeployLine() == TrackLines().DeployLine())
            mods.push_back(ModName(keeper.FileName()));
    return ModTrackFilesText(mods);
}

std::string Controller::ModFilesProblem() const {
    if (!refused_.empty()) return refused_.front().status;
    if (!notSteered_.empty()) return notSteered_.front().status;
    return {};
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
    std::vector<TrackFileKeeper> oldKeepers = std::move(keepers_);
    std::vector<ModFileTrouble> oldNotSteered = std::move(notSteered_), oldRefused = std::move(refused_);
    try {
        // Read once the old line is back: the same file under another name then reads as found.
        GPLOrdnerPfad = folder;
        EnterFolder();
        ApplyStop(section);
    } catch (const std::exception& failure) {
        // The new files are as they were; a record of this Lapforge's there that undoes nothing goes again.
        for (TrackFileKeeper& keeper : keepers_) keeper.Abandon();
        GPLOrdnerPfad = oldFolder;
        keepers_ = std::move(oldKeepers);
        notSteered_ = std::move(oldNotSteered);
        refused_ = std::move(oldRefused);
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

std::optional<Stop> Controller::StopOnDisk() const { return StopOfDeployLine(Points, TrackLines().DeployLine()); }

std::string Controller::PlaceOnDisk() const { return PlaceOf(TrackLines().DeployLine()); }

std::string Controller::PlaceOf(std::string_view line) const {
    const std::optional<Stop> stop = StopOfDeployLine(Points, line);
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
    if (TrackLines().DeployLine() == line) {
        // GPL would start the driver at a place he no longer has: at its section instead.
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
    const std::string& line54 = TrackLines().DeployLine();
    const Stop to = forward ? NextStop(Points, line54) : PreviousStop(Points, line54);
    WriteFilesRead(StopDeployLine(to));
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

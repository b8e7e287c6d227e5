#pragma once

#include "core/Bindings.h"
#include "core/Failure.h"
#include "core/LapPoints.h"
#include "core/MapRoad.h"
#include "core/Settings.h"
#include "core/SimulatorLaunch.h"
#include "core/TrackFileBuffer.h"
#include "core/TrackFileKeeper.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

inline constexpr std::string_view NotInstalled = "GPL not installed";
inline constexpr std::string_view NotInstalledMessage =
    "If GPL isn't installed, then there's no use for Lapforge, right? ;)";
inline constexpr std::string_view StartSection = "Pitlane";

// What the controller needs of the screen. The main window implements it.
class View {
public:
    virtual ~View() = default;

    // A missing or broken picture leaves the box empty and returns false; it never throws,
    // because a cosmetic file must not keep the deploy point from being written.
    virtual bool ShowViewPicture(const std::string& path) = 0;
    virtual bool ShowMapPicture(const std::string& path) = 0;
    // After the map picture: whether it takes clicks (Lapforge knows its road), and where on it, in
    // its pixels, the flag of a driver's own point goes (nothing: no flag).
    virtual void ShowMapRoad(bool takesClicks, std::optional<MapPixel> flag, std::uint32_t colour) = 0;
    // Shows the name as the list's selection; ApplySection has run for it when this returns.
    virtual void SelectSection(std::string_view name) = 0;
    // The start section could not be written at start-up: Lapforge goes on, and the driver is told
    // what failed and what to do without a click, as after a refused press.
    virtual void ShowRefusedRewrite(const std::exception& failure) = 0;
    // Someone else (a track update, a mod manager, the driver) put a line 54 into GPL's track.ini
    // that no Lapforge writes: it is GPL's own line from now on, put back on exit.
    virtual void DeployLineChangedElsewhere(std::string_view line) = 0;
    // Shows the folder dialog modally; it may change GPLOrdnerPfad. `problem` says in one line why
    // the remembered folder would not do (empty on a first run).
    virtual void AskForSimulatorFolder(std::string_view problem) = 0;
    virtual void ShowErrorMessage(std::string_view text) = 0;
    // Ends the program: the main window goes and the main loop ends. The caller returns at once
    // and does nothing more.
    virtual void EndProgram() = 0;
};

// A section next to another in lap order, with the full path of its announcement.
struct NeighbourSection {
    std::string_view name;
    std::string announcementPath;
};

// How a stop is announced once it is written: a section's wave file, or a driver's point's name,
// spoken by Windows.
struct StopAnnouncement {
    Stop stop;
    std::string wavePath;    // a section's; empty for a point
    std::string spokenName;  // a point's; empty for a section
};

// The simulator's program in a folder. Plain appending: at a drive root this gives two backslashes,
// which Windows accepts.
std::string SimulatorExeIn(std::string_view folder);

// Failures whose text is a whole message for the driver, to be shown as it is.
class SettingsNotSaved : public Failure {
public:
    using Failure::Failure;
};
class FolderNotChanged : public Failure {
public:
    using Failure::Failure;
};

class Controller {
public:
    static std::unique_ptr<Controller> Create(View& view, std::string appFolder);
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Finds the simulator (asking the user if the remembered folder will not do), loads its track
    // file and applies the start section.
    void StartUp();

    // Writes the section's deploy point, then shows its pictures; unknown names are ignored.
    void ApplySection(std::string_view name);

    // The same for any stop, a section or a point of the driver's own; a point not in Points is
    // ignored. WriteStop writes the deploy point alone, as a jump does before its announcement; the
    // pictures follow (ShowStopPictures).
    void ApplyStop(const Stop& stop);
    void WriteStop(const Stop& stop);
    // A point's map is its section's, with the point flagged; its view the nearest lap view.
    void ShowStopPictures(const Stop& stop);

    // Writes the stop after (or before) the place GPL's track file holds now, as a step of the cycle
    // does (only the driver's points while "only my points" is ticked), and says how to announce it.
    StopAnnouncement WriteNeighbour(bool forward);
    StopAnnouncement AnnouncementOf(const Stop& stop) const;

    // Every stop in lap order, for the list: the sections, each followed by the points in it.
    std::vector<Stop> ListedStops() const;
    // A stop's name in the list and the texts: a section's, or the point's own.
    std::string StopName(const Stop& stop) const;
    // The stop line 54 held when Lapforge last read or wrote it; nothing for any other line.
    std::optional<Stop> StopOnDisk() const;
    // Where GPL starts the car, for the status line: the section's name, the point's with its km, or
    // empty for any other line (GPL's own).
    std::string PlaceOnDisk() const;

    // The distance of the road under a click on the map shown, in whole metres; nothing off the
    // road, and on a map picture of the driver's own.
    std::optional<int> RoadMetresAtClick(MapPixel pixel) const;

    // What a click on the map does: offer a point at the road's metres, refuse with why no point may
    // go there, or nothing (beside the road, or a map that takes no clicks).
    struct MapClickVerdict {
        std::optional<int> offer;
        std::string problem;

        bool operator==(const MapClickVerdict&) const = default;
    };
    MapClickVerdict MapClicked(MapPixel pixel) const;
    // After an edit of the points: the pictures follow line 54 (a point removed while line 54 held
    // it took line 54 to its section; a renamed one keeps its place). The stop for the list, or
    // nothing for a line no Lapforge writes, whose pictures stay as they are.
    std::optional<Stop> PointsEdited();

    // The driver's own points. Each edit is saved at once; a refusal (why, in a driver's words)
    // changes nothing. A saved edit holds for the run even when lapforge.ini refuses it:
    // SettingsNotSaved is thrown after the change.
    std::optional<std::string> AddPoint(int metres, std::string_view name);
    std::optional<std::string> RenamePoint(int metres, std::string_view name);
    // Its jump goes with it; when line 54 holds it, line 54 goes to the section it lies in first.
    void RemovePoint(int metres);
    // "F4 visits only my points"; with no points it stays off. The tick as it is then.
    bool SetOnlyMyPoints(bool only);
    // The Keys window's bindings, saved at once; as the point edits, they hold for the run when
    // lapforge.ini refuses them (SettingsNotSaved after the change).
    void SetBindings(const Bindings& bindings);
    // The lines of lapforge.ini skipped at start, and why; kept in the file as they were.
    const std::vector<SkippedLine>& SkippedSettingsLines() const { return skipped_; }

    // The next section in lap order, after the last the first; and the one before, before the first the last.
    std::optional<NeighbourSection> Successor(std::string_view name) const;
    std::optional<NeighbourSection> Predecessor(std::string_view name) const;

    // Puts line 54 back as it was before any Lapforge first rewrote it, so GPL started alone deploys
    // where it always did, and removes the record of it. Does nothing when line 54 is as found. The
    // same for every mod's track file; the first failure is thrown once all have been tried.
    void RestoreDeployLine();

    // Finds the mods' track files of the folder in use again (a mod installed or switched off since)
    // and puts each new one in step with track.ini. Never throws: what fails is said in the status.
    void FindTrackFiles() noexcept;
    // For the status line: the mods' track files that hold the place track.ini holds ("the 1965 and
    // GT mods' track files"; empty: none), and what went wrong with one of them (empty: nothing).
    std::string ModFilesInStep() const;
    std::string ModFilesProblem() const;
    // Every track file kept, track.ini first.
    const std::vector<TrackFileKeeper>& TrackFiles() const { return keepers_; }

    // The same on the way out: what to tell the driver when line 54 could not be put back, or
    // nothing. Never throws; a session that is ending tells nothing anyway.
    std::optional<std::string> LeaveSimulatorAsFound() noexcept;

    // Old joystick lines take the identity of the joystick now under their id, and are saved with
    // it; a save that fails is tried again at the next start, and the binding works all the same.
    void AdoptJoystickIdentities(const std::vector<JoystickInfo>& joysticks);

    // The same for the failure report, which ends the process next: never throws, and does nothing
    // when the last rewrite failed, since that failure is most likely what is being reported.
    void RestoreDeployLineAfterFailure() noexcept;

    // Moves to another simulator folder, all or nothing: the new track file is loaded and probed,
    // the old one gets its line 54 back, the section shown is applied in the new folder and the
    // folder is remembered. When a step fails, FolderNotChanged says why and the old folder stays
    // in use, with the section applied there again. When only the settings cannot be saved, the
    // new folder is in use until Lapforge ends and SettingsNotSaved says so.
    void ChangeFolder(const std::string& folder, const Stop& stop);
    void ChangeFolder(const std::string& folder, std::string_view section);

    std::string SettingsFilePath() const;
    std::string HelpPagePath() const;
    std::string SimulatorExePath() const;  // in GPLOrdnerPfad

    // The programs "Launch GPL" may start, as GPLOrdnerPfad holds them now, and the one it starts.
    // A chosen program that is gone falls back to gpl.exe, which is saved where lapforge.ini lets
    // it (else the next start falls back again); the choice's `fallback` says so.
    struct LaunchOffer {
        std::vector<std::string> programs;
        LaunchChoice choice;
    };
    LaunchOffer OfferLaunchPrograms();
    // The driver's pick among them, saved at once. It holds for the run even when lapforge.ini
    // refuses it: SettingsNotSaved is thrown after the change.
    void PickLaunchProgram(std::string_view program);
    // The full path of the program "Launch GPL" starts.
    std::string LaunchProgramPath() const;

    std::string GPLOrdnerPfad;
    const std::string AppFolder;
    // GPL's track.ini as Lapforge last read or wrote it. Every rewrite reads the file afresh and
    // changes line 54 of what is there now, so an edit made meanwhile to any other line stays.
    const TrackFileBuffer& TrackLines() const;
    Bindings HotkeyBindings;
    OwnPoints Points;

private:
    Controller(View& view, std::string appFolder);
    // Nothing when started; otherwise why the remembered folder would not do (empty: none remembered).
    std::optional<std::string> TryStartWithRememberedFolder();
    // Takes GPLOrdnerPfad's track files into use: track.ini's keeper (opened last, so that a failure
    // to read it is thrown with every mod's file already found) and one per mod's file.
    void EnterFolder();
    // Opens keepers for the mods' files of the folder not kept yet; forgets those gone.
    void FindModFiles();
    TrackFileKeeper& Main();
    // Reads track.ini afresh; a line 54 changed elsewhere is told to the view.
    void ReadTrackFileAgain();
    // track.ini first: its refusal is thrown, and then no mod's file is written. A mod's file that
    // refuses costs only itself, and is said in the status line until a write goes through.
    void RewriteDeployLine(std::string_view line);
    // The same on the files as just read.
    void WriteFilesRead(std::string_view line);
    void WriteModFiles(std::string_view line);
    // Where a deploy line puts the car, for the texts.
    std::string PlaceOf(std::string_view line) const;
    // The settings file as it is in memory; the failure as the file system gave it.
    void WriteSettings() const;
    // The same after an edit, the only way the windows' changes reach lapforge.ini: a failure is
    // SettingsNotSaved; the settings in memory stay as they are and hold until Lapforge ends.
    void SaveSettings() const;
    // The map picture's road, read with the picture's bytes; nothing for the driver's own picture.
    std::optional<MapRoad> RoadOfMap(std::string_view mapPicture) const;

    View& view_;
    // The track files of the folder in use, track.ini first, then the mods' in name order.
    std::vector<TrackFileKeeper> keepers_;
    // A mod's file Lapforge could not take into use, or whose last write was refused; and why.
    struct ModFileTrouble {
        std::string fileName;
        std::string status;  // the status line's text
    };
    std::vector<ModFileTrouble> notSteered_;
    std::vector<ModFileTrouble> refused_;
    // lapforge.ini's lines that Lapforge does not take, written back as they were.
    std::vector<std::string> otherSettingsLines_;
    std::vector<SkippedLine> skipped_;
    // lapforge.ini is there but could not be read at start: this run never writes it.
    bool settingsUnreadable_ = false;
    // The program "Launch GPL" starts, a file name in GPLOrdnerPfad; empty for gpl.exe.
    std::string launchProgram_;
    // The road of the map on screen, for its clicks.
    std::optional<MapRoad> shownRoad_;
};

// Puts line 54 back for the controller that exists, if any (see RestoreDeployLineAfterFailure):
// the failure report ends the process without unwinding, so it cannot reach the controller through
// the window that owns it.
void RestoreDeployLineBeforeFailureReport() noexcept;

}  // namespace lapforge

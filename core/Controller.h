#pragma once

#include "core/Bindings.h"
#include "core/TrackFileBuffer.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

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
    // Shows the name as the list's selection; ApplySection has run for it when this returns.
    virtual void SelectSection(std::string_view name) = 0;
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

// The simulator's program in a folder. Plain appending: at a drive root this gives two backslashes,
// which Windows accepts.
std::string SimulatorExeIn(std::string_view folder);

class Controller {
public:
    static std::unique_ptr<Controller> Create(View& view, std::string appFolder);

    // Finds the simulator (asking the user if the remembered folder will not do), loads its track
    // file and applies the start section.
    void StartUp();

    // Shows the section's pictures and writes its deploy point; unknown names are ignored.
    void ApplySection(std::string_view name);

    // The next section in lap order, after the last the first; and the one before, before the first the last.
    std::optional<NeighbourSection> Successor(std::string_view name) const;
    std::optional<NeighbourSection> Predecessor(std::string_view name) const;

    // Writes the settings file: the folder on its first line, then the bindings.
    void SaveSettings() const;

    // Puts line 54 back as this Lapforge found it, so GPL started alone deploys where it always
    // did. Does nothing when Lapforge has not rewritten the file.
    void RestoreDeployLine();

    // Moves to another simulator folder: the old track file gets its line 54 back, the new folder
    // is remembered, its track file loaded and the section applied there. When the new track file
    // cannot be loaded the failure is passed on and the old folder stays in use.
    void ChangeFolder(const std::string& folder, std::string_view section);

    std::string SettingsFilePath() const;
    std::string HelpPagePath() const;
    std::string SimulatorExePath() const;  // in GPLOrdnerPfad

    std::string GPLOrdnerPfad;
    const std::string AppFolder;
    TrackFileBuffer TrackLines;
    Bindings HotkeyBindings;

private:
    Controller(View& view, std::string appFolder);
    // Nothing when started; otherwise why the remembered folder would not do (empty: none remembered).
    std::optional<std::string> TryStartWithRememberedFolder();
    void LoadTrackFile();
    // Notes line 54 as found in the buffer just loaded, which nothing has rewritten yet.
    void TrackFileLoaded();

    View& view_;
    // Line 54 as loaded from the folder in use, and whether Lapforge has rewritten it since.
    std::optional<std::string> foundDeployLine_;
    bool rewritten_ = false;
};

}  // namespace lapforge

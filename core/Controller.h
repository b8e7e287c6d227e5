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
    // Shows the folder dialog modally; it may change GPLOrdnerPfad.
    virtual void AskForSimulatorFolder() = 0;
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

    std::string SettingsFilePath() const;
    std::string HelpPagePath() const;
    std::string SimulatorExePath() const;  // in GPLOrdnerPfad

    std::string GPLOrdnerPfad;
    const std::string AppFolder;
    TrackFileBuffer TrackLines;
    Bindings HotkeyBindings;

private:
    Controller(View& view, std::string appFolder);
    bool TryStartWithRememberedFolder();

    View& view_;
};

}  // namespace lapforge

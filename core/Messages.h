#pragma once

#include <string>
#include <string_view>

namespace lapforge {

inline constexpr std::string_view LaunchFailedMessage = "GPL could not be launched!";

// For a drive that cannot be read, such as an empty card reader or a lost network drive.
std::string DriveNotReadyMessage(char driveLetter);

// In the status line while a GPL started as administrator runs, when a key is bound and Lapforge
// was not started so. Buttons on a wheel are not kept from Lapforge, so only keys are named.
inline constexpr std::string_view HotkeyBlockedByElevationMessage =
    "GPL runs as administrator, so Windows keeps its keys from Lapforge: your hotkeys do nothing while "
    "GPL is in front, wheel and button-box buttons still work. Start GPL without administrator rights, "
    "or Lapforge with them.";

// At start-up, when lapforge.exe stands alone, as after a double-click inside the zip file.
inline constexpr std::string_view DataFilesMissingMessage =
    "Lapforge's files (pictures, sounds and help page) are missing beside lapforge.exe.\n\n"
    "Unpack the whole Lapforge folder from the zip file first (right-click the zip file, \"Extract "
    "All...\"), then start lapforge.exe in the unpacked folder.";

// The launch message, the program's path with the system's reason, and what to check.
std::string LaunchFailedText(std::string_view exePath, std::string_view reason);

// On exit or a change of folder, when line 54 could not be put back.
std::string RestoreFailedText(std::string_view what);

// When the folder picked with "Change..." could not be taken into use.
std::string FolderChangeFailedText(std::string_view what);

// The failure's subject, for a failure that carried no text of its own.
std::string UndescribedFailure(std::string_view what);

// What the user reads before the program stops on a failure nothing else handled.
std::string UnhandledFailureText(std::string_view what);

// What the main window's status line is told: what the section cycle does and where GPL will put
// the car.
struct CycleStatus {
    bool armed = false;          // the option box is ticked
    bool simulatorRuns = false;  // a GPL from the chosen folder runs
    std::string nextName;        // the bindings as the windows name them; empty: not set
    std::string previousName;
    std::string deploySection;   // the section line 54 names now
    std::string problem;         // the last step that went wrong, with what to do; empty: none
    std::string notice;          // something about the running GPL the driver must know; empty: none
};

// The status line's one text: a problem first, then a notice, then what the cycle does and where
// GPL starts the car.
std::string StatusLineText(const CycleStatus& status);

// For the status line, when a step's rewrite was refused while GPL runs.
std::string StepRefusedStatus(std::string_view what, std::string_view sectionInFile);

// For a box, when the section picked in the list could not be written.
std::string PickRefusedText(std::string_view what, std::string_view sectionInFile);

}  // namespace lapforge

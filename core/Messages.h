#pragma once

#include "core/Bindings.h"
#include "core/SimulatorAccess.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

enum class FolderVerdict;

inline constexpr std::string_view LaunchFailedMessage = "GPL could not be launched!";

// For a drive that cannot be read, such as an empty card reader or a lost network drive.
std::string DriveNotReadyMessage(char driveLetter);

// For a drive that answered, yet whose folders could not be listed (no right to, or it went away):
// `what` is the failure.
std::string DriveNotOpenedMessage(char driveLetter, std::string_view what);

// The main window's status line while GPL runs and Lapforge cannot reach it; empty when it can.
// Says which inputs still work, which do not, and what to do.
std::string SimulatorAccessText(SimulatorAccess access);

// "Launch GPL" found GPL running as administrator, and Windows would not bring it to the front.
inline constexpr std::string_view BringToFrontRefusedMessage =
    "GPL runs as administrator, so Windows does not let Lapforge bring it to the front. Switch to it "
    "with Alt+Tab or its button on the taskbar.\n\n"
    "To avoid this, start GPL without administrator rights, or start Lapforge as administrator too.";

// The Keys window's hint, and its line while a change waits.
inline constexpr std::string_view KeysHint =
    "Click Change, then press the key or wheel button you want for moving to the next or the previous "
    "section.";
inline constexpr std::string_view KeysPrompt =
    "Press the key or the wheel button you want now. Esc cancels the change.";

// The Keys window, when the input pressed already does something else: moves on or back, or jumps
// to `jumpTarget`.
std::string InputInUseText(std::string_view inputName, BindingUse::Role role, std::string_view jumpTarget);

// The Keys window's line on the connected joysticks: their names, and the buttons it can use where
// one has more than winmm reads.
std::string ConnectedJoysticksText(const std::vector<JoystickInfo>& joysticks);

// At start-up, when lapforge.exe stands alone, as after a double-click inside the zip file.
inline constexpr std::string_view DataFilesMissingMessage =
    "Lapforge's files (pictures, sounds and help page) are missing beside lapforge.exe.\n\n"
    "Unpack the whole Lapforge folder from the zip file first (right-click the zip file, \"Extract "
    "All...\"), then start lapforge.exe in the unpacked folder.";

// For the status line, when the program chosen for "Launch GPL" is no longer in the GPL folder.
std::string LaunchFallbackText(std::string_view program);

// The launch message, the program's path with the system's reason, and what to check.
std::string LaunchFailedText(std::string_view exePath, std::string_view reason);

// On exit or a change of folder, when line 54 could not be put back.
std::string RestoreFailedText(std::string_view what);

// When the folder picked with "Change..." could not be taken into use. `notRewritten`: why the
// section could not be written again in the old folder either (empty when it was).
std::string FolderChangeFailedText(std::string_view what, std::string_view notRewritten = {});

// When lapforge.ini could not be written: after OK in the Keys window, after a change of folder
// (the new folder is in use until Lapforge ends), and after the folder dialog at start-up.
// `readOnly`: the file itself is marked read-only.
std::string SettingsNotSavedText(std::string_view what, bool readOnly);
std::string FolderNotSavedText(std::string_view newFolder, std::string_view oldFolder, std::string_view what,
                               bool readOnly);
std::string FolderNotRememberedText(std::string_view what, bool readOnly);
// At start, when lapforge.ini is there but could not be read: what failed (`what`), that nothing is
// written in this run, and what to do. The folder dialog's line then, and a save's refusal.
std::string SettingsUnreadableText(std::string_view what);
inline constexpr std::string_view SettingsUnreadableProblem =
    "lapforge.ini could not be read: choose the GPL folder for this run (nothing is saved)";
inline constexpr std::string_view SettingsUnreadNotSavedText =
    "Lapforge did not save this in lapforge.ini: the file could not be read when Lapforge started, and "
    "writing it now would lose the GPL folder, points and keys in it. The change holds until you exit "
    "Lapforge.\n\nOnce the file can be read again, start Lapforge again and make the change there.";
std::string FolderKeptForTheRunText(std::string_view newFolder);

// The track file's own failures: what comes after 'could not read "<path>": ', and the whole text.
// `copyPath` names Lapforge's copy of the file as it first found it, when there is one.
std::string TrackFileTooShortReason(std::string_view copyPath);
std::string NotADeployLineText(std::string_view path);
// A mod's track file with no deploy line in its first 100 lines.
std::string NoDeployLineText(std::string_view path);

// After a refused rewrite of a read-only track file ("track.ini", "track65.ini").
std::string ReadOnlyTrackFileAdvice(std::string_view fileName);

// What a folder lacks, in a driver's words, for the folder dialog's hint line; empty for a usable
// folder and for one without gpl.exe, where the dialog's own hint already says what it wants.
std::string_view FolderHint(FolderVerdict verdict);

// One line for the folder dialog when the remembered folder would not do.
std::string RememberedFolderProblem(std::string_view folder, std::string_view why);

// The part after the folder's name in that line, for the failure that stopped the start.
std::string_view FolderProblemReason(FolderVerdict verdict);

// The failure's subject, for a failure that carried no text of its own.
std::string UndescribedFailure(std::string_view what);

// What the user reads before the program stops on a failure nothing else handled.
std::string UnhandledFailureText(std::string_view what);

// What the main window's status line is told: what the section cycle does and where GPL will put
// the car.
struct CycleStatus {
    bool armed = false;          // the option box is ticked
    bool onlyPoints = false;     // "F4 visits only my points" is ticked
    bool simulatorRuns = false;  // a GPL from the chosen folder runs
    std::string nextName;        // the bindings as the windows name them; empty: not set
    std::string previousName;
    std::string deploySection;   // the section line 54 names now
    std::string alsoIn;          // the mods' track files that hold the same place; empty: none
    std::string problem;         // the last step that went wrong, with what to do; empty: none
    std::string notice;          // something about the running GPL the driver must know; empty: none
};

// The status line's one text: a problem first, then a notice, then what the cycle does and where
// GPL starts the car.
std::string StatusLineText(const CycleStatus& status);

// For the status line, when a step's rewrite was refused while GPL runs: what failed, where GPL
// still starts the car, and in a few words what to do about that kind of failure.
std::string StepRefusedStatus(const std::exception& failure, std::string_view sectionInFile);

// The mods' track files named by their mods ("1965", "GT"): "the 1965 mod's track file", "the 1965
// and GT mods' track files"; empty for none.
std::string ModTrackFilesText(const std::vector<std::string>& mods);
// For the status line, when a mod's track file refused a write that track.ini took: what failed,
// where that mod's GPL still starts the car, and what to do.
std::string ModFileRefusedStatus(const std::exception& failure, std::string_view mod, std::string_view fileName,
                                 std::string_view placeInFile);
// For the status line, when a mod's track file cannot be steered at all.
std::string ModFileNotSteeredStatus(std::string_view what, std::string_view mod);

// For a box, when the section picked in the list could not be written.
std::string PickRefusedText(std::string_view what, std::string_view sectionInFile);

// Where GPL starts the car, in those texts: the section line 54 names, or GPL's own deploy point.
std::string DeployPlace(std::string_view sectionInFile);

// When Lapforge's note of GPL's own deploy point (kept beside the track file, written before the
// first rewrite) could not be written: nothing was changed. `advice` is what a protected folder
// needs, or empty.
std::string RecordNotWrittenText(std::string_view trackPath, std::string_view what, std::string_view advice);

// For the status line, when someone else put a line 54 into GPL's track file that Lapforge does
// not write: it is taken as GPL's own from now on.
std::string DeployLineChangedText(std::string_view line);

// --- The driver's own points ---

// A place refused for a point; `metres` is where it was asked for.
std::string KmNotReadText(std::string_view typed);
std::string OutsideLapText(int metres);
std::string InPitLoopText(int metres);
std::string NearSectionText(int metres, std::string_view section, int sectionMetres);
std::string NearPointText(int metres, std::string_view point, int pointMetres);
inline constexpr std::string_view TooManyPointsText =
    "You have 50 points of your own, as many as Lapforge keeps. Remove one before you add another.";

// A name refused for a point.
inline constexpr std::string_view NameTooLongText = "A point's name may be 40 characters long at most. Shorten it.";
inline constexpr std::string_view NameNotOneLineText =
    "A point's name must be one line, without line breaks or tabs. Take them out.";
inline constexpr std::string_view NameNotInCodePageText =
    "lapforge.ini keeps names in Windows' own code page for programs that are not Unicode, and it has no "
    "letters for some of this name. Write the name with other letters.";

// The map's offer of the point clicked on: "Deploy at km 12.30", a dash, "Karussell in 450 m". Wide
// text: the dash is not in every code page.
std::wstring PointOfferText(int metres);
// Before a point's name in the section list.
inline constexpr std::wstring_view OwnPointMark = L"\u2605 ";

// The Point window's line while the distance field is empty.
inline constexpr std::string_view KmPromptText = "Type the distance along the lap in km, for example 12.3.";
// The Points window's hint: a point's key or button is set where the others are.
inline constexpr std::wstring_view PointsHint =
    L"To give a point a key or button of its own, click \u201cKeys\u2026\u201d in the main window.";

// Why a line of lapforge.ini was skipped, where no point's own check says it.
inline constexpr std::string_view PointLineNotReadText =
    "It names no distance in whole metres, as in point=12300:Before Karussell.";
inline constexpr std::string_view JumpTargetUnknownText = "It names none of the sections and none of your points.";
inline constexpr std::string_view JumpBindingNotReadText = "It names no key or button Lapforge can read.";
inline constexpr std::string_view JumpBindingTakenText = "Its key or button already does something else.";
inline constexpr std::string_view MoveBindingNotReadText =
    "It names no key or button Lapforge can read, so that binding keeps Lapforge's own until you set one in Keys.";
inline constexpr std::string_view MoveBindingTwiceText = "An earlier line already sets that binding.";
inline constexpr std::string_view JumpTargetTakenText = "Another line already gives that place a key or button.";

struct SkippedLine;
// At start, once: the lines of lapforge.ini that Lapforge skipped, and why each.
std::string SkippedLinesText(const std::vector<SkippedLine>& skipped);
// The status line's one line about them, until the first rewrite.
std::string SkippedLinesStatus(std::size_t count);

}  // namespace lapforge

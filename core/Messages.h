#pragma once

#include <string>
#include <string_view>

namespace lapforge {

enum class FolderVerdict;

inline constexpr std::string_view LaunchFailedMessage = "GPL could not be launched!";

// For a drive that cannot be read, such as an empty card reader or a lost network drive.
std::string DriveNotReadyMessage(char driveLetter);

// Before the section cycle, when a key is bound and GPL was started as administrator and Lapforge
// was not. Controller buttons are not kept from it, so only keys are named.
inline constexpr std::string_view HotkeyBlockedByElevationMessage =
    "GPL runs as administrator, so Windows keeps its keys from Lapforge: the hotkeys on your keyboard "
    "cannot reach Lapforge while GPL runs (buttons on a wheel or button box can).\n\n"
    "To use the keys, do one of these and start GPL again:\n"
    "- start Lapforge as administrator too (right-click lapforge.exe, \"Run as administrator\"), or\n"
    "- switch the flag off: right-click gpl.exe, Properties, Compatibility, clear \"Run this program "
    "as an administrator\".";

// At start-up, when lapforge.exe stands alone, as after a double-click inside the zip file.
inline constexpr std::string_view DataFilesMissingMessage =
    "Lapforge's files (pictures, sounds and help page) are missing beside lapforge.exe.\n\n"
    "Unpack the whole Lapforge folder from the zip file first (right-click the zip file, \"Extract "
    "All...\"), then start lapforge.exe in the unpacked folder.";

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

// The track file's own failures: what comes after 'could not read "<path>": ', and the whole text.
// `copyPath` names Lapforge's copy of the file as it first found it, when there is one.
std::string TrackFileTooShortReason(std::string_view copyPath);
std::string NotADeployLineText(std::string_view path);

// After a refused rewrite of a read-only track file.
inline constexpr std::string_view ReadOnlyTrackFileAdvice =
    "To let Lapforge write it: in Explorer, right-click \"track.ini\" in GPL's tracks\\nurburg folder, choose "
    "Properties, clear \"Read-only\" and click OK. Then start Lapforge again";

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

}  // namespace lapforge

#pragma once

#include "core/Bindings.h"
#include "core/SimulatorAccess.h"

#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

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

// The Keys window, when the input pressed already moves the other way.
std::string InputHeldByOtherText(std::string_view inputName, bool otherIsNext);

// The Keys window's line on the connected joysticks: their names, and the buttons it can use where
// one has more than winmm reads.
std::string ConnectedJoysticksText(const std::vector<JoystickInfo>& joysticks);

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

}  // namespace lapforge

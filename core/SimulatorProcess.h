#pragma once

#include <string>
#include <string_view>

namespace lapforge {

// Which running programs count as the simulator: gpl.exe, or any gpl*.exe (a season's copy such as
// gpl67.exe, or one a mod launcher starts), directly in the chosen folder, however it was started.

// The program's file name alone, any case: the cheap test before its full path is asked for.
bool IsSimulatorFileName(std::wstring_view fileName);

// The full path of a running program's image against the chosen folder. Names are compared without
// regard to the case of ASCII letters; the caller brings both to one case for other letters and to
// their long names. "\\?\" prefixes, forward slashes, doubled backslashes and a trailing backslash
// do not matter.
bool IsSimulatorImage(std::wstring_view imagePath, std::wstring_view folder);

}  // namespace lapforge

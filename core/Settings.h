#pragma once

#include "core/Bindings.h"

#include <string>
#include <string_view>

namespace lapforge {

// Files found by name: the settings and the help page beside lapforge.exe, the simulator in its folder.
inline constexpr std::string_view SettingsFileName = "\\lapforge.ini";
inline constexpr std::string_view HelpPageName = "\\LapforgeHelp.html";
inline constexpr std::string_view SimulatorExeName = "\\gpl.exe";

// The remembered simulator folder: the file's first line, the bytes before the first CR or LF. An
// empty first line is a failure; `path` names the file in it.
std::string SettingsFolder(std::string_view settingsBytes, const std::string& path);

// The bindings, from the lines after the first ("next=key:0x73", "previous=joy:0:button:5"). A
// binding whose line is missing or cannot be read gives that binding's default.
Bindings ParseBindings(std::string_view settingsBytes);

// The folder followed by CR LF, as every Lapforge reads it, then a line for each binding that is not
// its default; with the defaults, the folder line alone.
std::string SettingsText(std::string_view folder, const Bindings& bindings);
// Replaced in one step (see ReplaceFileContents), so a kill in the middle loses nothing.
void WriteSettingsFile(const std::string& path, std::string_view folder, const Bindings& bindings = {});

}  // namespace lapforge

#pragma once

#include "core/Bindings.h"

#include <string>
#include <string_view>

namespace lapforge {

// Files found by name: the settings and the help page beside lapforge.exe, the simulator in its folder.
inline constexpr std::string_view SettingsFileName = "\\lapforge.ini";
inline constexpr std::string_view HelpPageName = "\\LapforgeHelp.html";
inline constexpr std::string_view SimulatorExeName = "\\gpl.exe";

// The remembered simulator folder: the file's first line, the bytes before the first CR or LF.
// A missing file or an empty first line is a failure.
std::string ReadSettingsFile(const std::string& path);
// The same from the file's bytes, read once with its bindings; `path` names the file in a failure.
std::string SettingsFolder(std::string_view settingsBytes, const std::string& path);

// The bindings, from the lines after the first ("next=key:0x73", "previous=joy:0:button:5"). A
// missing file, or a binding whose line is missing or cannot be read, gives that binding's default.
Bindings ReadBindings(const std::string& path);
Bindings ParseBindings(std::string_view settingsBytes);

// The folder followed by CR LF, as every Lapforge reads it, then a line for each binding that is not
// its default; with the defaults, the folder line alone.
std::string SettingsText(std::string_view folder, const Bindings& bindings);
void WriteSettingsFile(const std::string& path, std::string_view folder, const Bindings& bindings = {});

}  // namespace lapforge

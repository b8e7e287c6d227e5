#pragma once

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

// The folder followed by CR LF, nothing else.
void WriteSettingsFile(const std::string& path, std::string_view folder);

}  // namespace lapforge

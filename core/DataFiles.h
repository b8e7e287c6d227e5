#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Played instead of the announcement when a step's deploy point could not be written.
inline constexpr std::string_view StepRefusedCueName = "\\deploy-not-written.wav";

// Played for the driver's own point where Windows has no voice to speak its name.
inline constexpr std::string_view PointCueName = "\\point-cue.wav";

// The files shipped beside lapforge.exe: every section's pictures, map road and announcement, the
// lap views, the cues and the help page.
std::vector<std::string> DataFileNames();

// True when not one of the data files is in the folder: lapforge.exe was started on its own, as
// Windows does when it is double-clicked inside the zip. A few missing files are no reason to stop.
bool NoDataFilesBeside(const std::string& appFolder, const std::function<bool(const std::string& path)>& exists);

}  // namespace lapforge

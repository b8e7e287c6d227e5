#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lapforge::platform {

// Once at start: COM for the imaging component and visual-style controls. The quiet handling of a
// drive without a medium is left to each probe (QuietDriveErrors), so programs we start keep
// Windows' own disk prompts.
void InitialiseProcess();

// The executable's folder, without a trailing backslash except at a drive root, as 8-bit text
// (AnsiPath). A folder without such a form is named in an "Error" box, and the answer is empty.
std::optional<std::string> ApplicationFolder();

}  // namespace lapforge::platform

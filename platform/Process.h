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

// One Lapforge at a time in a Windows session: true for the first. A later start brings the first
// one's window to the front and gets false, having read and written nothing. The claim ends with
// the process, however it ends.
bool FirstInstanceInSession();

}  // namespace lapforge::platform

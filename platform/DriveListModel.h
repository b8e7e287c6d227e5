#pragma once

#include <string>
#include <string_view>

namespace lapforge::platform {

// The drive list's text for a drive: "c:", and " [label]" when the volume has a label.
std::wstring DriveItemText(char letter, std::wstring_view label);

// The upper-case drive letter a full path starts with, or 0 for a path without one.
char DriveOfPath(std::wstring_view path);

}  // namespace lapforge::platform

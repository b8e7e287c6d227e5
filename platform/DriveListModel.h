#pragma once

#include <string>
#include <string_view>

namespace lapforge::platform {

// The drive list's text for a drive: "c:", and " [label]" when the volume has a label.
std::string DriveItemText(char letter, std::string_view label);

// The upper-case drive letter a full path starts with, or 0 for a path without one.
char DriveOfPath(std::string_view path);

}  // namespace lapforge::platform

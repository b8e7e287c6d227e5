#pragma once

#include <windows.h>

#include <string>

namespace lapforge::platform {

// Opens the file with its associated program; failures are not reported.
void OpenDocument(HWND owner, const std::string& path);

}  // namespace lapforge::platform

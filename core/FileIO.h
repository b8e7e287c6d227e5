#pragma once

#include <string>
#include <string_view>

namespace lapforge {

// Whole-file reading in binary mode, so CR LF and 8-bit bytes pass unchanged on every platform.
std::string ReadWholeFile(const std::string& path);

// True when the file exists and may be opened for reading; it is closed again at once.
bool FileOpensForReading(const std::string& path);

}  // namespace lapforge

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Whole-file reading in binary mode, so CR LF and 8-bit bytes pass unchanged on every platform.
std::string ReadWholeFile(const std::string& path);

// True when the file exists and may be opened for reading; it is closed again at once.
bool FileOpensForReading(const std::string& path);

// The names of the plain files directly in a folder (no folders), in no set order; none when the
// folder cannot be listed. Paths of any length.
std::vector<std::string> FileNamesIn(std::string_view folder);

}  // namespace lapforge

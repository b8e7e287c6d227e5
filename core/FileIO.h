#pragma once

#include <string>
#include <string_view>

namespace lapforge {

// Whole-file I/O in binary mode, so CR LF and 8-bit bytes pass unchanged on every platform.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, std::string_view bytes);

// True when the file exists and may be opened for reading; it is closed again at once.
bool FileOpensForReading(const std::string& path);

}  // namespace lapforge

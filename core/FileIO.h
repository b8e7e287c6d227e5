#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// Whole-file reading in binary mode, so CR LF and 8-bit bytes pass unchanged on every platform.
std::string ReadWholeFile(const std::string& path);

// The file's bytes, or nothing when it is not there. Any other failure (held by a program that
// shares no reading, refused, an online-only file offline) throws, with the system's reason; a
// holder gets the same patience as for the track file.
std::optional<std::string> ReadFileIfThere(const std::string& path);

// True when the file exists and may be opened for reading; it is closed again at once.
bool FileOpensForReading(const std::string& path);

}  // namespace lapforge

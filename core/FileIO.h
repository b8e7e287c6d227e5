#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// Whole-file reading in binary mode, so CR LF and 8-bit bytes pass unchanged on every platform.
std::string ReadWholeFile(const std::string& path);

// The file's bytes, or nothing when it is not there. Any other failure (held by a program that
// shares no reading, refused, an online-only file offline) throws, with the system's reason; a
// holder gets the same patience as for the track file.
std::optional<std::string> ReadFileIfThere(const std::string& path);

// True when the file exists and may be opened for reading; it is closed again at once.
bool FileOpensForReading(const std::string& path);

// The names of the plain files directly in the folder (no folders), in the order the system lists
// them; none when the folder cannot be listed. On Windows a name the ANSI code page cannot spell
// comes as its short 8.3 name, or not at all where there is none. Paths of any length.
std::vector<std::string> FileNamesIn(std::string_view folder);

// Windows' file names match without regard to the case of their letters (ASCII, as the names
// Lapforge looks for are): the same name, and name order.
bool SameFileName(std::string_view a, std::string_view b);
bool FileNameBefore(std::string_view a, std::string_view b);

}  // namespace lapforge

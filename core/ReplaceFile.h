#pragma once

#include <string>
#include <string_view>

namespace lapforge {

// Replaces the file's content in one step: the new bytes go to a temporary file beside it, reach
// the disk, and then take the file's place. On failure the old file is left exactly as it was, no
// temporary file stays behind, and a Failure naming the path is thrown. An existing file that may
// not be written (read-only) is a failure, and the new file keeps the old one's permissions.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

// The path as the operating system wants it. Paths are kept Windows-style everywhere (data-file
// names begin with a backslash); on POSIX hosts, where the core is also built and tested, the
// backslashes become slashes at the point of the system call.
std::string NativePath(const std::string& path);

}  // namespace lapforge

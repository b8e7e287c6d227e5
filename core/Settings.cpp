#include "core/Settings.h"

#include "core/Failure.h"
#include "core/FileIO.h"

namespace lapforge {

std::string ReadSettingsFile(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    std::string folder = bytes.substr(0, bytes.find_first_of("\r\n"));
    if (folder.empty()) throw FileFailure("read", path, "the file names no folder");
    return folder;
}

void WriteSettingsFile(const std::string& path, std::string_view folder) {
    std::string bytes(folder);
    bytes += "\r\n";
    WriteWholeFile(path, bytes);
}

}  // namespace lapforge

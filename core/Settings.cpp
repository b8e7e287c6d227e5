#include "core/Settings.h"

#include "core/Failure.h"
#include "core/ReplaceFile.h"

#include <algorithm>

namespace lapforge {

namespace {

constexpr std::string_view NextName = "next=";
constexpr std::string_view PreviousName = "previous=";

}  // namespace

std::string SettingsFolder(std::string_view bytes, const std::string& path) {
    std::string folder(bytes.substr(0, bytes.find_first_of("\r\n")));
    if (folder.empty()) throw FileFailure("read", path, "the file names no folder");
    return folder;
}

Bindings ParseBindings(std::string_view bytes) {
    Bindings bindings;
    std::size_t begin = bytes.find_first_of("\r\n");  // the folder's line is not ours
    while (begin < bytes.size()) {
        begin = bytes.find_first_not_of("\r\n", begin);
        if (begin == std::string_view::npos) break;
        const std::size_t end = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
        const std::string_view line = bytes.substr(begin, end - begin);
        if (line.starts_with(NextName)) {
            if (const auto binding = ParseBinding(line.substr(NextName.size()))) bindings.next = *binding;
        } else if (line.starts_with(PreviousName)) {
            if (const auto binding = ParseBinding(line.substr(PreviousName.size()))) bindings.previous = *binding;
        }
        begin = end;
    }
    return bindings;
}

std::string SettingsText(std::string_view folder, const Bindings& bindings) {
    std::string bytes(folder);
    bytes += "\r\n";
    const Bindings defaults;
    if (bindings.next != defaults.next) bytes += std::string(NextName) + BindingText(bindings.next) + "\r\n";
    if (bindings.previous != defaults.previous)
        bytes += std::string(PreviousName) + BindingText(bindings.previous) + "\r\n";
    return bytes;
}

void WriteSettingsFile(const std::string& path, std::string_view folder, const Bindings& bindings) {
    ReplaceFileContents(path, SettingsText(folder, bindings));
}

}  // namespace lapforge

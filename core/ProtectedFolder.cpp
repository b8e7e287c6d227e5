#include "core/ProtectedFolder.h"

#include <algorithm>

namespace lapforge {

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when path is the folder itself or lies below it; Windows compares names without case.
bool IsInside(std::string_view path, std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() || path[folder.size()] != '\\') return false;
    return std::equal(folder.begin(), folder.end(), path.begin(),
                      [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}

}  // namespace

std::string VirtualStorePath(std::string_view path, std::string_view localAppData) {
    if (localAppData.empty() || path.size() < 3 || path[1] != ':' || path[2] != '\\') return {};
    std::string store(localAppData);
    while (!store.empty() && store.back() == '\\') store.pop_back();
    store += "\\VirtualStore";
    store += path.substr(2);
    return store;
}

std::string ProtectedFolderAdvice(std::string_view trackPath, const std::vector<std::string>& protectedFolders,
                                  std::string_view localAppData,
                                  const std::function<bool(const std::string&)>& fileExists) {
    const auto folder = std::find_if(protectedFolders.begin(), protectedFolders.end(),
                                     [&](const std::string& f) { return IsInside(trackPath, f); });
    if (folder == protectedFolders.end()) return {};

    std::string advice = "GPL is installed in \"" + *folder +
                         "\", a folder Windows protects: only programs run as administrator may change files "
                         "there.\n\nMove the GPL folder out of Program Files, for example to C:\\GPL (Lapforge asks "
                         "for the new place at its next start), or run both GPL and Lapforge as administrator.";
    const std::string store = VirtualStorePath(trackPath, localAppData);
    if (!store.empty() && fileExists(store)) {
        advice += "\n\nWindows keeps a copy of the track file for GPL in \"" + store +
                  "\". GPL reads that copy, not the file Lapforge changes.";
    }
    return advice;
}

}  // namespace lapforge

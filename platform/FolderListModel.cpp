#include "platform/FolderListModel.h"

#include <algorithm>

namespace lapforge::platform {

namespace {

unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + ('a' - 'A'));
    // Capitals of the 8-bit code pages (Ä, Ö, Ü; Cyrillic А to Я) sit 0x20 below their small letters.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    return c;
}

bool IsDrivePath(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }
bool IsSharePath(std::string_view path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

// The part that names the volume: "C:" or "\\server\share".
std::size_t VolumeLength(std::string_view path) {
    if (IsDrivePath(path)) return 2;
    if (!IsSharePath(path)) return 0;
    const std::size_t server = path.find('\\', 2);
    if (server == std::string_view::npos) return path.size();
    return std::min(path.find('\\', server + 1), path.size());
}

// "C:\" for a drive, "\\server\share" for a share; empty for a relative path.
std::string RootOf(const std::string& normalised) {
    const std::size_t volume = VolumeLength(normalised);
    return normalised.substr(0, IsDrivePath(normalised) ? volume + 1 : volume);
}

}  // namespace

std::string NormaliseFolder(std::string_view folder) {
    std::string path(folder);
    const std::size_t volume = VolumeLength(path);
    while (path.size() > volume && path.back() == '\\') path.pop_back();
    if (IsDrivePath(path)) {
        if (path[0] >= 'a' && path[0] <= 'z') path[0] = static_cast<char>(path[0] - ('a' - 'A'));
        if (path.size() == 2) path += '\\';
    }
    return path;
}

std::string JoinFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += name;
    return path;
}

std::string ParentFolder(std::string_view folder) {
    const std::string path = NormaliseFolder(folder);
    const std::string root = RootOf(path);
    const std::size_t slash = path.find_last_of('\\');
    if (path.size() <= root.size() || slash == std::string::npos || slash < root.size()) return root;
    return path.substr(0, slash);
}

bool FolderNameLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y));
    });
}

FolderRows BuildFolderRows(std::string_view folder, std::vector<std::string> subfolders) {
    const std::string path = NormaliseFolder(folder);
    const std::string root = RootOf(path);
    FolderRows result;
    int indent = 0;
    if (!root.empty()) result.rows.push_back(FolderRow{root, root, indent++, true});

    std::string walked = root;
    for (std::size_t pos = root.size(); pos < path.size();) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string::npos) end = path.size();
        if (end > pos) {  // doubled backslashes give no empty level
            const std::string name = path.substr(pos, end - pos);
            walked = JoinFolder(walked, name);
            result.rows.push_back(FolderRow{name, walked, indent++, true});
        }
        pos = end + 1;
    }
    result.current = result.rows.empty() ? 0 : result.rows.size() - 1;

    std::stable_sort(subfolders.begin(), subfolders.end(),
                     [](const std::string& a, const std::string& b) { return FolderNameLess(a, b); });
    for (std::string& name : subfolders) {
        std::string opens = JoinFolder(walked, name);
        result.rows.push_back(FolderRow{std::move(name), std::move(opens), indent, false});
    }
    return result;
}

}  // namespace lapforge::platform

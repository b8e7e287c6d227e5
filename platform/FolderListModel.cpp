#include "platform/FolderListModel.h"

#include <algorithm>

namespace lapforge::platform {

namespace {

wchar_t Fold(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
    // Capitals of Latin-1 (Ä, Ö, Ü; × is no letter), Greek and Cyrillic (А to Я) sit 0x20 below their
    // small letters; Cyrillic Ѐ to Џ sit 0x50 below theirs.
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F))
        return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<wchar_t>(c + 0x50);
    return c;
}

bool IsDrivePath(std::wstring_view path) { return path.size() >= 2 && path[1] == L':'; }
bool IsSharePath(std::wstring_view path) { return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\'; }

// The part that names the volume: "C:" or "\\server\share".
std::size_t VolumeLength(std::wstring_view path) {
    if (IsDrivePath(path)) return 2;
    if (!IsSharePath(path)) return 0;
    const std::size_t server = path.find(L'\\', 2);
    if (server == std::wstring_view::npos) return path.size();
    return std::min(path.find(L'\\', server + 1), path.size());
}

// "C:\" for a drive, "\\server\share" for a share; empty for a relative path.
std::wstring RootOf(const std::wstring& normalised) {
    const std::size_t volume = VolumeLength(normalised);
    return normalised.substr(0, IsDrivePath(normalised) ? volume + 1 : volume);
}

}  // namespace

std::wstring NormaliseFolder(std::wstring_view folder) {
    std::wstring path(folder);
    const std::size_t volume = VolumeLength(path);
    while (path.size() > volume && path.back() == L'\\') path.pop_back();
    if (IsDrivePath(path)) {
        if (path[0] >= L'a' && path[0] <= L'z') path[0] = static_cast<wchar_t>(path[0] - (L'a' - L'A'));
        if (path.size() == 2) path += L'\\';
    }
    return path;
}

std::wstring JoinFolder(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    path += name;
    return path;
}

std::wstring ParentFolder(std::wstring_view folder) {
    const std::wstring path = NormaliseFolder(folder);
    const std::wstring root = RootOf(path);
    const std::size_t slash = path.find_last_of(L'\\');
    if (path.size() <= root.size() || slash == std::wstring::npos || slash < root.size()) return root;
    return path.substr(0, slash);
}

bool FolderNameLess(std::wstring_view a, std::wstring_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Fold(x) < Fold(y); });
}

FolderRows BuildFolderRows(std::wstring_view folder, std::vector<std::wstring> subfolders) {
    const std::wstring path = NormaliseFolder(folder);
    const std::wstring root = RootOf(path);
    FolderRows result;
    int indent = 0;
    if (!root.empty()) result.rows.push_back(FolderRow{root, root, indent++, true});

    std::wstring walked = root;
    for (std::size_t pos = root.size(); pos < path.size();) {
        std::size_t end = path.find(L'\\', pos);
        if (end == std::wstring::npos) end = path.size();
        if (end > pos) {  // doubled backslashes give no empty level
            const std::wstring name = path.substr(pos, end - pos);
            walked = JoinFolder(walked, name);
            result.rows.push_back(FolderRow{name, walked, indent++, true});
        }
        pos = end + 1;
    }
    result.current = result.rows.empty() ? 0 : result.rows.size() - 1;

    std::stable_sort(subfolders.begin(), subfolders.end(),
                     [](const std::wstring& a, const std::wstring& b) { return FolderNameLess(a, b); });
    for (std::wstring& name : subfolders) {
        std::wstring opens = JoinFolder(walked, name);
        result.rows.push_back(FolderRow{std::move(name), std::move(opens), indent, false});
    }
    return result;
}

}  // namespace lapforge::platform

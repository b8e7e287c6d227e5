#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge::platform {

// One line of the folder list, with the folders' real names.
struct FolderRow {
    std::wstring text;
    std::wstring path;  // the folder that opening the row moves to
    int indent = 0;     // in steps
    bool open = false;  // an open folder: the current one or one above it
};

// The path from the root down to the current folder (open folders), then the current folder's
// subfolders (closed folders), each level one step further in.
struct FolderRows {
    std::vector<FolderRow> rows;
    std::size_t current = 0;  // the current folder's row
};

// `folder` is a full path: "C:\GPL\tracks", "C:\" or "\\server\share\GPL".
FolderRows BuildFolderRows(std::wstring_view folder, std::vector<std::wstring> subfolders);

// No trailing backslash except at a drive root; the drive letter upper case ("c:" gives "C:\").
std::wstring NormaliseFolder(std::wstring_view folder);

// "C:\" + "GPL" = "C:\GPL"; "C:\GPL" + "x" = "C:\GPL\x".
std::wstring JoinFolder(std::wstring_view folder, std::wstring_view name);

// "C:\GPL\tracks" gives "C:\GPL", "C:\GPL" gives "C:\"; a root is its own parent.
std::wstring ParentFolder(std::wstring_view folder);

// Case-insensitive for ASCII and for the Latin-1, Greek and Cyrillic letters alike.
bool FolderNameLess(std::wstring_view a, std::wstring_view b);

}  // namespace lapforge::platform

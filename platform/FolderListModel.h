#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge::platform {

// One line of the folder list.
struct FolderRow {
    std::string text;
    std::string path;  // the folder that opening the row moves to
    int indent = 0;    // in steps
    bool open = false; // an open folder: the current one or one above it
};

// The path from the root down to the current folder (open folders), then the current folder's
// subfolders (closed folders), each level one step further in.
struct FolderRows {
    std::vector<FolderRow> rows;
    std::size_t current = 0;  // the current folder's row
};

// `folder` is a full path: "C:\GPL\tracks", "C:\" or "\\server\share\GPL".
FolderRows BuildFolderRows(std::string_view folder, std::vector<std::string> subfolders);

// No trailing backslash except at a drive root; the drive letter upper case ("c:" gives "C:\").
std::string NormaliseFolder(std::string_view folder);

// "C:\" + "GPL" = "C:\GPL"; "C:\GPL" + "x" = "C:\GPL\x".
std::string JoinFolder(std::string_view folder, std::string_view name);

// "C:\GPL\tracks" gives "C:\GPL", "C:\GPL" gives "C:\"; a root is its own parent.
std::string ParentFolder(std::string_view folder);

// Case-insensitive for ASCII and for the accented letters of the ANSI code pages alike.
bool FolderNameLess(std::string_view a, std::string_view b);

}  // namespace lapforge::platform

#pragma once

#include "platform/FolderListModel.h"

#include <windows.h>

#include <string>

namespace lapforge::platform {

// The folder list: the current folder's path from the drive root down (open folders) and its
// subfolders (closed folders). Double-click or Enter opens a row. Every move to a folder, also
// one made by code, sends the parent WM_COMMAND with ChangeNotification before it returns.
class FolderList {
public:
    // Above every LBN_ code a list box sends.
    static constexpr WORD ChangeNotification = 0x4001;

    FolderList() = default;
    ~FolderList();
    FolderList(const FolderList&) = delete;
    FolderList& operator=(const FolderList&) = delete;

    // Starts at the process's current folder, without notifying.
    HWND Create(HWND parent, int id, const RECT& rect);
    HWND Handle() const { return frame_; }

    // Full path; no trailing backslash except at a drive root. 8-bit text (AnsiPath), while the
    // rows show the folders' real names.
    const std::string& Folder() const { return folder_; }

    // A folder that cannot be listed (a drive that is not ready, no access) or has no 8-bit name
    // throws WideFailure and leaves the list where it was.
    void SetFolder(const std::wstring& path);
    // Moves to that drive's current folder.
    void SetDrive(char letter);

private:
    static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    LRESULT HandleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Lists the folder and shows it; nothing changes when it cannot be listed.
    void MoveTo(const std::wstring& path, bool notify);
    void OpenSelected();
    void OnSetFont(HFONT font, BOOL redraw);
    void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
    void OnDrawItem(const DRAWITEMSTRUCT& item) const;
    int ItemHeight() const;

    HWND frame_ = nullptr;  // the control as the parent sees it; owns and draws the list box
    HWND list_ = nullptr;
    int id_ = 0;
    std::string folder_;
    FolderRows rows_;
};

}  // namespace lapforge::platform

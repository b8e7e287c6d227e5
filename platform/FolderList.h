#pragma once

#include "platform/Control.h"
#include "platform/FolderListModel.h"

#include <windows.h>

#include <string>

namespace lapforge::platform {

// The folder list: the current folder's path from the drive root down (open folders) and its
// subfolders (closed folders). Double-click or Enter opens a row. Every move to a folder, also
// one made by code, sends the parent WM_COMMAND with ChangeNotification before it returns.
class FolderList final : public Control {
public:
    // Above every LBN_ code a list box sends.
    static constexpr WORD ChangeNotification = 0x4001;

    FolderList() = default;

    // Starts at the process's current folder, without notifying. Throws Failure when the list
    // cannot be created.
    void Create(HWND parent, int id, const RECT& rect);

    // Full path; no trailing backslash except at a drive root. 8-bit text (AnsiPath), while the
    // rows show the folders' real names.
    const std::string& Folder() const { return folder_; }

    // A folder that cannot be listed (a drive that is not ready, no access) or has no 8-bit name
    // throws WideFailure and leaves the list where it was.
    void SetFolder(const std::wstring& path);
    // Moves to that drive's current folder, or to its root where that folder cannot be listed.
    void SetDrive(char letter);

private:
    // The frame's messages: the control as the parent sees it, which owns and draws the list box.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    // Lists the folder and shows it; nothing changes when it cannot be listed.
    void MoveTo(const std::wstring& path, bool notify);
    void OpenSelected();
    void OnSetFont(HFONT font, BOOL redraw);
    void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
    void OnDrawItem(const DRAWITEMSTRUCT& item) const;
    int ItemHeight() const;

    HWND list_ = nullptr;
    std::string folder_;
    FolderRows rows_;
};

}  // namespace lapforge::platform

#include "platform/DriveList.h"

#include "platform/DriveListModel.h"
#include "platform/Win32.h"

#include <string>

namespace lapforge::platform {

namespace {

std::string RootOf(char letter) { return std::string{letter, ':', '\\'}; }

std::wstring VolumeLabel(char letter) {
    // Only fixed drives are asked: an empty floppy, card reader or disc drive, or a lost network
    // share, can keep the list waiting for seconds.
    const std::string root = RootOf(letter);
    const UINT type = GetDriveTypeA(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_RAMDISK) return {};
    const QuietDriveErrors quiet;
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(Widen(root).c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return label;
}

char CurrentDrive() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    const char drive = length && length < MAX_PATH ? DriveOfPath(folder) : 0;
    return drive ? drive : 'C';  // a share as the current folder has no drive letter
}

}  // namespace

bool DriveIsReady(char letter) {
    // Ready means its root folder can be read; the volume alone can be there without it.
    const QuietDriveErrors quiet;
    const DWORD attributes = GetFileAttributesA(RootOf(letter).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HWND DriveList::Create(HWND parent, int id, const RECT& rect) {
    combo_ = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                             rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const char letter = static_cast<char>('A' + i);
        const std::wstring text = DriveItemText(letter, VolumeLabel(letter));
        const LRESULT index = SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(combo_, CB_SETITEMDATA, static_cast<WPARAM>(index), letter);
    }
    SetDrive(CurrentDrive());
    return combo_;
}

char DriveList::Drive() const {
    const LRESULT index = SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return CurrentDrive();
    return static_cast<char>(SendMessageW(combo_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void DriveList::SetDrive(char letter) {
    const char wanted = DriveOfPath(std::wstring{static_cast<wchar_t>(letter), L':'});
    const LRESULT count = SendMessageW(combo_, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<char>(SendMessageW(combo_, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == wanted) {
            // CB_SETCURSEL sends no CBN_SELCHANGE, so the parent hears only of the user's picks.
            SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

}  // namespace lapforge::platform

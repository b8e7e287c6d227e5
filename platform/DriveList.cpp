#include "platform/DriveList.h"

#include "platform/DriveListModel.h"
#include "platform/Win32.h"

#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

namespace lapforge::platform {

namespace {

// Posted to the drop-down after it closed up, so the pick is read once its selection is final.
constexpr UINT SettleMessage = WM_APP + 1;

std::string RootOf(char letter) { return std::string{letter, ':', '\\'}; }

bool RootIsReadable(const std::wstring& root) {
    const QuietDriveErrors quiet;
    const DWORD attributes = GetFileAttributesW(root.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

namespace {

// One probe per drive at a time: a dead network drive can keep one waiting far longer than anyone
// waits for it, and a second pick must not start a second thread beside it.
struct DriveProbeSlot {
    std::atomic<bool> running{false};
    std::atomic<HWND> notify{nullptr};
    std::atomic<UINT> message{0};
};

DriveProbeSlot& SlotOf(char letter) {
    static DriveProbeSlot slots[26];
    const int index = (letter >= 'a' ? letter - 'a' : letter - 'A');
    return slots[index >= 0 && index < 26 ? index : 0];
}

}  // namespace

void ProbeDrive(HWND window, UINT message, char letter) {
    DriveProbeSlot& slot = SlotOf(letter);
    slot.notify = window;
    slot.message = message;
    if (slot.running.exchange(true)) return;  // the running probe answers this window
    const std::wstring root = Widen(RootOf(letter));
    std::thread([&slot, root, letter] {
        // Ready means its root folder can be read; the volume alone can be there without it.
        const bool ready = RootIsReadable(root);
        slot.running = false;
        PostMessageW(slot.notify, slot.message, static_cast<WPARAM>(letter), ready ? 1 : 0);
    }).detach();
}

void DriveList::Create(HWND parent, int id, const RECT& rect) {
    CreateSubclassed(L"COMBOBOX", 0, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, parent, id, rect, "drive list");
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const char letter = static_cast<char>('A' + i);
        const std::wstring text = DriveItemText(letter, VolumeLabel(letter));
        const LRESULT index = SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(Handle(), CB_SETITEMDATA, static_cast<WPARAM>(index), letter);
    }
    SetDrive(CurrentDrive());
}

char DriveList::Drive() const {
    const LRESULT index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return CurrentDrive();
    return static_cast<char>(SendMessageW(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void DriveList::SetDrive(char letter) {
    const char wanted = DriveOfPath(std::wstring{static_cast<wchar_t>(letter), L':'});
    const LRESULT count = SendMessageW(Handle(), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<char>(SendMessageW(Handle(), CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == wanted) {
            // CB_SETCURSEL sends no CBN_SELCHANGE, so the parent hears only of the user's picks.
            SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            pick_.SetInUse(wanted);
            return;
        }
    }
}

void DriveList::Notified(WORD code) {
    switch (code) {
    case CBN_SELCHANGE:
        React(DriveListEvent::SelectionMoved);
        break;
    case CBN_DROPDOWN:
        React(DriveListEvent::Opened);
        break;
    case CBN_CLOSEUP:
        React(DriveListEvent::ClosedUp);
        break;
    case CBN_KILLFOCUS:
        React(DriveListEvent::FocusLost);
        break;
    }
}

bool DriveList::IsOpen() const { return SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE; }

void DriveList::React(DriveListEvent event) {
    const DriveListReaction reaction = pick_.On(event, Drive());
    if (reaction.show) SetDrive(reaction.show);
    if (reaction.settleLater) PostMessageW(Handle(), SettleMessage, 0, 0);
    if (reaction.pick) NotifyParent(PickNotification);
}

LRESULT DriveList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == SettleMessage) {
        React(DriveListEvent::Settled);
        return 0;
    }
    // Enter on the closed list is a pick; the open one closes on it as a drop-down does.
    const EnterKey key = EnterKeyMessage(message, wParam, lParam);
    if (key != EnterKey::None && !IsOpen())
        return TakeEnterKey(
            key, [&] { return PassOn(message, wParam, lParam); }, [this] { React(DriveListEvent::Enter); });
    return PassOn(message, wParam, lParam);
}

}  // namespace lapforge::platform

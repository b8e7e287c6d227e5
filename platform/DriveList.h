#pragma once

#include "platform/Control.h"
#include "platform/DriveListModel.h"

#include <windows.h>

namespace lapforge::platform {

// A drop-down of the machine's drives ("c: [System]"), starting at the process's current drive.
// The parent receives WM_COMMAND with PickNotification when the user has made a final pick (the
// open list closed on a drive, or Enter); stepping through the closed list notifies nothing. The
// parent passes the drop-down's own notifications on to Notified.
class DriveList final : public Control {
public:
    // Above every CBN_ code a drop-down sends.
    static constexpr WORD PickNotification = 0x4001;

    DriveList() = default;

    // Throws Failure when the list cannot be created.
    void Create(HWND parent, int id, const RECT& rect);

    // The picked drive's letter, upper case.
    char Drive() const;
    // Selects the drive without notifying the parent; a letter not in the list changes nothing.
    void SetDrive(char letter);

    // A CBN_ notification the drop-down sent the parent.
    void Notified(WORD code);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void React(DriveListEvent event);
    bool IsOpen() const;

    DrivePick pick_;
};

// False for a drive without a readable medium, such as an empty card reader, and for a network
// drive that does not answer within two seconds; asks no questions.
bool DriveIsReady(char letter);

}  // namespace lapforge::platform

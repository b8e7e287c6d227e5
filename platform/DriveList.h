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

// Asks on a worker thread whether the drive's root can be read (an empty card reader or a lost
// network drive cannot), asking the user no questions, and posts the answer to the window as
// `message` with the letter in wParam and 1 (ready) or 0 in lParam. While a probe of the drive still
// runs, no second one starts: the running one answers the window named last.
void ProbeDrive(HWND window, UINT message, char letter);

// How long a probe may take before the drive counts as not ready.
inline constexpr UINT DriveProbeLimitMilliseconds = 2000;

}  // namespace lapforge::platform

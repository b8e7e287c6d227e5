#pragma once

#include <windows.h>

namespace lapforge::platform {

// A drop-down of the machine's drives ("c: [System]"), starting at the process's current drive.
// The parent receives WM_COMMAND with CBN_SELCHANGE when the user picks one.
class DriveList {
public:
    HWND Create(HWND parent, int id, const RECT& rect);
    HWND Handle() const { return combo_; }

    // The picked drive's letter, upper case.
    char Drive() const;
    // Selects the drive without notifying the parent; a letter not in the list changes nothing.
    void SetDrive(char letter);

private:
    HWND combo_ = nullptr;
};

// False for a drive without a readable medium, such as an empty card reader; asks no questions.
bool DriveIsReady(char letter);

}  // namespace lapforge::platform

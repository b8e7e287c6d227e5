#pragma once

#include <string>
#include <string_view>

namespace lapforge::platform {

// The drive list's text for a drive: "c:", and " [label]" when the volume has a label.
std::wstring DriveItemText(char letter, std::wstring_view label);

// The upper-case drive letter a full path starts with, or 0 for a path without one.
char DriveOfPath(std::wstring_view path);

// What the drive list hears from its drop-down.
enum class DriveListEvent {
    SelectionMoved,  // an arrow key or wheel step on the closed list, or a move in the open one
    Opened,
    ClosedUp,  // the open list closed; its selection may still change right after
    Settled,   // posted after a close-up, once the selection is final
    Enter,     // on the closed list
    FocusLost,
};

struct DriveListReaction {
    char pick = 0;             // the drive the user picked: move the folder list there
    char show = 0;             // show this drive again, without acting on it
    bool settleLater = false;  // post Settled to come back once the close-up is over
};

// The drive list acts only on the user's final pick: the open list closing on a drive (a click, or
// Enter in it), or Enter on the closed list. The steps of a closed list (every arrow key and wheel
// notch moves its selection) only show a drive, so an empty card reader on the way is passed over
// instead of stopping the user there.
class DrivePick {
public:
    explicit DrivePick(char inUse = 0) : inUse_(inUse) {}

    // The drive the folder list is on, as the list shows it after a pick that failed or by code.
    void SetInUse(char drive) { inUse_ = drive; }
    char InUse() const { return inUse_; }

    // `shown` is the drive the list shows when the event comes.
    DriveListReaction On(DriveListEvent event, char shown);

private:
    char inUse_;
    bool open_ = false;
};

}  // namespace lapforge::platform

#include "platform/DriveListModel.h"

namespace lapforge::platform {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

std::wstring DriveItemText(char letter, std::wstring_view label) {
    std::wstring text{static_cast<wchar_t>(Lower(letter)), L':'};
    if (!label.empty()) {
        text += L" [";
        text += label;
        text += L']';
    }
    return text;
}

char DriveOfPath(std::wstring_view path) {
    if (path.size() < 2 || path[1] != L':' || path[0] > 0x7F) return 0;
    const char letter = Upper(static_cast<char>(path[0]));
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

DriveListReaction DrivePick::On(DriveListEvent event, char shown) {
    DriveListReaction reaction;
    switch (event) {
    case DriveListEvent::SelectionMoved:
        break;
    case DriveListEvent::Opened:
        open_ = true;
        break;
    case DriveListEvent::ClosedUp:
        open_ = false;
        reaction.settleLater = true;
        break;
    case DriveListEvent::Settled:
    case DriveListEvent::Enter:
        if (shown && shown != inUse_) {
            reaction.pick = shown;
            inUse_ = shown;
        }
        break;
    case DriveListEvent::FocusLost:
        // Arrowed to a drive and left without a pick: the list shows where the folder list is.
        if (!open_ && shown != inUse_) reaction.show = inUse_;
        break;
    }
    return reaction;
}

}  // namespace lapforge::platform

#include "platform/DriveListModel.h"

namespace lapforge::platform {

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

std::string DriveItemText(char letter, std::string_view label) {
    std::string text{Lower(letter), ':'};
    if (!label.empty()) {
        text += " [";
        text += label;
        text += ']';
    }
    return text;
}

char DriveOfPath(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') return 0;
    const char letter = Upper(path[0]);
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

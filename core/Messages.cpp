#include "core/Messages.h"

#include <cctype>

namespace lapforge {

std::string DriveNotReadyMessage(char driveLetter) {
    std::string text = "Drive ";
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)));
    text +=
        ": is not ready.\n\nInsert a disc or card, or reconnect the network drive, and pick the drive "
        "again; or pick another drive.";
    return text;
}

std::string LaunchFailedText(std::string_view reason) {
    std::string text(LaunchFailedMessage);
    if (!reason.empty()) {
        text += "\n\n";
        text += reason;
    }
    return text;
}

std::string UnhandledFailureText(std::string_view what) {
    std::string sentence(what.empty() ? std::string_view("an unknown error occurred") : what);
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    if (sentence.back() != '.' && sentence.back() != '!') sentence += '.';
    return "Lapforge has to stop.\n\n" + sentence;
}

}  // namespace lapforge

#include "core/Messages.h"

#include "core/Failure.h"

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

namespace {

// A failure's text as a sentence of its own: capital first, full stop last.
std::string Sentence(std::string_view what) {
    std::string sentence(what.empty() ? std::string_view("the failure gave no reason") : what);
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    if (sentence.back() != '.' && sentence.back() != '!') sentence += '.';
    return sentence;
}

}  // namespace

std::string LaunchFailedText(std::string_view exePath, std::string_view reason) {
    std::string text(LaunchFailedMessage);
    text += "\n\nWindows could not start \"";
    text += exePath;
    text += "\"";
    if (!reason.empty()) {
        // Some of Windows' reasons name the program through an insert ("%1 is not a valid Win32
        // application"), which the system leaves unfilled.
        std::string filled = AsReason(std::string(reason));
        for (std::size_t at = filled.find("%1"); at != std::string::npos; at = filled.find("%1", at + exePath.size()))
            filled.replace(at, 2, exePath);
        text += ": ";
        text += filled;
    }
    if (text.back() != '.') text += '.';
    text +=
        "\n\nCheck that the GPL folder shown in Lapforge is the one GPL is installed in, that gpl.exe starts "
        "when you double-click it there, and that no virus scanner keeps it from starting.";
    return text;
}

std::string RestoreFailedText(std::string_view what) {
    return "Lapforge could not put line 54 of GPL's track file back as it found it, so GPL started alone may "
           "deploy at the last section picked.\n\n" +
           Sentence(what);
}

std::string FolderChangeFailedText(std::string_view what) {
    return "Lapforge keeps the GPL folder it had.\n\n" + Sentence(what);
}

std::string UndescribedFailure(std::string_view what) {
    std::string text(what);
    text += " failed without saying why";
    return text;
}

std::string UnhandledFailureText(std::string_view what) { return "Lapforge has to stop.\n\n" + Sentence(what); }

}  // namespace lapforge

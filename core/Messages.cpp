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
        text += ": ";
        text += AsReason(std::string(reason));
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

namespace lapforge {

std::string SimulatorAccessText(SimulatorAccess access) {
    const std::string what =
        " Buttons on your wheel or button box still move the deploy point; keys do not while GPL is in front. "
        "To use keys, start GPL without administrator rights, or start Lapforge as administrator too.";
    switch (access) {
    case SimulatorAccess::Usable:
        return {};
    case SimulatorAccess::Elevated:
        return "GPL runs as administrator, so Windows keeps its keys from Lapforge." + what;
    case SimulatorAccess::Unopenable:
        return "GPL runs as administrator or under another account, so Lapforge cannot look at it." + what;
    }
    return {};
}

std::string InputHeldByOtherText(std::string_view inputName, bool otherIsNext) {
    return std::string(inputName) + " already moves to the " + (otherIsNext ? "next" : "previous") +
           " section. Press another, or change that one first.";
}

std::string ConnectedJoysticksText(const std::vector<JoystickInfo>& joysticks) {
    if (joysticks.empty()) return "No controller connected. Plug in your wheel or button box to bind one of its buttons.";
    std::string text = "Connected: ";
    for (std::size_t i = 0; i < joysticks.size(); ++i) {
        const JoystickInfo& joystick = joysticks[i];
        if (i > 0) text += "; ";
        text += joystick.name.empty() ? "controller " + std::to_string(joystick.id + 1) : joystick.name;
        if (joystick.buttons > ButtonCount)
            text += " (buttons 1 to " + std::to_string(ButtonCount) + (joystick.hat ? " and the hat" : "") +
                    " of its " + std::to_string(joystick.buttons) + " can be used)";
    }
    return text + ".";
}

}  // namespace lapforge

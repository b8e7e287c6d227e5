#include "core/Messages.h"

#include "core/Failure.h"
#include "core/LapPoints.h"
#include "core/Settings.h"
#include "core/SimulatorFolder.h"
#include "core/TrackFileBuffer.h"

#include <cctype>
#include <cstdlib>

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

std::string DriveNotOpenedMessage(char driveLetter, std::string_view what) {
    std::string text = "Drive ";
    text += static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)));
    text += ": could not be opened.\n\n" + Sentence(what) +
            "\n\nPick another drive; or, if GPL is on this one, check in Explorer that you may open the drive, "
            "then pick it again.";
    return text;
}

std::string LaunchFallbackText(std::string_view program) {
    std::string text = "\"";
    text += program;
    text += "\" is no longer in the GPL folder, so Launch GPL starts gpl.exe.";
    return text;
}

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

std::string FolderChangeFailedText(std::string_view what, std::string_view notRewritten) {
    std::string text = "Lapforge keeps the GPL folder it had.\n\n" + Sentence(what);
    if (!notRewritten.empty())
        text += "\n\nLine 54 there is back as Lapforge found it: the section shown could not be written again. " +
                Sentence(notRewritten);
    return text;
}

namespace {

std::string SettingsAdvice(bool readOnly) {
    if (readOnly)
        return "To let Lapforge write it: in Explorer, right-click \"lapforge.ini\" beside lapforge.exe, choose "
               "Properties, clear \"Read-only\" and click OK.";
    return "Lapforge keeps its settings beside lapforge.exe, and Windows does not let it write there. Move the "
           "whole Lapforge folder to a folder you may write to, for example into Documents, and start "
           "lapforge.exe there.";
}

}  // namespace

std::string SettingsNotSavedText(std::string_view what, bool readOnly) {
    return "Lapforge could not save your settings in lapforge.ini, so they hold only until you exit Lapforge.\n\n" +
           Sentence(what) + "\n\n" + SettingsAdvice(readOnly);
}

std::string FolderNotSavedText(std::string_view newFolder, std::string_view oldFolder, std::string_view what,
                               bool readOnly) {
    std::string text = "Lapforge now uses the GPL folder \"";
    text += newFolder;
    text += "\", but could not save it in lapforge.ini: the next start uses \"";
    text += oldFolder;
    text += "\" again.\n\n" + Sentence(what) + "\n\n" + SettingsAdvice(readOnly);
    return text;
}

std::string FolderNotRememberedText(std::string_view what, bool readOnly) {
    return "Lapforge could not save the GPL folder in lapforge.ini, so it asks for it again at the next start.\n\n" +
           Sentence(what) + "\n\n" + SettingsAdvice(readOnly);
}

std::string SettingsUnreadableText(std::string_view what) {
    return "Lapforge could not read its settings. " + Sentence(what) +
           "\n\nYour GPL folder, points and keys are in that file, so Lapforge does not write it in this run. "
           "Choose the GPL folder to practise now; what you change holds until you exit.\n\n"
           "To get your settings back, exit Lapforge and then: close the sync or backup program that holds "
           "lapforge.ini; if the file is online-only (a cloud mark in Explorer), right-click it and keep it on "
           "this device; or check on its Properties' Security tab that you may read it. Then start Lapforge again.";
}

std::string FolderKeptForTheRunText(std::string_view newFolder) {
    std::string text = "Lapforge now uses the GPL folder \"";
    text += newFolder;
    text += "\" until you exit. ";
    return text + std::string(SettingsUnreadNotSavedText);
}

std::string TrackFileTooShortReason(std::string_view copyPath) {
    std::string reason = "the file has fewer than " + std::to_string(TrackLineCount) + " lines";
    if (!copyPath.empty()) {
        reason += ". Lapforge kept the file as it first found it in \"";
        reason += copyPath;
        reason += "\"";
    }
    return reason;
}

std::string NotADeployLineText(std::string_view path) {
    std::string text = "line " + std::to_string(DeployLineIndex + 1) + " of \"";
    text += path;
    text += "\" is not GPL's deploy point (stall_0) in this track file, so Lapforge leaves the file alone";
    return text;
}

std::string NoDeployLineText(std::string_view path) {
    return "\"" + std::string(path) + "\" has no deploy point (stall_0) in its first " +
           std::to_string(TrackLineCount) + " lines, so Lapforge leaves the file alone";
}

std::string ReadOnlyTrackFileAdvice(std::string_view fileName) {
    return "To let Lapforge write it: in Explorer, right-click \"" + std::string(fileName) +
           "\" in GPL's tracks\\nurburg folder, choose Properties, clear \"Read-only\" and click OK. Then pick the "
           "section again";
}

std::string_view FolderHint(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::NoTrackFile:
        return "GPL is here, but not its Nordschleife: \"tracks\\nurburg\\track.ini\" is missing or cannot be "
               "read.";
    case FolderVerdict::TrackFileTooShort:
        return "GPL's Nordschleife file \"track.ini\" here has fewer than 100 lines: Lapforge cannot use it.";
    case FolderVerdict::NoDeployLine:
        return "Line 54 of this GPL's Nordschleife \"track.ini\" is not its deploy point (stall_0): Lapforge "
               "leaves it alone.";
    case FolderVerdict::TrackFileNotWritable:
        return "GPL's Nordschleife file \"track.ini\" here is read-only or may not be written: Lapforge cannot "
               "use it.";
    case FolderVerdict::Usable:
    case FolderVerdict::NoSimulator:
        break;
    }
    return {};
}

std::string_view FolderProblemReason(FolderVerdict verdict) {
    switch (verdict) {
    case FolderVerdict::NoSimulator:
        return "it holds no gpl.exe";
    case FolderVerdict::NoTrackFile:
        return "its Nordschleife track file (tracks\\nurburg\\track.ini) is missing or cannot be read";
    case FolderVerdict::TrackFileTooShort:
        return "its Nordschleife track file has fewer than 100 lines";
    case FolderVerdict::NoDeployLine:
        return "line 54 of its Nordschleife track file is not GPL's deploy point";
    case FolderVerdict::TrackFileNotWritable:
        return "its Nordschleife track file is read-only or may not be written";
    case FolderVerdict::Usable:
        break;
    }
    return {};
}

std::string RememberedFolderProblem(std::string_view folder, std::string_view why) {
    std::string line = "Lapforge cannot use the GPL folder \"";
    line += folder;
    line += "\": ";
    line += why;
    line += '.';
    return line;
}

std::string UndescribedFailure(std::string_view what) {
    std::string text(what);
    text += " failed without saying why";
    return text;
}

std::string UnhandledFailureText(std::string_view what) { return "Lapforge has to stop.\n\n" + Sentence(what); }

namespace {

// A failure's first paragraph, the one that says what failed; the advice after it is too long for a line.
std::string_view FirstParagraph(std::string_view what) { return what.substr(0, what.find("\n\n")); }

}  // namespace

std::string StatusLineText(const CycleStatus& status) {
    if (!status.problem.empty()) return status.problem;
    if (!status.notice.empty()) return status.notice;
    // Line 54 names no section only where it holds GPL's own line again.
    const std::string startsAt =
        "GPL will start you at " +
        (status.deploySection.empty() ? std::string("its own deploy point") : status.deploySection) +
        (status.deploySection.empty() || status.alsoIn.empty() ? std::string() : " (also in " + status.alsoIn + ")") +
        ".";
    const std::string keepOpen = " Keep Lapforge open while you drive: Exit puts GPL's own deploy point back.";
    if (!status.armed) return "The hotkey is off. " + startsAt + keepOpen;
    std::string keys;
    if (!status.nextName.empty())
        keys = status.nextName + (status.onlyPoints ? " moves to your next point" : " moves to the next section");
    if (!status.previousName.empty()) keys += (keys.empty() ? "" : ", ") + status.previousName + " back";
    if (keys.empty()) return "No key or button is set to move on: click Keys to set one. " + startsAt;
    if (status.simulatorRuns) return "GPL runs: " + keys + ". " + startsAt;
    return "Waiting for GPL from this folder; then " + keys + ". " + startsAt + keepOpen;
}

std::string DeployPlace(std::string_view sectionInFile) {
    return sectionInFile.empty() ? std::string("GPL's own deploy point") : std::string(sectionInFile);
}

namespace {

// What to do, short enough for the status line; the box of a refused pick has the whole advice.
std::string RefusalAdvice(const std::exception& failure, std::string_view fileName = "track.ini") {
    if (dynamic_cast<const ReadOnlyFile*>(&failure))
        return "Clear the Read-only flag of " + std::string(fileName) + " (Explorer, Properties)";
    if (dynamic_cast<const RecordNotWritten*>(&failure))
        return "Let Lapforge write in GPL's tracks\\nurburg folder: the disk must not be full, the folder not "
               "read-only";
    if (dynamic_cast<const NotADeployLine*>(&failure) || dynamic_cast<const TrackFileTooShort*>(&failure))
        return "Put GPL's own " + std::string(fileName) + " back, or pick another GPL folder with Change";
    return "Close what holds GPL's track file (an editor, a backup or sync tool)";
}

}  // namespace

std::string StepRefusedStatus(const std::exception& failure, std::string_view sectionInFile) {
    return "Deploy point not written: " + Sentence(FirstParagraph(failure.what())) + " GPL still starts you at " +
           DeployPlace(sectionInFile) + ". " + RefusalAdvice(failure) + "; the next press tries again.";
}

std::string ModTrackFilesText(const std::vector<std::string>& mods) {
    if (mods.empty()) return {};
    if (mods.size() == 1) return "the " + mods.front() + " mod's track file";
    std::string text = "the ";
    for (std::size_t i = 0; i + 1 < mods.size(); ++i) text += mods[i] + (i + 2 < mods.size() ? ", " : "");
    return text + " and " + mods.back() + " mods' track files";
}

std::string ModFileRefusedStatus(const std::exception& failure, std::string_view mod, std::string_view fileName,
                                 std::string_view placeInFile) {
    // The file's name says enough where the line is short: its folder is the GPL folder shown above.
    std::string what(FirstParagraph(failure.what()));
    const std::size_t open = what.find('"'), close = what.find("\": ");
    if (open < close && close != std::string::npos && std::string_view(what).substr(0, close).ends_with(fileName))
        what.replace(open + 1, close - open - 1, fileName);
    return "Not written to the " + std::string(mod) + " mod's track file: " + Sentence(what) + " GPL " +
           std::string(mod) + " still starts you at " + DeployPlace(placeInFile) + ". " +
           RefusalAdvice(failure, fileName) + "; the next press tries again.";
}

std::string ModFileNotSteeredStatus(std::string_view what, std::string_view mod) {
    return "Lapforge cannot steer the " + std::string(mod) + " mod's track file: " + Sentence(FirstParagraph(what)) +
           " GPL " + std::string(mod) + " starts you where that file says.";
}

std::string PickRefusedText(std::string_view what, std::string_view sectionInFile) {
    return Sentence(what) + "\n\nLapforge goes on with " + DeployPlace(sectionInFile) +
           ", as GPL's track file holds it. Pick the section again once the file can be written.";
}

std::string RecordNotWrittenText(std::string_view trackPath, std::string_view what, std::string_view advice) {
    // The note's own name means nothing to a driver: the folder and the system's reason do.
    const std::string_view folder = trackPath.substr(0, trackPath.find_last_of('\\'));
    const std::size_t reason = what.find("\": ");
    std::string text = "Lapforge could not keep its note of GPL's own deploy point beside GPL's track file in \"";
    text += folder;
    text += "\"";
    if (reason != std::string_view::npos) text += " (" + std::string(FirstParagraph(what.substr(reason + 3))) + ")";
    text += ", so it changed nothing in the track file.\n\n";
    text += advice.empty()
                ? "Windows does not let Lapforge write in that folder. Check that the disk is not full and that "
                  "the folder is not read-only; then pick the section again."
                : std::string(advice);
    return text;
}

std::string DeployLineChangedText(std::string_view line) {
    return "Line 54 of GPL's track file was changed outside Lapforge to \"" + std::string(line) +
           "\": Lapforge takes it as GPL's own deploy point and puts it back when you exit.";
}


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
        return "A GPL runs as administrator or under another account, and Windows does not let Lapforge look at "
               "it: Lapforge cannot tell that it runs, so your hotkeys and buttons may do nothing. Start GPL "
               "without administrator rights, or start Lapforge as administrator too.";
    }
    return {};
}

std::string InputInUseText(std::string_view inputName, BindingUse::Role role, std::string_view jumpTarget) {
    if (role == BindingUse::Role::Jump)
        return std::string(inputName) + " already jumps to \"" + std::string(jumpTarget) +
               "\". Press another, or clear that one first.";
    return std::string(inputName) + " already moves to the " + (role == BindingUse::Role::Next ? "next" : "previous") +
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

// --- The driver's own points ---

namespace {

// Where points may lie, in km as a driver types them: the whole tens of metres inside the limits.
std::string PointRangeText() {
    return "from " + KmText((FirstPointMetres + 9) / 10 * 10) + " to " + KmText(LastPointMetres / 10 * 10);
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

}  // namespace

std::string KmNotReadText(std::string_view typed) {
    return Quoted(typed) + " is no distance. Type it in km, for example 12.3 for a point 12 300 m into the lap.";
}

std::string OutsideLapText(int metres) {
    return KmText(metres) + " is not on the lap, which is " + KmText(LapMetres).substr(3) +
           " km long. Type a distance " + PointRangeText() + ".";
}

std::string InPitLoopText(int metres) {
    return KmText(metres) +
           " lies in the pit loop, which the section Pitlane covers. Pick Pitlane for it, or a place " +
           PointRangeText() + ".";
}

std::string NearSectionText(int metres, std::string_view section, int sectionMetres) {
    const std::string advice =
        " Pick that section, or a place at least " + std::to_string(PointSpacingMetres) + " m from it.";
    if (metres == sectionMetres)
        return "The section " + Quoted(section) + " already deploys at " + KmText(sectionMetres) + "." + advice;
    return KmText(metres) + " is only " + std::to_string(std::abs(metres - sectionMetres)) +
           " m from where the section " + Quoted(section) + " deploys (" + KmText(sectionMetres) +
           "), and that section already deploys there." + advice;
}

std::string NearPointText(int metres, std::string_view point, int pointMetres) {
    const std::string advice = " Your points must be at least " + std::to_string(PointSpacingMetres) +
                               " m apart: pick a place farther from it.";
    if (metres == pointMetres)
        return "Your point " + Quoted(point) + " is already at " + KmText(pointMetres) + "." + advice;
    return KmText(metres) + " is only " + std::to_string(std::abs(metres - pointMetres)) + " m from your point " +
           Quoted(point) + " (" + KmText(pointMetres) + ")." + advice;
}

std::wstring PointOfferText(int metres) {
    const std::string km = KmText(metres), ahead = CornerAheadText(metres);
    // Both are ASCII.
    return L"Deploy at " + std::wstring(km.begin(), km.end()) + L" \u2014 " + std::wstring(ahead.begin(), ahead.end());
}

std::string SkippedLinesText(const std::vector<SkippedLine>& skipped) {
    std::string text = skipped.size() == 1 ? "Lapforge skipped this line of lapforge.ini:\n"
                                           : "Lapforge skipped these lines of lapforge.ini:\n";
    for (const SkippedLine& line : skipped) text += "\n" + line.line + "\n" + line.reason + "\n";
    return text +
           "\nThey stay in the file as they are. Correct or delete them in a text editor while Lapforge is closed, "
           "or set up those points and buttons again in Lapforge.";
}

std::string SkippedLinesStatus(std::size_t count) {
    return count == 1 ? "A line of lapforge.ini skipped, kept as it was."
                      : std::to_string(count) + " lines of lapforge.ini skipped, kept as they were.";
}

}  // namespace lapforge

#include "core/Controller.h"
#include "core/FileIO.h"
#include "core/HostFolderChoice.h"
#include "core/Messages.h"
#include "core/SimulatorFolder.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

// A folder check that looks for gpl.exe alone, through the probe: the track file's part is the
// folder check's own business, tested with it.
HostFolderChoice::FolderCheck ExeCheck(std::function<bool(const std::string&)> probe) {
    return [probe](const std::string& folder) {
        return probe(SimulatorExeIn(folder)) ? FolderVerdict::Usable : FolderVerdict::NoSimulator;
    };
}

}  // namespace

TEST(HostFolderChoice, OkWaitsForAChangeEvenInAFolderHoldingGplExe) {
    std::vector<std::string> probed;
    std::string folder = "C:\\GPL";
    HostFolderChoice choice(folder, ExeCheck([&](const std::string& path) {
                                probed.push_back(path);
                                return true;
                            }));
    EXPECT_FALSE(choice.Usable());
    EXPECT_TRUE(probed.empty()) << "opening the dialog looks at no folder";
    choice.FolderChanged("C:\\GPL");
    EXPECT_TRUE(choice.Usable());
    EXPECT_EQ(probed, std::vector<std::string>{"C:\\GPL\\gpl.exe"});
}

TEST(HostFolderChoice, OkFollowsThePresenceOfGplExe) {
    std::set<std::string> files = {"C:\\GPL\\gpl.exe", "D:\\\\gpl.exe", "C:\\M\xfcnchen\\gpl.exe"};
    std::vector<std::string> probed;
    std::string folder;
    HostFolderChoice choice(folder, ExeCheck([&](const std::string& path) {
                                probed.push_back(path);
                                if (path.starts_with("X:\\")) throw std::runtime_error("drive vanished");
                                return files.count(path) > 0;
                            }));

    // Every step changes the flag, or keeps it where a stale answer would be wrong.
    struct Step {
        const char* folder;
        bool exeFound;
        const char* fileAppears;  // before the change; the answer must not come from a cache
    };
    const Step steps[] = {
        {"C:\\GPL", true, nullptr},
        {"C:\\GPL\\tracks", false, nullptr},
        {"C:\\GPL", true, nullptr},
        {"X:\\gone", false, nullptr},  // a failing probe clears a found executable
        {"D:\\", true, nullptr},
        {"C:\\M\xfcnchen", true, nullptr},
        {"C:\\Program Files", false, nullptr},
        {"C:\\Program Files", true, "C:\\Program Files\\gpl.exe"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.folder);
        if (step.fileAppears) files.insert(step.fileAppears);
        const std::size_t probesBefore = probed.size();
        choice.FolderChanged(step.folder);
        EXPECT_EQ(folder, step.folder);
        EXPECT_EQ(choice.Usable(), step.exeFound);
        ASSERT_EQ(probed.size(), probesBefore + 1);
        EXPECT_EQ(probed.back(), std::string(step.folder) + "\\gpl.exe");
    }
}

TEST(HostFolderChoice, CancelMarksTheSimulatorNotInstalledEvenAfterAGoodFolder) {
    std::string folder;
    HostFolderChoice choice(folder, ExeCheck([](const std::string&) { return true; }));
    choice.FolderChanged("C:\\GPL");
    choice.Cancel();
    EXPECT_EQ(folder, "GPL not installed");
}

TEST(Messages, Texts) {
    EXPECT_EQ(DriveNotReadyMessage('e').substr(0, 24), "Drive E: is not ready.\n\n");
    EXPECT_EQ(DriveNotOpenedMessage('h', "could not open folder \"H:\\\": access is denied"),
              "Drive H: could not be opened.\n\nCould not open folder \"H:\\\": access is denied.\n\nPick another drive; "
              "or, if GPL is on this one, check in Explorer that you may open the drive, then pick it again.");
    const std::string launch = LaunchFailedText("C:\\GPL\\gpl.exe", "the system cannot find the file specified.");
    EXPECT_EQ(launch.substr(0, launch.find("\n\nCheck")),
              "GPL could not be launched!\n\nWindows could not start \"C:\\GPL\\gpl.exe\": the system cannot find the "
              "file specified.");
    // Windows' own insert, filled with the program's path.
    EXPECT_NE(LaunchFailedText("C:\\GPL\\gpl.exe", "%1 is not a valid Win32 application")
                  .find("\"C:\\GPL\\gpl.exe\": C:\\GPL\\gpl.exe is not a valid Win32 application."),
              std::string::npos);
    EXPECT_EQ(UnhandledFailureText("could not write \"C:\\GPL\\tracks\\nurburg\\track.ini\": access denied"),
              "Lapforge has to stop.\n\nCould not write \"C:\\GPL\\tracks\\nurburg\\track.ini\": access denied.");
    EXPECT_EQ(UnhandledFailureText(UndescribedFailure("the folder list")),
              "Lapforge has to stop.\n\nThe folder list failed without saying why.");
}

namespace {

// The dialog's window as the drive change sees it: each drive has a current folder, some drives
// are not ready, and moving the folder list raises its change at once, as the real list does.
class FakeDialog final : public FolderDialogWindow {
public:
    FakeDialog(HostFolderChoice& choice, std::string& simulatorFolder)
        : choice_(choice), simulatorFolder_(simulatorFolder) {}

    std::map<char, std::string> driveFolders;
    std::set<char> notReady;
    std::set<char> unlistable;  // ready, yet its folder cannot be listed
    std::string folderList;
    std::vector<std::string> seen;  // what the user would see, in order

    std::string hint;
    // Answers at once; the late answers of earlier picks are tested on their own.
    void StartDriveProbe(char drive) override { choice_.DriveProbed(drive, notReady.count(drive) == 0, *this); }
    void EndDriveProbe() override {}
    void ShowHint(std::string_view text) override { hint = text; }
    void ShowDriveProblem(std::string_view text) override {
        seen.push_back("box: " + std::string(text.substr(0, text.find('\n'))));
    }
    void ShowDrive(char drive) override { seen.push_back(std::string("drive list: ") + drive); }
    void MoveFolderListToDrive(char drive) override {
        if (unlistable.count(drive)) throw std::runtime_error("could not open folder \"H:\\\": access is denied");
        folderList = driveFolders.at(drive);
        seen.push_back("folder list: " + folderList);
        choice_.FolderListChanged(*this);
    }
    std::string FolderListFolder() override { return folderList; }
    void EnableOk(bool enabled) override {
        seen.push_back(std::string(enabled ? "OK on" : "OK off") + " with " + simulatorFolder_);
    }

private:
    HostFolderChoice& choice_;
    std::string& simulatorFolder_;
};

}  // namespace

TEST(HostFolderChoice, ADriveChangeMovesTheFolderListFirstThenSetsOkByItsFolder) {
    struct Case {
        const char* name;
        char drive;
        std::vector<std::string> seen;
        const char* simulatorFolder;
        bool exeFound;
    };
    // The dialog starts on C:\GPL, which holds gpl.exe, opened by the user: OK is on.
    const Case cases[] = {
        {"a drive whose current folder holds gpl.exe",
         'E',
         {"folder list: E:\\Games\\GPL", "OK on with E:\\Games\\GPL", "OK on with E:\\Games\\GPL"},
         "E:\\Games\\GPL",
         true},
        {"a drive root holding gpl.exe",
         'F',
         {"folder list: F:\\", "OK on with F:\\", "OK on with F:\\"},
         "F:\\",
         true},
        {"a drive without it turns OK off",
         'G',
         {"folder list: G:\\Music", "OK off with G:\\Music", "OK off with G:\\Music"},
         "G:\\Music",
         false},
        {"a drive that is not ready: a message, and the drive list back on the folder list's drive",
         'D',
         {"box: Drive D: is not ready.", "drive list: C"},
         "C:\\GPL",
         true},
        {"a drive that answers but cannot be listed: the same, and the dialog goes on",
         'H',
         {"box: Drive H: could not be opened.", "drive list: C"},
         "C:\\GPL",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<std::string> files = {"C:\\GPL\\gpl.exe", "E:\\Games\\GPL\\gpl.exe", "F:\\\\gpl.exe"};
        std::string simulatorFolder;
        HostFolderChoice choice(simulatorFolder,
                                ExeCheck([&](const std::string& path) { return files.count(path) > 0; }));
        FakeDialog dialog(choice, simulatorFolder);
        dialog.driveFolders = {{'E', "E:\\Games\\GPL"}, {'F', "F:\\"}, {'G', "G:\\Music"}};
        dialog.notReady = {'D'};
        dialog.unlistable = {'H'};
        dialog.folderList = "C:\\GPL";
        choice.FolderListChanged(dialog);
        dialog.seen.clear();

        choice.DriveChanged(c.drive, dialog);
        EXPECT_EQ(dialog.seen, c.seen);
        EXPECT_FALSE(dialog.hint.starts_with("Checking")) << "the hint still waits for the drive";
        EXPECT_EQ(simulatorFolder, c.simulatorFolder);
        EXPECT_EQ(choice.Usable(), c.exeFound);
    }
}

TEST(SimulatorFolderCheck, OkOnlyWhereGplAndATrackFileItMayRewriteAre) {
    struct Case {
        const char* name;
        bool exe;
        const char* track;  // nullptr: no track file
        FolderVerdict verdict;
        bool readOnly = false;
    };
    const std::string good = NumberedLines(100);
    const std::string odd = NumberedLines(53) + "pit_speed = 60\r\n" + NumberedLines(46, 55);
    const std::string shortFile = NumberedLines(99);
    const Case cases[] = {
        {"gpl.exe and a good track file", true, good.c_str(), FolderVerdict::Usable},
        {"no gpl.exe", false, good.c_str(), FolderVerdict::NoSimulator},
        {"no track file", true, nullptr, FolderVerdict::NoTrackFile},
        {"a short track file", true, shortFile.c_str(), FolderVerdict::TrackFileTooShort},
        {"line 54 no deploy point", true, odd.c_str(), FolderVerdict::NoDeployLine},
        {"a read-only track file", true, good.c_str(), FolderVerdict::TrackFileNotWritable, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder sim;
        if (c.exe) sim.Write("\\gpl.exe", "MZ");
        if (c.track) sim.Write("\\tracks\\nurburg\\track.ini", c.track);
        if (c.readOnly)
            std::filesystem::permissions(TestFolder::Native(sim.Path() + "\\tracks\\nurburg\\track.ini"),
                                         std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                         std::filesystem::perm_options::remove);
        const FolderVerdict verdict = CheckSimulatorFolder(sim.Path(), FileOpensForReading);
        EXPECT_EQ(verdict, c.verdict);
        // The dialog's own hint asks for gpl.exe; every other lack is named.
        const bool ownHint = verdict == FolderVerdict::Usable || verdict == FolderVerdict::NoSimulator;
        EXPECT_EQ(FolderHint(verdict).empty(), ownHint);
        if (verdict == FolderVerdict::TrackFileTooShort) {
            EXPECT_NE(FolderHint(verdict).find("fewer than 100 lines"), std::string_view::npos);
        }
        EXPECT_EQ(TestFolder::EntryCount(sim.Path()), (c.exe ? 1u : 0u) + (c.track ? 1u : 0u)) << "nothing written";
    }
}

TEST(HostFolderChoice, OnlyTheLastPickedDrivesAnswerCounts) {
    struct Probe final : FolderDialogWindow {
        std::vector<std::string> seen;
        void StartDriveProbe(char drive) override { seen.push_back(std::string("probe ") + drive); }
        void EndDriveProbe() override { seen.push_back("probe ended"); }
        void ShowDriveProblem(std::string_view text) override { seen.push_back(std::string(text.substr(0, 22))); }
        void ShowDrive(char drive) override { seen.push_back(std::string("drive list: ") + drive); }
        void MoveFolderListToDrive(char drive) override { seen.push_back(std::string("folder list: ") + drive); }
        std::string FolderListFolder() override { return "C:\\GPL"; }
        void EnableOk(bool) override {}
        void ShowHint(std::string_view text) override { seen.push_back("hint: " + std::string(text)); }
    } dialog;
    std::string folder;
    HostFolderChoice choice(folder, ExeCheck([](const std::string&) { return false; }));

    choice.DriveChanged('D', dialog);
    choice.DriveChanged('E', dialog);
    choice.DriveProbed('D', false, dialog);  // late: the user has moved on to E:
    choice.DriveProbed('E', false, dialog);
    choice.DriveProbed('E', true, dialog);  // a second answer for a settled pick
    const std::vector<std::string> expected = {"hint: Checking drive D:...",
                                               "probe D",
                                               "hint: Checking drive E:...",
                                               "probe E",
                                               "probe ended",  // only now: the late D must not stop E's time-out
                                               "hint: ",
                                               "Drive E: is not ready.",
                                               "drive list: C"};
    EXPECT_EQ(dialog.seen, expected);
}

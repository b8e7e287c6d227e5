#include "core/DataFiles.h"
#include "core/SimulatorLaunch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

// Records every start and answers with the outcomes the test gives it.
class ScriptedStarter : public ProcessStarter {
public:
    StartOutcome created;
    StartOutcome shell;
    std::vector<std::string> calls;
    unsigned long flags = 0;

    StartOutcome StartProcess(const std::string& exePath, const std::string& workingFolder,
                              unsigned long creationFlags) override {
        calls.push_back("create " + exePath + " in " + workingFolder);
        flags = creationFlags;
        return created;
    }
    StartOutcome StartAsShell(const std::string& exePath, const std::string& workingFolder) override {
        calls.push_back("shell " + exePath + " in " + workingFolder);
        return shell;
    }
};

const std::string Exe = "C:\\GPL\\gpl.exe";
const std::string Folder = "C:\\GPL";

}  // namespace

TEST(SimulatorLaunch, StartsWithWindowsOwnErrorModeNotOurs) {
    ScriptedStarter starter;
    starter.created = {4711, 0, "", {}};
    const SimulatorLaunch launch = LaunchSimulator(starter, Exe, Folder);
    EXPECT_EQ(starter.flags, 0x04000000u) << "CREATE_DEFAULT_ERROR_MODE";
    EXPECT_EQ(starter.calls, std::vector<std::string>{"create C:\\GPL\\gpl.exe in C:\\GPL"});
    EXPECT_EQ(launch.processId, 4711u);
    EXPECT_FALSE(launch.elevated);
}

TEST(SimulatorLaunch, ElevationRequiredGoesTheShellsWay) {
    struct Case {
        const char* name;
        StartOutcome shell;
        unsigned long processId;
        const char* reason;
        bool elevated;
    };
    const Case cases[] = {
        {"consent given", {815, 0, "", {}}, 815, "", true},
        {"consent refused",
         {0, 1223, "The operation was canceled by the user", {}},
         0,
         "The operation was canceled by the user",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedStarter starter;
        starter.created = {0, 740, "The requested operation requires elevation", {}};
        starter.shell = c.shell;
        const SimulatorLaunch launch = LaunchSimulator(starter, Exe, Folder);
        const std::vector<std::string> calls{"create C:\\GPL\\gpl.exe in C:\\GPL", "shell C:\\GPL\\gpl.exe in C:\\GPL"};
        EXPECT_EQ(starter.calls, calls);
        EXPECT_EQ(launch.processId, c.processId);
        EXPECT_EQ(launch.reason, c.reason);
        EXPECT_EQ(launch.elevated, c.elevated);
    }
}

TEST(SimulatorLaunch, OtherFailuresAreReportedWithoutASecondTry) {
    ScriptedStarter starter;
    starter.created = {0, 2, "The system cannot find the file specified", {}};
    const SimulatorLaunch launch = LaunchSimulator(starter, Exe, Folder);
    EXPECT_EQ(starter.calls.size(), 1u);
    EXPECT_EQ(launch.processId, 0u);
    EXPECT_EQ(launch.reason, "The system cannot find the file specified");
}

TEST(DataFiles, OnlyAFolderWithoutAnyOfThemCountsAsStartedAlone) {
    const std::string app = "C:\\Temp\\Temp1_Lapforge.zip";
    struct Case {
        const char* name;
        std::set<std::string> present;
        bool alone;
    };
    const Case cases[] = {
        {"empty folder", {}, true},
        {"unrelated files only", {app + "\\lapforge.exe", app + "\\lapforge.ini", app + "\\readme.txt"}, true},
        {"only the help page", {app + "\\LapforgeHelp.html"}, false},
        {"only the last announcement", {app + "\\ansage10.wav"}, false},
        {"only one map", {app + "\\karte7.jpg"}, false},
        {"only one lap view", {app + "\\lap\\blick12250.jpg"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int probes = 0;
        const bool alone = NoDataFilesBeside(app, [&](const std::string& path) {
            ++probes;
            return c.present.count(path) > 0;
        });
        EXPECT_EQ(alone, c.alone);
        if (alone) {
            EXPECT_EQ(probes, 129) << "eleven pictures of each kind, eleven map roads, eleven sounds, 82 lap views, "
                                      "two cues, the help page";
        }
    }
}

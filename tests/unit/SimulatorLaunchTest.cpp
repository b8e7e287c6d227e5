#include "core/DataFiles.h"
#include "core/FileIO.h"
#include "core/SimulatorLaunch.h"

#include "TestFolder.h"

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

TEST(SimulatorPrograms, GplExeFirstThenTheModsInNameOrder) {
    using Names = std::vector<std::string>;
    struct Case {
        const char* name;
        Names files;
        Names programs;
    };
    const Case cases[] = {
        {"gpl.exe alone", {"gpl.exe", "readme.txt"}, {"gpl.exe"}},
        {"the mods after it, whatever the listing's order",
         {"gplcgt.exe", "gplc67.exe", "gpl.exe", "gplc55.exe"},
         {"gpl.exe", "gplc55.exe", "gplc67.exe", "gplcgt.exe"}},
        {"order and match without regard to case, each as spelt",
         {"GPLC69.EXE", "gplc65.exe", "GPL.EXE", "Gplc67.Exe"},
         {"GPL.EXE", "gplc65.exe", "Gplc67.Exe", "GPLC69.EXE"}},
        {"not a GPL: other programs, other endings, a name that only starts alike",
         {"gpl.exe", "lapforge.exe", "gpl.ini", "gplc67.exe.bak", "_gplc67.exe", "gpl.dll", "xgpl.exe", "gpl.ex"},
         {"gpl.exe"}},
        {"gpl.exe missing: still first, as the fallback", {"gplc67.exe"}, {"gpl.exe", "gplc67.exe"}},
        {"an empty folder", {}, {"gpl.exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SimulatorPrograms(c.files), c.programs);
    }
}

TEST(SimulatorPrograms, ReadFromTheFolderItsPlainFilesOnly) {
    TestFolder folder;
    for (const char* name : {"\\gpl.exe", "\\gplc67.exe", "\\tracks\\nurburg\\track.ini", "\\gplc99.exe\\inside.txt"})
        folder.Write(name, "x");
    EXPECT_EQ(SimulatorPrograms(FileNamesIn(folder.Path())), (std::vector<std::string>{"gpl.exe", "gplc67.exe"}))
        << "a folder named like a program is none";
    EXPECT_EQ(FileNamesIn(folder.Path() + "\\missing"), std::vector<std::string>{});
}

TEST(SimulatorPrograms, TheKeptChoiceOrGplExeWithTheReason) {
    const std::vector<std::string> offered{"gpl.exe", "gplc65.exe", "GPLC67.EXE"};
    struct Case {
        const char* name;
        const char* kept;
        std::size_t index;
        const char* keep;
        bool fellBack;
    };
    const Case cases[] = {
        {"nothing kept", "", 0, "", false},
        {"gpl.exe kept, in any case", "GPL.exe", 0, "", false},
        {"a mod there", "gplc65.exe", 1, "gplc65.exe", false},
        {"a mod there in another case: kept as the folder spells it", "gplc67.exe", 2, "GPLC67.EXE", false},
        {"a mod gone", "gplc69.exe", 0, "", true},
        {"a path is no program of the folder", "..\\gplc65.exe", 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LaunchChoice choice = ChooseLaunchProgram(offered, c.kept);
        EXPECT_EQ(choice.index, c.index);
        EXPECT_EQ(choice.kept, c.keep);
        EXPECT_EQ(choice.fallback.empty(), !c.fellBack);
        if (c.fellBack) {
            EXPECT_NE(choice.fallback.find(std::string("\"") + c.kept + "\""), std::string::npos) << choice.fallback;
            EXPECT_NE(choice.fallback.find("gpl.exe"), std::string::npos) << choice.fallback;
        }
    }
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

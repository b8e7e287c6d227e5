#include "core/Controller.h"
#include "windows/HostFolderChoice.h"
#include "windows/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lapforge;

TEST(HostFolderChoice, OkWaitsForAChangeEvenInAFolderHoldingGplExe) {
    std::vector<std::string> probed;
    std::string folder = "C:\\GPL";
    HostFolderChoice choice(folder, [&](const std::string& path) {
        probed.push_back(path);
        return true;
    });
    EXPECT_FALSE(choice.ExeFound());
    EXPECT_TRUE(probed.empty()) << "opening the dialog looks at no folder";
    choice.FolderChanged("C:\\GPL");
    EXPECT_TRUE(choice.ExeFound());
    EXPECT_EQ(probed, std::vector<std::string>{"C:\\GPL\\gpl.exe"});
}

TEST(HostFolderChoice, OkFollowsThePresenceOfGplExe) {
    std::set<std::string> files = {"C:\\GPL\\gpl.exe", "D:\\\\gpl.exe", "C:\\M\xfcnchen\\gpl.exe"};
    std::vector<std::string> probed;
    std::string folder;
    HostFolderChoice choice(folder, [&](const std::string& path) {
        probed.push_back(path);
        if (path.starts_with("X:\\")) throw std::runtime_error("drive vanished");
        return files.count(path) > 0;
    });

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
        EXPECT_EQ(choice.ExeFound(), step.exeFound);
        ASSERT_EQ(probed.size(), probesBefore + 1);
        EXPECT_EQ(probed.back(), std::string(step.folder) + "\\gpl.exe");
    }
}

TEST(HostFolderChoice, CancelMarksTheSimulatorNotInstalledEvenAfterAGoodFolder) {
    std::string folder;
    HostFolderChoice choice(folder, [](const std::string&) { return true; });
    choice.FolderChanged("C:\\GPL");
    choice.Cancel();
    EXPECT_EQ(folder, "GPL not installed");
}

TEST(Messages, Texts) {
    EXPECT_EQ(DriveNotReadyMessage('e').substr(0, 24), "Drive E: is not ready.\n\n");
    EXPECT_EQ(LaunchFailedText(""), "GPL could not be launched!");
    EXPECT_EQ(LaunchFailedText("The system cannot find the file specified."),
              "GPL could not be launched!\n\nThe system cannot find the file specified.");
    EXPECT_EQ(UnhandledFailureText("could not write \"C:\\GPL\\tracks\\nurburg\\track.ini\": access denied"),
              "Lapforge has to stop.\n\nCould not write \"C:\\GPL\\tracks\\nurburg\\track.ini\": access denied.");
    EXPECT_EQ(UnhandledFailureText(""), "Lapforge has to stop.\n\nAn unknown error occurred.");
}

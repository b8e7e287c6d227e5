#include "core/Controller.h"
#include "windows/HostFolderChoice.h"
#include "windows/Messages.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lapforge;

TEST(HostFolderChoice, OkFollowsThePresenceOfGplExe) {
    const std::set<std::string> files = {"C:\\GPL\\gpl.exe", "D:\\\\gpl.exe", "C:\\Gr\xfc\xdf" "e\\gpl.exe"};
    std::vector<std::string> probed;
    std::string folder = "from the settings file";
    HostFolderChoice choice(folder, [&](const std::string& path) {
        probed.push_back(path);
        if (path == "X:\\boom\\gpl.exe") throw std::runtime_error("drive vanished");
        return files.count(path) > 0;
    });
    EXPECT_FALSE(choice.ExeFound()) << "OK starts disabled, whatever the folder holds";
    EXPECT_EQ(folder, "from the settings file");

    struct Step {
        const char* folder;
        bool exeFound;
    };
    const Step steps[] = {
        {"C:\\GPL", true},           {"C:\\GPL\\tracks", false}, {"C:\\GPL", true},
        {"D:\\", true},              {"C:\\Gr\xfc\xdf" "e", true}, {"C:\\Program Files", false},
        {"X:\\boom", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.folder);
        choice.FolderChanged(step.folder);
        EXPECT_EQ(folder, step.folder);
        EXPECT_EQ(choice.ExeFound(), step.exeFound);
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

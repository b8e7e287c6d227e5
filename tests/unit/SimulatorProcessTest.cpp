#include "core/Messages.h"
#include "core/SimulatorAccess.h"
#include "core/SimulatorProcess.h"

#include <gtest/gtest.h>

using namespace lapforge;

TEST(SimulatorProcess, CountsGplProgramsDirectlyInTheChosenFolder) {
    struct Case {
        const wchar_t* image;
        const wchar_t* folder;
        bool counts;
    };
    const Case cases[] = {
        {L"C:\\Sierra\\GPL\\gpl.exe", L"C:\\Sierra\\GPL", true},
        {L"C:\\SIERRA\\gpl\\GPL.EXE", L"c:\\sierra\\GPL", true},
        {L"C:\\Sierra\\GPL\\gpl67.exe", L"C:\\Sierra\\GPL", true},
        {L"C:\\Sierra\\GPL\\GPL_1969.Exe", L"C:\\Sierra\\GPL\\", true},
        {L"\\\\?\\C:\\Sierra\\GPL\\gpl.exe", L"C:/Sierra/GPL", true},
        {L"D:\\gpl.exe", L"D:\\", true},
        {L"D:\\\\gpl.exe", L"D:\\", true},
        {L"\\\\server\\games\\GPL\\gpl.exe", L"\\\\server\\games\\GPL", true},
        {L"\\\\?\\UNC\\server\\games\\GPL\\gpl.exe", L"\\\\server\\games\\GPL", true},
        {L"C:\\Sierra\\GPL\\gpl.exe", L"C:\\Sierra\\GPL2", false},
        {L"C:\\Sierra\\GPL2\\gpl.exe", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\GPL\\mods\\gpl.exe", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\gpl.exe", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\GPL\\gplshell.dll", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\GPL\\mygpl.exe", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\GPL\\gpl.exe.bak", L"C:\\Sierra\\GPL", false},
        {L"C:\\Sierra\\GPL\\gp.exe", L"C:\\Sierra\\GPL", false},
        {L"gpl.exe", L"C:\\Sierra\\GPL", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.image << " in " << c.folder);
        EXPECT_EQ(IsSimulatorImage(c.image, c.folder), c.counts);
    }
    EXPECT_TRUE(IsSimulatorFileName(L"GPL.EXE"));
    EXPECT_FALSE(IsSimulatorFileName(L"lapforge.exe"));
}

TEST(SimulatorAccess, ElevatedOrUnopenableGplIsNamed) {
    using enum SimulatorAccess;
    struct Case {
        const char* name;
        SimulatorSeen seen;
        bool lapforgeElevated;
        SimulatorAccess verdict;
    };
    const Case cases[] = {
        {"no GPL", {false, std::nullopt, false}, false, Usable},
        {"GPL as the user", {true, false, false}, false, Usable},
        {"GPL as administrator", {true, true, false}, false, Elevated},
        {"both as administrator", {true, true, false}, true, Usable},
        {"Lapforge alone as administrator", {true, false, false}, true, Usable},
        {"GPL whose token cannot be read", {true, std::nullopt, false}, false, Unopenable},
        {"a gpl*.exe that cannot be opened", {false, std::nullopt, true}, false, Unopenable},
        {"one cannot be opened, Lapforge as administrator", {false, std::nullopt, true}, true, Usable},
        {"ours as the user beside one unopenable", {true, false, true}, false, Usable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeSimulatorAccess(c.seen, c.lapforgeElevated), c.verdict);
        // The status line names what still works and what to do, or says nothing.
        const std::string text = SimulatorAccessText(c.verdict);
        EXPECT_EQ(text.empty(), c.verdict == Usable);
        if (c.verdict == Elevated) {
            EXPECT_NE(text.find("Buttons on your wheel or button box still"), std::string::npos) << text;
            EXPECT_NE(text.find("keys do not while GPL is in front"), std::string::npos) << text;
        }
        if (!text.empty()) {
            EXPECT_NE(text.find("tart GPL without administrator rights, or start Lapforge as administrator"),
                      std::string::npos) << text;
        }
    }
}

TEST(SimulatorAccess, FolderMatchedByIdentityWhereKnown) {
    const FileIdentity gpl{0x1234abcd, 0x10000000002a1};
    const FileIdentity elsewhere{0x1234abcd, 0x10000000009f7};
    const FileIdentity otherVolume{0x5678ef01, 0x10000000002a1};
    struct Case {
        const char* name;
        const wchar_t* image;
        std::optional<FileIdentity> imageFolder;
        const wchar_t* folder;
        std::optional<FileIdentity> chosen;
        bool counts;
    };
    const Case cases[] = {
        {"a junction", L"C:\\Games\\GPL\\gpl.exe", gpl, L"D:\\Sierra\\GPL", gpl, true},
        {"a SUBST drive", L"G:\\gpl.exe", gpl, L"C:\\Sierra\\GPL", gpl, true},
        {"a mapped drive against its UNC path", L"\\\\server\\games\\GPL\\gpl67.exe", gpl, L"M:\\GPL", gpl, true},
        {"an 8.3 name", L"C:\\SIERRA~1\\GPL\\GPL.EXE", gpl, L"C:\\Sierra Games\\GPL", gpl, true},
        {"a same-named folder elsewhere", L"D:\\Sierra\\GPL\\gpl.exe", elsewhere, L"C:\\Sierra\\GPL", gpl, false},
        {"the same index on another volume", L"E:\\GPL\\gpl.exe", otherVolume, L"C:\\GPL", gpl, false},
        {"the right folder, not a gpl*.exe", L"C:\\Sierra\\GPL\\lapforge.exe", gpl, L"C:\\Sierra\\GPL", gpl, false},
        {"no identity: by the path's text", L"C:\\Sierra\\GPL\\gpl.exe", std::nullopt, L"c:\\sierra\\gpl", gpl, true},
        {"no identity, another folder", L"D:\\Sierra\\GPL\\gpl.exe", gpl, L"C:\\Sierra\\GPL", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsSimulatorInFolder(c.image, c.imageFolder, c.folder, c.chosen), c.counts);
    }
}

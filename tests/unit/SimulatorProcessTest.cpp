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

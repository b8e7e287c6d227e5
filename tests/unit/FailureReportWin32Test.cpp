// The failure report ends the process without unwinding, so it puts GPL's line 54 back first: its
// box may never be answered. Run in a child process, which the test ends.
#include "core/Controller.h"
#include "platform/MessageBox.h"

#include "NullView.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

using namespace lapforge;

namespace {

constexpr char ChildFolder[] = "LAPFORGE_FAILURE_REPORT_FOLDER";

std::string Line54(const std::string& folder) {
    return Line(TestFolder::Read(folder + "\\tracks\\nurburg\\track.ini"), 54);
}

}  // namespace

TEST(FailureReport, PutsLine54BackBeforeItsBox) {
    if (const char* folder = std::getenv(ChildFolder)) {
        // The child: a section written, then a failure nothing handles.
        NullView view;
        const auto controller = Controller::Create(view, folder);
        controller->GPLOrdnerPfad = folder;
        controller->ApplySection("Klostertal/Karussell");
        platform::ReportUnhandledFailure("Lapforge has to stop.\n\nA test's failure.");
    }
    TestFolder sim;
    sim.Write("\\tracks\\nurburg\\track.ini", NumberedLines(120));
    SetEnvironmentVariableA(ChildFolder, sim.Path().c_str());
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=FailureReport.PutsLine54BackBeforeItsBox";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    SetEnvironmentVariableA(ChildFolder, nullptr);
    // Put back while the box waits for an answer, or before the child ended where no box can show.
    const std::string copy = sim.Path() + "\\tracks\\nurburg\\track.ini.lapforge-original";
    const auto putBack = [&] { return TestFolder::Exists(copy) && Line54(sim.Path()) == "stall_0 = 54.00 0.00"; };
    for (int i = 0; i < 300 && !putBack() && WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT; ++i) Sleep(50);
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, INFINITE);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_TRUE(TestFolder::Exists(copy)) << "the child wrote nothing";
    EXPECT_EQ(Line54(sim.Path()), "stall_0 = 54.00 0.00");
}

#include "core/TrackFileBuffer.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace lapforge;

namespace {

std::string WithLine54(const std::string& text) {
    return NumberedLines(53) + text + "\r\n" + NumberedLines(46, 55) + "after line 100\r\n";
}

}  // namespace

// Killing the writer at any moment leaves either the old or the new file, never a mix, and the
// sweep of the next Lapforge clears what the killed writers left.
TEST(CrashConsistency, KilledRewriteLeavesOldOrNewContent) {
    TestFolder sim;
    const std::string oldContent = WithLine54("stall_0 = 230.00 -9.30");
    const std::string newContent = WithLine54("stall_0 = 3100.00 0.00");
    sim.Write("\\tracks\\nurburg\\track.ini", oldContent);
    const std::string trackPath = sim.Path() + "\\tracks\\nurburg\\track.ini";

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicros(200, 15000);
    std::string folder = sim.Path();
    char* argv[] = {const_cast<char*>(TRACK_REWRITER), folder.data(), nullptr};

    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, TRACK_REWRITER, nullptr, nullptr, argv, environ), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own: " << status;

        const std::string now = TestFolder::Read(trackPath);
        ASSERT_TRUE(now == oldContent || now == newContent) << "torn file of " << now.size() << " bytes";
    }

    TrackFileBuffer::SweepLeftovers(sim.Path());  // as the next Lapforge does when it takes the folder
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.SetDeployLine("stall_0 = 19400.00 0.00");
    ASSERT_NO_THROW(buffer.WriteTrackFile(sim.Path()));
    EXPECT_EQ(TestFolder::Read(trackPath), WithLine54("stall_0 = 19400.00 0.00"));
    // The killed writers' temporary files went with the sweep; the user's original stayed.
    EXPECT_EQ(TestFolder::EntryCount(sim.Path() + "\\tracks\\nurburg"), 2u);
    EXPECT_EQ(TestFolder::Read(TrackFileBuffer::OriginalCopyPath(sim.Path())), oldContent);
}

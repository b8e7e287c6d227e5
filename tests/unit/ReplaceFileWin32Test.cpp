// How a rewrite meets another program that holds the track file open (Windows sharing rules).
#include "core/Failure.h"
#include "core/TrackFileBuffer.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <thread>

using namespace lapforge;

namespace {

const std::string kTrack = "\\tracks\\nurburg\\track.ini";

// Opens the file the way another program would and keeps it open for `hold` (for ever: zero)
// or until the holder goes.
class Holder {
public:
    Holder(const std::string& path, DWORD access, DWORD share, std::chrono::milliseconds hold = {}) {
        std::promise<void> opened;
        auto isOpen = opened.get_future();
        thread_ = std::thread([this, path, access, share, hold, opened = std::move(opened)]() mutable {
            HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
            opened.set_value();
            if (hold.count() > 0)
                std::this_thread::sleep_for(hold);
            else
                WaitForSingleObject(release_, INFINITE);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        });
        isOpen.wait();
    }
    ~Holder() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(release_);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

private:
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread_;
};

}  // namespace

TEST(TrackFileHeld, RewriteIsNeverWorseThanInPlace) {
    struct Case {
        const char* name;
        DWORD access;
        DWORD share;
        std::chrono::milliseconds hold;
        bool written;
    };
    const Case cases[] = {
        {"a C runtime reader: read and write shared, no delete", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, {},
         true},
        {"a writer that shares read and write", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, {},
         true},
        {"a scanner that shares nothing for 300 ms", GENERIC_READ, 0, std::chrono::milliseconds(300), true},
        {"a holder that shares nothing and never lets go", GENERIC_READ, 0, {}, false},
        {"a reader that shares no writing", GENERIC_READ, FILE_SHARE_READ, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder sim;
        const std::string original = NumberedLines(53) + "stall_0 = 1.00 0.00\r\n" + NumberedLines(60, 55);
        sim.Write(kTrack, original);
        TrackFileBuffer buffer;
        buffer.ReadTrackFile(sim.Path());
        buffer.WriteTrackFile(sim.Path());  // the original copy exists before the holder comes
        buffer.SetDeployLine("stall_0 = 3100.00 0.00");
        const std::string before = TestFolder::Read(sim.Path() + kTrack);
        {
            Holder holder(sim.Path() + kTrack, c.access, c.share, c.hold);
            if (c.written) {
                EXPECT_NO_THROW(buffer.WriteTrackFile(sim.Path()));
            } else {
                try {
                    buffer.WriteTrackFile(sim.Path());
                    ADD_FAILURE() << "no failure";
                } catch (const Failure& failure) {
                    EXPECT_NE(std::string(failure.what()).find(sim.Path() + kTrack), std::string::npos)
                        << failure.what();
                }
            }
        }
        EXPECT_EQ(TestFolder::Read(sim.Path() + kTrack), c.written ? buffer.Contents() : before);
        EXPECT_EQ(TestFolder::Read(TrackFileBuffer::OriginalCopyPath(sim.Path())), original);
        EXPECT_EQ(TestFolder::EntryCount(sim.Path() + "\\tracks\\nurburg"), 2u) << "no temporary file left";
    }
}

TEST(TrackFileHeld, InPlaceWriteShortensTheFile) {
    TestFolder sim;
    sim.Write(kTrack, NumberedLines(53) + std::string(5000, 'x') + "\r\n" + NumberedLines(46, 55));
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.WriteTrackFile(sim.Path());
    buffer.SetDeployLine("stall_0 = 230.00 -9.30");
    Holder holder(sim.Path() + kTrack, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    buffer.WriteTrackFile(sim.Path());
    EXPECT_EQ(TestFolder::Read(sim.Path() + kTrack), buffer.Contents());
}

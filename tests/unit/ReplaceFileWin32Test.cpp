// How a rewrite meets another program that holds the track file open (Windows sharing rules).
#include "core/DeployRecord.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/ReplaceFile.h"
#include "core/TrackFileBuffer.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

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

// The file's access list in the system's text form, "D:P(A;;FA;;;WD)..." (P: inherits nothing).
std::wstring AccessList(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return L"";
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                         nullptr);
    std::wstring list = text ? text : L"";
    LocalFree(text);
    LocalFree(descriptor);
    return list;
}

bool SetAccessList(const std::string& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION inheritance =
        (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
    const DWORD result =
        SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance,
                              nullptr, nullptr, dacl, nullptr);
    LocalFree(descriptor);
    return result == ERROR_SUCCESS;
}

}  // namespace

// Wine keeps no access lists of its own on files, so this runs on Windows only.
TEST(TrackFileRewrite, KeepsTheRightsSetOnTheFileItself) {
    struct Case {
        const char* name;
        const wchar_t* set;
        const wchar_t* kept;  // found in the new file's list
    };
    const Case cases[] = {
        {"a list of its own that inherits nothing", L"D:P(A;;FA;;;WD)(A;;FR;;;BG)", L"D:P(A;;FA;;;WD)(A;;FR;;;BG)"},
        {"an entry of its own besides the folder's", L"D:(A;;FR;;;BG)", L"(A;;FR;;;BG)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder sim;
        sim.Write(kTrack, NumberedLines(100));
        const std::string track = sim.Path() + kTrack;
        ASSERT_TRUE(SetAccessList(track, c.set));
        if (AccessList(track).find(c.kept) == std::wstring::npos) GTEST_SKIP() << "the system keeps no access lists";
        TrackFileBuffer buffer;
        buffer.ReadTrackFile(sim.Path());
        buffer.SetDeployLine("stall_0 = 3100.00 0.00");
        buffer.WriteTrackFile(sim.Path());
        EXPECT_EQ(TestFolder::Read(track), buffer.Contents());
        EXPECT_NE(AccessList(track).find(c.kept), std::wstring::npos);
    }
}

TEST(TrackFileHeld, RewriteIsNeverWorseThanInPlace) {
    struct Case {
        const char* name;
        DWORD access;
        DWORD share;
        std::chrono::milliseconds hold;
        bool written;
    };
    const Case cases[] = {
        {"a C runtime reader: read and write shared, no delete",
         GENERIC_READ,
         FILE_SHARE_READ | FILE_SHARE_WRITE,
         {},
         true},
        {"a writer that shares read and write",
         GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE,
         {},
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
    sim.Write(kTrack, NumberedLines(53) + "stall_0 = " + std::string(5000, 'x') + "\r\n" + NumberedLines(46, 55));
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.WriteTrackFile(sim.Path());
    buffer.SetDeployLine("stall_0 = 230.00 -9.30");
    Holder holder(sim.Path() + kTrack, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    buffer.WriteTrackFile(sim.Path());
    EXPECT_EQ(TestFolder::Read(sim.Path() + kTrack), buffer.Contents());
}

// A GPL folder deep in the user's folders: the record's temporary file passes 260 characters.
TEST(TrackFileRewrite, WorksPastTheOldPathLimit) {
    TestFolder root;
    std::string folder = root.Path();
    while (folder.size() < 230) {
        folder += "\\GPL folder deep down";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::wstring(folder.begin(), folder.end())).c_str(), nullptr));
    }
    for (const char* sub : {"\\tracks", "\\tracks\\nurburg"})
        ASSERT_TRUE(CreateDirectoryW(
            (L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + std::wstring(sub, sub + strlen(sub))).c_str(),
            nullptr));
    const std::string track = folder + kTrack;
    ReplaceFileContents(track, NumberedLines(120));
    ASSERT_GT(TemporaryFilePath(DeployRecordPath(folder), GetCurrentProcessId()).size(), 260u);

    TrackFileBuffer buffer;
    buffer.ReadTrackFile(folder);
    buffer.SetDeployLine("stall_0 = 3100.00 0.00");
    WriteDeployRecord(folder, DeployRecord{GetCurrentProcessId(), 1, "stall_0 = 54.00 0.00"});
    buffer.WriteTrackFile(folder);
    TrackFileBuffer::SweepLeftovers(folder);

    TrackFileBuffer again;
    again.ReadTrackFile(folder);
    EXPECT_EQ(again.Line(53), "stall_0 = 3100.00 0.00");
    EXPECT_EQ(ReadDeployRecord(folder)->found, "stall_0 = 54.00 0.00");
    EXPECT_EQ(ReadWholeFile(TrackFileBuffer::OriginalCopyPath(folder)), NumberedLines(120));
    EXPECT_TRUE(RemoveFile(DeployRecordPath(folder)));
    EXPECT_FALSE(PathExists(DeployRecordPath(folder)));
}

// A mod's program in a GPL folder whose listing passes 260 characters.
TEST(FolderListing, WorksPastTheOldPathLimit) {
    TestFolder root;
    std::string folder = root.Path();
    while (folder.size() < 270) {
        folder += "\\GPL folder deep down";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::wstring(folder.begin(), folder.end())).c_str(), nullptr));
    }
    ReplaceFileContents(folder + "\\gplc67.exe", "MZ");
    EXPECT_EQ(FileNamesIn(folder), std::vector<std::string>{"gplc67.exe"});
}

#include "core/Failure.h"
#include "core/TrackFileBuffer.h"

#include "FailureText.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lapforge;

namespace {

const std::string kTrack = "\\tracks\\nurburg\\track.ini";

std::string Repeat(const std::string& line, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += line;
    return bytes;
}

}  // namespace

TEST(TrackFileRead, LineRules) {
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
        std::string line0;
        std::string line99;
        std::string tail;
    };
    const Case cases[] = {
        {"100 lines with CR LF", NumberedLines(100), true, "line 1", "line 100", ""},
        {"100th line without end marker", NumberedLines(99) + "last", true, "line 1", "last", ""},
        {"99 lines", NumberedLines(99), false, "", "", ""},
        {"99 lines and one more CR LF", NumberedLines(99) + "\r\n", true, "line 1", "", ""},
        {"LF only is one line", Repeat("x\n", 150), false, "", "", ""},
        {"lone CR ends a line", Repeat("a\r", 53) + "stall_0 = 1.00 0.00\r" + Repeat("a\r", 46), true, "a", "a", ""},
        {"empty lines", Repeat("\r\n", 53) + "stall_0 = 1.00 0.00\r\n" + Repeat("\r\n", 46), true, "", "", ""},
        {"LF inside a CR LF line", "a\nb\r\n" + NumberedLines(99, 2), true, "a\nb", "line 100", ""},
        {"8-bit bytes", "\xe4\xf6\xfc\xdf\r\n" + NumberedLines(99, 2), true, "\xe4\xf6\xfc\xdf", "line 100", ""},
        {"more than 100 lines", NumberedLines(102), true, "line 1", "line 100", "line 101\r\nline 102\r\n"},
        {"CR then LF after line 100 stays in the tail", NumberedLines(99) + "z\r\n\n", true, "line 1", "z", "\n"},
        {"empty file", "", false, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        folder.Write(kTrack, c.bytes);
        TrackFileBuffer buffer;
        if (!c.loads) {
            EXPECT_THROW(buffer.ReadTrackFile(folder.Path()), Failure);
            continue;
        }
        ASSERT_NO_THROW(buffer.ReadTrackFile(folder.Path()));
        EXPECT_EQ(buffer.Line(0), c.line0);
        EXPECT_EQ(buffer.Line(99), c.line99);
        EXPECT_TRUE(buffer.Contents().ends_with(c.line99 + "\r\n" + c.tail)) << "the bytes after line 100 kept";
    }
}

TEST(TrackFileRead, ShortFileKeepsTheEntriesAlreadyRead) {
    TestFolder folder;
    folder.Write(kTrack, NumberedLines(99));
    TrackFileBuffer buffer;
    const std::string text = FailureText([&] { buffer.ReadTrackFile(folder.Path()); });
    EXPECT_NE(text.find(folder.Path() + kTrack + "\": the file has fewer"), std::string::npos) << "names the file";
    EXPECT_EQ(buffer.Line(0), "line 1");
    EXPECT_EQ(buffer.Line(98), "line 99");
    EXPECT_EQ(buffer.Line(99), "");
}

TEST(TrackFileRead, OnlyADeployPointAsLine54) {
    struct Case {
        const char* line54;
        bool accepted;
    };
    const Case cases[] = {
        {"stall_0 = 230.00 -9.30", true},   {"STALL_0=1", true},
        {"  \tStall_0 \t = x", true},       {"stall_0", false},
        {"stall_0 1.0 2.0", false},         {"stall_1 = 230.00 0.00", false},
        {"; stall_0 = 230.00 0.00", false}, {"", false},
        {"pit_speed = 60", false},          {"stall_01 = 230.00 0.00", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line54);
        EXPECT_EQ(IsDeployLine(c.line54), c.accepted);
        TestFolder folder;
        const std::string original = NumberedLines(53) + c.line54 + "\r\n" + NumberedLines(60, 55);
        folder.Write(kTrack, original);
        TrackFileBuffer buffer;
        if (c.accepted) {
            EXPECT_NO_THROW(buffer.ReadTrackFile(folder.Path()));
            continue;
        }
        const std::string text = FailureText([&] { buffer.ReadTrackFile(folder.Path()); });
        EXPECT_NE(text.find(folder.Path() + kTrack + "\" is not GPL's deploy point"), std::string::npos) << text;
    }
}

TEST(TrackFileRead, MissingFileNamesThePath) {
    TestFolder folder;
    TrackFileBuffer buffer;
    const std::string text = FailureText([&] { buffer.ReadTrackFile(folder.Path()); });
    EXPECT_NE(text.find(folder.Path() + kTrack), std::string::npos) << text;
}

TEST(TrackFileWrite, ReplacesLine54AndKeepsEverythingElse) {
    // Lines past 100 with mixed end markers must come back byte for byte.
    std::string tail;
    for (int i = 101; i <= 250; ++i) {
        const char* ends[] = {"\r\n", "\n", "\r", "\r\n\n"};
        tail += "extra " + std::to_string(i) + ends[i % 4];
    }
    tail += "no end marker";
    std::string original = NumberedLines(53) + "  STALL_0\t = 1.00 2.00\r\n" + NumberedLines(46, 55);
    original += tail;

    TestFolder folder;
    folder.Write(kTrack, original);
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(folder.Path());
    buffer.SetDeployLine("stall_0 = 12500.00 0.00");
    buffer.WriteTrackFile(folder.Path());

    const std::string expected = NumberedLines(53) + "stall_0 = 12500.00 0.00\r\n" + NumberedLines(46, 55) + tail;
    const std::string written = TestFolder::Read(folder.Path() + kTrack);
    EXPECT_EQ(written, expected);

    buffer.WriteTrackFile(folder.Path());
    EXPECT_EQ(TestFolder::Read(folder.Path() + kTrack), written) << "applying twice must give the same file";
}

TEST(TrackFileWrite, LastLineWithoutMarkerGetsCrLf) {
    TestFolder folder;
    folder.Write(kTrack, NumberedLines(99) + "last");
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(folder.Path());
    buffer.WriteTrackFile(folder.Path());
    const std::string written = TestFolder::Read(folder.Path() + kTrack);
    EXPECT_EQ(written.substr(written.size() - 6), "last\r\n");
}

TEST(TrackFileWrite, LoneCrAndEmptyLinesComeBackAsCrLf) {
    TestFolder folder;
    folder.Write(kTrack, Repeat("a\r", 50) + Repeat("\r\n", 3) + "stall_0=0\r" + Repeat("\r\n", 46));
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(folder.Path());
    buffer.WriteTrackFile(folder.Path());
    EXPECT_EQ(TestFolder::Read(folder.Path() + kTrack),
              Repeat("a\r\n", 50) + Repeat("\r\n", 3) + "stall_0=0\r\n" + Repeat("\r\n", 46));
}

TEST(TrackFileWrite, FailureLeavesTheOldFileAndNoTemporaryFile) {
    TestFolder folder;
    const std::string original = NumberedLines(120);
    folder.Write(kTrack, original);
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(folder.Path());
    buffer.SetDeployLine("stall_0 = 3100.00 0.00");

    const std::string trackFolder = folder.Path() + "\\tracks\\nurburg";
    const auto nativeTrack = TestFolder::Native(folder.Path() + kTrack);
    std::filesystem::permissions(nativeTrack,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(buffer.WriteTrackFile(folder.Path()), Failure) << "a read-only file stays unwritable";
    EXPECT_EQ(TestFolder::Read(folder.Path() + kTrack), original);
    EXPECT_EQ(TestFolder::EntryCount(trackFolder), 2u) << "the file, its original copy and no temporary file";
    std::filesystem::permissions(nativeTrack, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);

    // The new file keeps the old one's permissions.
    buffer.WriteTrackFile(folder.Path());
    EXPECT_EQ(TestFolder::EntryCount(trackFolder), 2u);
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(nativeTrack).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::owner_write);
#endif

    std::filesystem::remove_all(TestFolder::Native(folder.Path() + "\\tracks"));
    EXPECT_THROW(buffer.WriteTrackFile(folder.Path()), Failure) << "a vanished folder";
    EXPECT_FALSE(TestFolder::Exists(trackFolder));
}

TEST(TrackFileWrite, FailureNamesPathAndReason) {
    TestFolder folder;
    TrackFileBuffer buffer;
    const std::string text = FailureText([&] { buffer.WriteTrackFile(folder.Path()); });
    const std::string start = "could not write \"" + folder.Path() + kTrack + "\": ";
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
    EXPECT_GT(text.size(), start.size()) << "a reason follows";
}

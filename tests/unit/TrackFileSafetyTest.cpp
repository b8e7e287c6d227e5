#include "core/DeployRecord.h"
#include "core/Failure.h"
#include "core/ProtectedFolder.h"
#include "core/ReplaceFile.h"
#include "core/TrackFileBuffer.h"

#include "FailureText.h"
#include "TestFolder.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

using namespace lapforge;

namespace {

const std::string kTrack = "\\tracks\\nurburg\\track.ini";

// A modded track with its own line 54 and lines ended by a lone CR, which a rewrite turns into CR LF.
std::string UsersOwnTrackFile() {
    return NumberedLines(50) + "lone cr 51\rlone cr 52\r\r" + "stall_0 = 777.00 1.50 ; my own\r\n" +
           NumberedLines(46, 55) + "tail without end";
}

}  // namespace

TEST(TrackFileOriginal, KeptByteForByteOverTwoRuns) {
    TestFolder sim;
    const std::string original = UsersOwnTrackFile();
    sim.Write(kTrack, original);
    const std::string copy = TrackFileBuffer::OriginalCopyPath(sim.Path());

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        TrackFileBuffer buffer;
        buffer.ReadTrackFile(sim.Path());
        for (const char* line : {"stall_0 = 230.00 -9.30", "stall_0 = 3100.00 0.00", "stall_0 = 5600.00 0.00"}) {
            buffer.SetDeployLine(line);
            buffer.WriteTrackFile(sim.Path());
        }
        EXPECT_EQ(TestFolder::Read(copy), original);
        EXPECT_NE(TestFolder::Read(sim.Path() + kTrack), original);
    }
}

TEST(TrackFileOriginal, AnExistingCopyIsNeverRewritten) {
    TestFolder sim;
    sim.Write(kTrack, NumberedLines(100));
    sim.Write(kTrack + std::string(OriginalCopySuffix), "the true original of an earlier run");
    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.WriteTrackFile(sim.Path());
    EXPECT_EQ(TestFolder::Read(TrackFileBuffer::OriginalCopyPath(sim.Path())), "the true original of an earlier run");
    EXPECT_FALSE(CreateFileContents(TrackFileBuffer::OriginalCopyPath(sim.Path()), "other"));
    EXPECT_EQ(TestFolder::Read(TrackFileBuffer::OriginalCopyPath(sim.Path())), "the true original of an earlier run");
}

TEST(TrackFileOriginal, NoCopyNoRewrite) {
    TestFolder sim;
    const std::string original = UsersOwnTrackFile();
    sim.Write(kTrack, original);
    const std::string copy = TrackFileBuffer::OriginalCopyPath(sim.Path());
    // A folder where the copy's temporary file must go makes the copy impossible.
    const std::string blocker = TemporaryFilePath(copy, TestProcess::OwnId());
    std::filesystem::create_directories(TestFolder::Native(blocker));

    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.SetDeployLine("stall_0 = 3100.00 0.00");
    const std::string text = FailureText([&] { buffer.WriteTrackFile(sim.Path()); });
    EXPECT_EQ(text.rfind("could not write \"" + copy + "\": ", 0), 0u) << text;
    EXPECT_EQ(TestFolder::Read(sim.Path() + kTrack), original);
    EXPECT_FALSE(TestFolder::Exists(copy));
}

TEST(TemporaryFiles, OnlyThoseOfEndedProcessesAreRemoved) {
    TestFolder sim;
    sim.Write(kTrack, NumberedLines(100));
    const std::string track = sim.Path() + kTrack;
    TestProcess live;
    TestProcess ended;
    ASSERT_NE(live.Id(), 0u);
    ASSERT_NE(ended.Id(), 0u);
    ended.End();

    struct Case {
        const char* name;
        std::string path;
        bool stays;
    };
    const Case cases[] = {
        {"a live second copy's", TemporaryFilePath(track, live.Id()), true},
        {"a killed writer's", TemporaryFilePath(track, ended.Id()), false},
        {"a killed writer's copy of the original",
         TemporaryFilePath(TrackFileBuffer::OriginalCopyPath(sim.Path()), ended.Id()), false},
        {"not a process id", track + ".old.tmp", true},
        {"another file's", sim.Path() + "\\tracks\\nurburg\\other.ini." + std::to_string(ended.Id()) + ".tmp", true},
    };
    for (const Case& c : cases) std::ofstream(TestFolder::Native(c.path)) << "half";

    TrackFileBuffer buffer;
    buffer.ReadTrackFile(sim.Path());
    buffer.WriteTrackFile(sim.Path());
    // A writer killed just after its copy of the original took its place leaves its temporary
    // name behind; with the copy there, the sweep must still clear it.
    const std::string copyTemporary = TemporaryFilePath(TrackFileBuffer::OriginalCopyPath(sim.Path()), ended.Id());
    std::ofstream(TestFolder::Native(copyTemporary)) << "half";
    TrackFileBuffer::SweepLeftovers(sim.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TestFolder::Exists(c.path), c.stays);
    }
    EXPECT_FALSE(TestFolder::Exists(copyTemporary));
}

TEST(TemporaryFiles, OwnerIsReadFromTheName) {
    struct Case {
        const char* fileName;
        std::optional<unsigned long> owner;
    };
    const Case cases[] = {
        {"track.ini.1234.tmp", 1234},
        {"track.ini.0.tmp", 0},
        {"track.ini..tmp", std::nullopt},
        {"track.ini.12a.tmp", std::nullopt},
        {"track.ini.-12.tmp", std::nullopt},
        {"track.ini.12.tmp.tmp", std::nullopt},
        {"track.ini.lapforge-original.55.tmp", std::nullopt},
        {"track.inix.12.tmp", std::nullopt},
        {"track.ini.12.TMP", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        EXPECT_EQ(TemporaryFileOwner(c.fileName, "track.ini"), c.owner);
    }
    EXPECT_EQ(TemporaryFileOwner("track.ini.lapforge-original.55.tmp", "track.ini.lapforge-original"), 55u);
    EXPECT_EQ(TemporaryFileOwner(TemporaryFilePath("track.ini", 4242), "track.ini"), 4242u);
}

TEST(ProtectedFolder, AdviceNamesCauseCureAndTheCopyGplReads) {
    const std::vector<std::string> folders = {"C:\\Program Files", "C:\\Program Files (x86)"};
    const std::string appData = "C:\\Users\\Driver\\AppData\\Local";
    struct Case {
        const char* name;
        std::string track;
        bool storeCopyExists;
        std::string protectedFolder;  // empty: no advice
        std::string store;            // empty: no word of the VirtualStore
    };
    const Case cases[] = {
        {"outside", "D:\\Games\\GPL\\tracks\\nurburg\\track.ini", true, "", ""},
        {"a look-alike name", "C:\\Program Files Old\\GPL\\tracks\\nurburg\\track.ini", true, "", ""},
        {"under Program Files (x86), no copy", "C:\\Program Files (x86)\\Sierra\\GPL\\tracks\\nurburg\\track.ini",
         false, "C:\\Program Files (x86)", ""},
        {"other case, with a copy", "c:\\PROGRAM FILES\\GPL\\tracks\\nurburg\\track.ini", true, "C:\\Program Files",
         appData + "\\VirtualStore\\PROGRAM FILES\\GPL\\tracks\\nurburg\\track.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> asked;
        const std::string advice = ProtectedFolderAdvice(c.track, folders, appData, [&](const std::string& path) {
            asked.push_back(path);
            return c.storeCopyExists;
        });
        if (c.protectedFolder.empty()) {
            EXPECT_EQ(advice, "");
            continue;
        }
        EXPECT_NE(advice.find("\"" + c.protectedFolder + "\", a folder Windows protects"), std::string::npos) << advice;
        EXPECT_NE(advice.find("Move the GPL folder out of Program Files"), std::string::npos) << advice;
        EXPECT_NE(advice.find("run both GPL and Lapforge as administrator"), std::string::npos) << advice;
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], appData + "\\VirtualStore" + c.track.substr(2));
        EXPECT_EQ(advice.find("VirtualStore") != std::string::npos, !c.store.empty()) << advice;
        if (!c.store.empty()) {
            EXPECT_NE(advice.find("\"" + c.store + "\". GPL reads that copy, not the file Lapforge changes."),
                      std::string::npos)
                << advice;
        }
    }
}

TEST(ProtectedFolder, VirtualStoreOnlyForDrivePaths) {
    EXPECT_EQ(VirtualStorePath("C:\\Program Files\\GPL\\a.ini", "C:\\Users\\U\\AppData\\Local\\"),
              "C:\\Users\\U\\AppData\\Local\\VirtualStore\\Program Files\\GPL\\a.ini");
    EXPECT_EQ(VirtualStorePath("\\\\server\\share\\GPL\\a.ini", "C:\\Local"), "");
    EXPECT_EQ(VirtualStorePath("C:\\GPL\\a.ini", ""), "");
}

TEST(DeployRecordText, OnlyAWholeRecordIsRead) {
    const DeployRecord record{4242, 133, "stall_0 = 777.00 1.50 ; my own"};
    const std::string whole = DeployRecordText(record);
    struct Case {
        const char* name;
        std::string bytes;
        bool read;
    };
    const Case cases[] = {
        {"whole", whole, true},
        {"cut within the found line", whole.substr(0, whole.find("1.50")), false},
        {"cut before the closing line", whole.substr(0, whole.find("; end")), false},
        {"cut within the closing line", whole.substr(0, whole.size() - 3), false},
        {"an older Lapforge's, whole",
         "; heading\r\nprocess=4242\r\nfound=stall_0 = 777.00 1.50 ; my own\r\nprevious=a\r\nwritten=b\r\n", true},
        {"an older Lapforge's, cut",
         "; heading\r\nprocess=4242\r\nfound=stall_0 = 777.00 1.50 ; my own\r\nprevious=a\r\nwrit", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<DeployRecord> read = ParseDeployRecord(c.bytes);
        ASSERT_EQ(read.has_value(), c.read);
        if (read) {
            EXPECT_EQ(read->found, record.found);
        }
    }
    EXPECT_EQ(ParseDeployRecord(whole), record);
}

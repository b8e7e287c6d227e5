#include "core/DeployRecord.h"
#include "core/Failure.h"
#include "core/LapPoints.h"
#include "core/TrackFileKeeper.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace lapforge;

namespace {

const std::string kOwn = "stall_0 = 54.00 0.00";
const std::string kKarussell = "stall_0 = 12500.00 0.00";
const std::string kPitlane = "stall_0 = 230.00 -9.30";

// A mod's file that keeps its deploy line on line 40 and another setting on line 54.
std::string OtherLayout(const std::string& deployLine) {
    std::string bytes;
    for (int i = 1; i <= 120; ++i)
        bytes += (i == 40   ? deployLine
                  : i == 54 ? std::string("pit_speed = 60")
                            : "line " + std::to_string(i)) +
                 "\r\n";
    return bytes;
}

std::string WithLine54(const std::string& line) { return NumberedLines(53) + line + "\r\n" + NumberedLines(66, 55); }

}  // namespace

TEST(TrackFileKeeper, KeepsTheFileAsGPLLeftItWhateverEndsLapforge) {
    struct Case {
        const char* name;
        const char* fileName;
        std::string initial;
        // What happens, with a keeper opened on the file; `next` opens the next Lapforge's keeper, the
        // one before gone without a word, as after a kill.
        std::function<void(TestFolder&, TrackFileKeeper&, const std::function<TrackFileKeeper()>& next)> run;
        std::string expected;  // the file once the last keeper has restored it
    };
    const auto track = [](TestFolder& sim, const char* name) { return sim.Path() + "\\tracks\\nurburg\\" + name; };
    const Case cases[] = {
        {"written, then put back byte for byte", "track.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             EXPECT_EQ(k.Write(kKarussell), std::nullopt);
             EXPECT_EQ(TestFolder::Read(track(sim, "track.ini")), WithLine54(kKarussell));
             EXPECT_EQ(ReadDeployRecordOf(k.Path())->found, kOwn);
         },
         NumberedLines(120)},
        {"a mod's file of another layout: its first deploy line, nothing else", "track65.ini", OtherLayout(kOwn),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             k.Write(kKarussell);
             EXPECT_EQ(TestFolder::Read(track(sim, "track65.ini")), OtherLayout(kKarussell));
             EXPECT_NE(TestFolder::Read(k.Path() + ".lapforge-record").find("track65.ini"), std::string::npos);
         },
         OtherLayout(kOwn)},
        {"track.ini of that layout is refused and left alone", "track.ini", OtherLayout(kOwn),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             EXPECT_THROW(k.Write(kKarussell), NotADeployLine);
             EXPECT_EQ(TestFolder::EntryCount(sim.Path() + "\\tracks\\nurburg"), 1u) << "not even a copy";
         },
         OtherLayout(kOwn)},
        {"read-only: refused with its own name, and the next write goes", "trackGT.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             TestFolder::SetWritable(k.Path(), false);
             try {
                 k.Write(kKarussell);
                 ADD_FAILURE() << "written";
             } catch (const ReadOnlyFile& refused) {
                 EXPECT_NE(std::string(refused.what()).find("right-click \"trackGT.ini\""), std::string::npos);
             }
             EXPECT_EQ(k.DeployLine(), kOwn);
             EXPECT_EQ(TestFolder::Read(track(sim, "trackGT.ini")), NumberedLines(120));
             TestFolder::SetWritable(k.Path(), true);
             k.Write(kPitlane);
             EXPECT_EQ(TestFolder::Read(track(sim, "trackGT.ini")), WithLine54(kPitlane));
         },
         NumberedLines(120)},
        {"killed at a section", "track.ini", NumberedLines(120),
         [&](TestFolder&, TrackFileKeeper& k, auto& next) {
             k.Write(kKarussell);
             TrackFileKeeper after = next();
             EXPECT_EQ(after.FoundLine(), kOwn);
             after.Restore();
         },
         NumberedLines(120)},
        {"killed at a point no list holds: still Lapforge's by its form", "track.ini", NumberedLines(120),
         [&](TestFolder&, TrackFileKeeper& k, auto& next) {
             k.Write(PointDeployLine(20000));
             TrackFileKeeper after = next();
             EXPECT_EQ(after.FoundLine(), kOwn);
             after.Restore();
         },
         NumberedLines(120)},
        {"killed twice: the record still names GPL's own line", "track67.ini", NumberedLines(120),
         [&](TestFolder&, TrackFileKeeper& k, auto& next) {
             k.Write(kKarussell);
             TrackFileKeeper second = next();
             second.Write(kPitlane);
             TrackFileKeeper third = next();
             EXPECT_EQ(ReadDeployRecordOf(third.Path())->found, kOwn);
             third.Restore();
         },
         NumberedLines(120)},
        {"killed, then lines close to Lapforge's in form are someone else's", "track.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto& next) {
             for (const std::string& foreign :
                  {std::string("stall_0 = 20000.50 0.00"), std::string("stall_0 = 100.00 0.00"),
                   std::string("stall_0 = 20000.00 1.00"), std::string("Stall_0 = 20000.00 0.00")}) {
                 k.Write(kKarussell);
                 sim.Write("\\tracks\\nurburg\\track.ini", WithLine54(foreign));
                 k = next();
                 EXPECT_EQ(k.FoundLine(), foreign);
                 k.Restore();
                 sim.Write("\\tracks\\nurburg\\track.ini", NumberedLines(120));
                 k = next();
             }
             k.Restore();
         },
         NumberedLines(120)},
        {"GPL's own line or a section's put back by someone else is no change", "track.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             k.Write(kKarussell);
             const std::string marked = TestFolder::Read(k.Path() + ".lapforge-record") + "; marked\r\n";
             sim.Write("\\tracks\\nurburg\\track.ini.lapforge-record", marked);
             for (const std::string& back : {kOwn, kPitlane}) {
                 sim.Write("\\tracks\\nurburg\\track.ini", WithLine54(back));
                 EXPECT_EQ(k.Write(kKarussell), std::nullopt) << back;
             }
             EXPECT_EQ(TestFolder::Read(k.Path() + ".lapforge-record"), marked) << "no second record";
         },
         NumberedLines(120)},
        {"changed elsewhere to another line: that line is the one found from now", "track.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             k.Write(kKarussell);
             sim.Write("\\tracks\\nurburg\\track.ini", WithLine54("stall_0 = 777.00 1.50"));
             EXPECT_EQ(k.Write(kPitlane), "stall_0 = 777.00 1.50");
             EXPECT_EQ(ReadDeployRecordOf(k.Path())->found, "stall_0 = 777.00 1.50");
         },
         WithLine54("stall_0 = 777.00 1.50")},
        {"the failure report after a refused write tries nothing", "track.ini", NumberedLines(120),
         [&](TestFolder& sim, TrackFileKeeper& k, auto&) {
             k.Write(kKarussell);
             TestFolder::SetWritable(k.Path(), false);
             EXPECT_THROW(k.Write(kPitlane), ReadOnlyFile);
             TestFolder::SetWritable(k.Path(), true);
             k.RestoreAfterFailure();
             EXPECT_EQ(TestFolder::Read(track(sim, "track.ini")), WithLine54(kKarussell));
         },
         NumberedLines(120)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder sim;
        sim.Write("\\tracks\\nurburg\\" + std::string(c.fileName), c.initial);
        const auto next = [&] {
            TrackFileKeeper keeper(sim.Path(), c.fileName);
            keeper.Open();
            return keeper;
        };
        TrackFileKeeper keeper(sim.Path(), c.fileName);
        try {
            keeper.Open();
        } catch (const NotADeployLine&) {
        }
        c.run(sim, keeper, next);
        keeper.Restore();
        EXPECT_EQ(TestFolder::Read(track(sim, c.fileName)), c.expected);
        EXPECT_FALSE(TestFolder::Exists(keeper.Path() + ".lapforge-record"));
    }
}

TEST(TrackFileNames, AreTrackIniAndTheModsOwnInNameOrder) {
    struct Case {
        const char* name;
        bool counts;
        const char* mod;
    };
    const Case cases[] = {
        {"track.ini", true, ""},
        {"TRACK.INI", true, ""},
        {"track65.ini", true, "1965"},
        {"trackGT.ini", true, "GT"},
        {"Tracksc.INI", true, "SC"},
        {"track5.ini", true, "5"},
        {"track165.ini", true, "165"},
        {"_track65.ini", false, ""},
        {"track65.ini.lapforge-original", false, ""},
        {"track65.ini.lapforge-record", false, ""},
        {"track65.ini.123.tmp", false, ""},
        {"track-65.ini", false, ""},
        {"track 65.ini", false, ""},
        {"track65.ini.bak", false, ""},
        {"track\xe9.ini", false, ""},
        {"track65.txt", false, ""},
        {"tracks.ini", true, "S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsTrackFileName(c.name), c.counts);
        if (c.counts) {
            EXPECT_EQ(ModName(c.name), c.mod);
        }
    }
    const std::vector<std::string> names = {"trackGT.ini", "_track65.ini", "track65.ini", "track.ini", "Track55.ini"};
    EXPECT_EQ(TrackFileNames(names),
              (std::vector<std::string>{"track.ini", "Track55.ini", "track65.ini", "trackGT.ini"}));
}

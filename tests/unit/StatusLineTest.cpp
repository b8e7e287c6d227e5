#include "core/Failure.h"
#include "core/Messages.h"
#include "core/StatusLine.h"
#include "core/TrackFileBuffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace lapforge;

namespace {

std::string KeyName(int key) { return key == F4Key ? "F4" : "F3"; }

bool StartsWith(const std::string& text, std::string_view start) { return text.rfind(start, 0) == 0; }

}  // namespace

TEST(StatusLine, SaysWhatTheCycleDoesAndTellsProblemsWithoutABoxWhileArmed) {
    struct Case {
        const char* name;
        bool armed;
        bool runs;
        bool refused;  // a rewrite was refused after Klostertal was written
        bool picked;   // in the list, not by a step
        bool notice;
        bool writtenAgain;
        bool boxExpected;
        std::string_view starts;
    };
    const Case cases[] = {
        {"off", false, false, false, false, false, false, false, "The hotkey is off. GPL will start you at Klostertal/Karussell."},
        {"waiting", true, false, false, false, false, false, false, "Waiting for GPL from this folder; then F4 moves"},
        {"running", true, true, false, false, false, false, false, "GPL runs: F4 moves to the next section, F3 back. GPL will start you at Klostertal/Karussell."},
        {"a step refused: the line alone, with the file's section", true, true, true, false, false, false, false,
         "Deploy point not written: Could not write \"track.ini\": read-only. GPL still starts you at Klostertal/Karussell."},
        {"a pick refused: a box, and the line says it too", false, false, true, true, false, false, true,
         "Deploy point not written:"},
        {"written again: the problem is over", true, true, true, false, false, true, false, "GPL runs: F4"},
        {"a notice while GPL runs", true, true, false, false, true, false, false, "GPL runs as administrator"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatusLine line;
        std::string_view inFile = "Klostertal/Karussell";
        std::optional<std::string> box;
        if (c.refused)
            box = line.Refused(ReadOnlyFile("Could not write \"track.ini\": read-only\n\nAdvice."), inFile, c.picked);
        if (c.notice) line.SetNotice("GPL runs as administrator.");
        if (c.writtenAgain) {
            line.Written();
            inFile = "Hohe Acht/Wippermann";
        }
        EXPECT_EQ(box.has_value(), c.boxExpected);
        if (box) {
            EXPECT_NE(box->find("Lapforge goes on with Klostertal/Karussell"), std::string::npos) << *box;
        }
        const std::string text = line.Text(c.armed, c.runs, inFile, Bindings{KeyBinding(F4Key), KeyBinding(0x72)}, KeyName);
        EXPECT_TRUE(StartsWith(text, c.starts)) << text;
    }
}

TEST(StatusLine, NamesGPLsOwnPointAndAdviceThatFitsTheFailure) {
    const Bindings keys{KeyBinding(F4Key), KeyBinding(0x72)};
    struct Case {
        const char* name;
        std::function<void(StatusLine&)> happen;
        std::string_view inFile;
        std::string_view says;
    };
    const Case cases[] = {
        {"no section in the file", [](StatusLine&) {}, "",
         "GPL runs: F4 moves to the next section, F3 back. GPL will start you at its own deploy point."},
        {"refused with no section in the file",
         [](StatusLine& l) { l.Refused(Failure("could not write \"track.ini\": held"), "", false); }, "",
         "Deploy point not written: Could not write \"track.ini\": held. GPL still starts you at GPL's own deploy "
         "point. "
         "Close what holds GPL's track file"},
        {"the note beside the track file refused: the folder's advice, not the file's",
         [](StatusLine& l) { l.Refused(RecordNotWritten("Lapforge could not keep its note"), "Pitlane", false); },
         "Pitlane",
         "Deploy point not written: Lapforge could not keep its note. GPL still starts you at Pitlane. Let Lapforge "
         "write in GPL's tracks\\nurburg folder"},
        {"line 54 changed elsewhere: said after the write that found it",
         [](StatusLine& l) {
             l.DeployLineChangedElsewhere("stall_0 = 777.00 1.50");
             l.Written();
         },
         "Pitlane", "Line 54 of GPL's track file was changed outside Lapforge to \"stall_0 = 777.00 1.50\""},
        {"only my points", [](StatusLine&) {}, "Before Karussell (km 12.30)",
         "GPL runs: F4 moves to your next point, F3 back. GPL will start you at Before Karussell (km 12.30)."},
        {"the launch program gone, the skipped lines' note under it",
         [](StatusLine& l) {
             l.SetStartNote("Skipped a line.");
             l.SetLaunchNote("\"gplc65.exe\" is gone.");
         },
         "Pitlane", "\"gplc65.exe\" is gone.\nSkipped a line."},
        {"the launch program gone, until a write",
         [](StatusLine& l) {
             l.SetLaunchNote("\"gplc65.exe\" is gone.");
             l.Written();
         },
         "Pitlane", "GPL runs: F4"},
        {"the mods' track files kept in step",
         [](StatusLine& l) { l.SetTrackFiles("the 1965 and GT mods' track files", ""); }, "Klostertal/Karussell",
         "GPL runs: F4 moves to the next section, F3 back. GPL will start you at Klostertal/Karussell (also in the "
         "1965 and GT mods' track files)."},
        {"a mod's track file refused: which, where its GPL starts, what to do",
         [](StatusLine& l) {
             l.SetTrackFiles(
                 "the 1965 mod's track file",
                 ModFileRefusedStatus(
                     ReadOnlyFile("could not write \"C:\\GPL\\tracks\\nurburg\\trackGT.ini\": read-only\n\nAdvice."),
                     "GT", "trackGT.ini", "Pitlane"));
         },
         "Klostertal/Karussell",
         "Not written to the GT mod's track file: Could not write \"trackGT.ini\": read-only. GPL GT still starts you "
         "at Pitlane. Clear the Read-only flag of trackGT.ini (Explorer, Properties); the next press tries again."},
        {"track.ini's own refusal leads",
         [](StatusLine& l) {
             l.SetTrackFiles("", ModFileNotSteeredStatus("no deploy point", "1955"));
             l.Refused(Failure("could not write \"track.ini\": held"), "Pitlane", false);
         },
         "Pitlane", "Deploy point not written: Could not write \"track.ini\""},
        {"a mod's file Lapforge cannot steer",
         [](StatusLine& l) {
             l.SetTrackFiles("", ModFileNotSteeredStatus("\"track55.ini\" has no deploy point", "1955"));
         },
         "Pitlane",
         "Lapforge cannot steer the 1955 mod's track file: \"track55.ini\" has no deploy point. GPL 1955 starts you "
         "where that file says."},
        {"and gone after the next",
         [](StatusLine& l) {
             l.DeployLineChangedElsewhere("stall_0 = 777.00 1.50");
             l.Written();
             l.Written();
         },
         "Pitlane", "GPL runs: F4"},
        {"changed elsewhere, then the rewrite refused in the same step: the refusal leads",
         [](StatusLine& l) {
             l.DeployLineChangedElsewhere("stall_0 = 777.00 1.50");
             l.Refused(Failure("could not write \"track.ini\": held"), "", false);
         },
         "", "Deploy point not written: Could not write \"track.ini\": held."},
        {"the start note until the first good write", [](StatusLine& l) { l.SetStartNote(SkippedLinesStatus(2)); },
         "Pitlane",
         "GPL runs: F4 moves to the next section, F3 back. GPL will start you at Pitlane.\n2 lines of lapforge.ini "
         "skipped"},
        {"and gone after it",
         [](StatusLine& l) {
             l.SetStartNote(SkippedLinesStatus(2));
             l.Written();
         },
         "Pitlane", "GPL runs: F4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StatusLine line;
        c.happen(line);
        const std::string text = line.Text(true, true, c.inFile, keys, KeyName, c.inFile.starts_with("Before"));
        EXPECT_TRUE(StartsWith(text, c.says)) << text;
    }
}

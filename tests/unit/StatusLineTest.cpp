#include "core/StatusLine.h"

#include <gtest/gtest.h>

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
        if (c.refused) box = line.Refused("Could not write \"track.ini\": read-only\n\nAdvice.", inFile, c.picked);
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

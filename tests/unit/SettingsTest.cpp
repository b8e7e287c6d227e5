#include "core/Bindings.h"
#include "core/Failure.h"
#include "core/FileIO.h"
#include "core/Settings.h"

#include "FailureText.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <optional>

using namespace lapforge;

namespace {

std::string ReadFolder(const std::string& path) { return SettingsFolder(ReadWholeFile(path), path); }

}  // namespace

TEST(SettingsRead, TakesTheFirstLineOrFails) {
    struct Case {
        const char* name;
        std::optional<std::string> bytes;   // nullopt: no file at all
        std::optional<std::string> folder;  // nullopt: the read fails
    };
    const Case cases[] = {
        {"missing file", std::nullopt, std::nullopt},
        {"empty file", std::string(), std::nullopt},
        {"one byte", std::string("C"), std::string("C")},
        {"exactly CR LF", std::string("\r\n"), std::nullopt},
        {"folder and CR LF", std::string("C:\\GPL\r\n"), std::string("C:\\GPL")},
        {"folder without line end", std::string("C:\\GPL"), std::string("C:\\GPL")},
        {"folder and LF", std::string("C:\\GPL\n"), std::string("C:\\GPL")},
        {"folder and lone CR", std::string("C:\\GPL\r"), std::string("C:\\GPL")},
        {"folder, CR LF and more", std::string("C:\\GPL\r\nD:\\Other\r\n"), std::string("C:\\GPL")},
        {"non-ASCII bytes", std::string("C:\\Spiele\\Gr\xfc\xdf\x65 GPL\r\n"),
         std::string("C:\\Spiele\\Gr\xfc\xdf\x65 GPL")},
        {"a space kept", std::string("C:\\Program Files\\GPL \r\n"), std::string("C:\\Program Files\\GPL ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const std::string path = folder.Path() + "\\lapforge.ini";
        if (c.bytes) folder.Write("\\lapforge.ini", *c.bytes);
        if (c.folder) {
            EXPECT_EQ(ReadFolder(path), *c.folder);
        } else {
            EXPECT_THROW(ReadFolder(path), Failure);
        }
    }
}

TEST(SettingsRead, FailureNamesThePath) {
    TestFolder folder;
    const std::string path = folder.Path() + "\\lapforge.ini";
    const std::string text = FailureText([&] { ReadFolder(path); });
    EXPECT_NE(text.find("could not open \"" + path + "\": "), std::string::npos) << text;
}

TEST(SettingsWrite, WritesTheFolderAndCrLfOnly) {
    TestFolder folder;
    const std::string path = folder.Path() + "\\lapforge.ini";
    folder.Write("\\lapforge.ini", "a much longer previous content\r\nsecond line\r\n");
    WriteSettingsFile(path, "C:\\GPL");
    EXPECT_EQ(TestFolder::Read(path), "C:\\GPL\r\n");
    EXPECT_EQ(TestFolder::Read(path).size(), 8u);
    EXPECT_EQ(ReadFolder(path), "C:\\GPL");
}

TEST(SettingsBindings, ReadFromTheLinesAfterTheFolder) {
    const Binding f4 = KeyBinding(0x73);  // F4's virtual-key code itself, so the default cannot drift with a constant
    const Binding none;
    struct Case {
        const char* name;
        std::optional<std::string> bytes;  // nullopt: no file at all
        Binding next;
        Binding previous;
    };
    const Case cases[] = {
        {"no file", std::nullopt, f4, none},
        {"the folder alone, as every older Lapforge wrote it", "C:\\GPL\r\n", f4, none},
        {"both set", "C:\\GPL\r\nnext=key:0x74\r\nprevious=joy:3:button:12\r\n", KeyBinding(0x74),
         ButtonBinding(3, 12)},
        {"in the other order, LF only, no last line end", "C:\\GPL\nprevious=key:0x22\nnext=key:0x21", KeyBinding(0x21),
         KeyBinding(0x22)},
        {"previous alone", "C:\\GPL\r\nprevious=key:0x72\r\n", f4, KeyBinding(0x72)},
        {"next taken off", "C:\\GPL\r\nnext=none\r\n", none, none},
        {"an empty first line", "\r\nprevious=key:0x72\r\n", f4, KeyBinding(0x72)},
        {"a line of another program's", "C:\\GPL\r\n[section]\r\nnext=key:0x74\r\n", KeyBinding(0x74), none},
        {"garbage", "C:\\GPL\r\nnext=\xff\xfe\r\nprevious=key\r\n", f4, none},
        {"a modifier", "C:\\GPL\r\nnext=key:0x12\r\n", f4, none},
        {"Esc", "C:\\GPL\r\nnext=key:0x1b\r\n", f4, none},
        {"a mouse button", "C:\\GPL\r\nnext=key:0x01\r\n", f4, none},
        {"key out of range", "C:\\GPL\r\nnext=key:0x100\r\n", f4, none},
        {"key with trailing text", "C:\\GPL\r\nnext=key:0x74 \r\n", f4, none},
        {"controller 16", "C:\\GPL\r\nnext=joy:16:button:1\r\n", f4, none},
        {"button 0", "C:\\GPL\r\nnext=joy:0:button:0\r\n", f4, none},
        {"button 33", "C:\\GPL\r\nnext=joy:0:button:33\r\n", f4, none},
        {"a negative button", "C:\\GPL\r\nprevious=joy:0:button:-1\r\n", f4, none},
        {"upper case", "C:\\GPL\r\nNEXT=KEY:0X74\r\n", f4, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bindings read = ParseSettings(c.bytes.value_or("")).settings.bindings;
        EXPECT_EQ(read.next, c.next);
        EXPECT_EQ(read.previous, c.previous);
    }
}

TEST(SettingsBindings, WrittenAfterAnUnchangedFolderLineAndReadBack) {
    const std::string folderLine = "C:\\Spiele\\Gr\xfc\xdf\x65 GPL";
    const Bindings cases[] = {
        Bindings{},
        Bindings{KeyBinding(0x74), Binding{}},
        Bindings{KeyBinding(F4Key), KeyBinding(0x72)},
        Bindings{ButtonBinding(0, 1), ButtonBinding(15, 32)},
        Bindings{Binding{}, KeyBinding(0xFE)},
    };
    for (const Bindings& bindings : cases) {
        SCOPED_TRACE(BindingText(bindings.next) + " " + BindingText(bindings.previous));
        TestFolder folder;
        const std::string path = folder.Path() + "\\lapforge.ini";
        WriteSettingsFile(path, folderLine, Settings{bindings, {}, {}, {}});
        const std::string bytes = TestFolder::Read(path);
        EXPECT_EQ(bytes.substr(0, folderLine.size() + 2), folderLine + "\r\n");
        EXPECT_EQ(ReadFolder(path), folderLine);
        EXPECT_EQ(ParseSettings(bytes).settings.bindings, bindings);
    }
}

TEST(SettingsPoints, ReadByTheirRulesWithSkippedLinesKeptAndSaid) {
    const Jump wheelToPoint{ButtonBinding(2, 5, JoystickIdentity{0x046d, 0xc29b, 0, "Wheel: Pro"}), PointStop(12300)};
    const Jump f6ToPitlane{KeyBinding(0x75), SectionStop(0)};
    std::string fiftyOne;  // 100 m apart, and at least 50 m from every section's point
    std::vector<OwnPoint> fifty;
    for (int m = 15650; m <= 20650; m += 100) {
        fiftyOne += "point=" + std::to_string(m) + ":\r\n";
        if (m < 20650) fifty.push_back(OwnPoint{m, DefaultPointName(m)});
    }
    struct Case {
        const char* name;
        std::string lines;  // after the folder's
        std::vector<OwnPoint> points;
        bool onlyThese;
        std::vector<Jump> jumps;
        std::vector<std::string> other;
        std::vector<std::string> skipped;  // a part of each reason
        std::string launch = {};
    };
    const Case cases[] = {
        {"the folder alone", "", {}, false, {}, {}, {}},
        {"points in any order, a colon in a name", "point=15000:Kurve: innen\r\npoint=12300:\r\n",
         {{12300, "Before Klostertal"}, {15000, "Kurve: innen"}}, false, {}, {}, {}},
        {"only my points", "only-my-points=yes\r\npoint=12300:A\r\n", {{12300, "A"}}, true, {}, {}, {}},
        {"only my points without points", "only-my-points=yes\r\n", {}, false, {}, {}, {}},
        {"other lines kept in order", "[window]\r\nnext=key:0x74\r\nzoom=2\r\n", {}, false, {},
         {"[window]", "zoom=2"}, {}},
        {"jumps to a section and to a point read later",
         "jump=key:0x75:Pitlane\r\njump=" + BindingText(wheelToPoint.binding) + ":12300\r\npoint=12300:A\r\n",
         {{12300, "A"}}, false, {f6ToPitlane, wheelToPoint}, {}, {}},
        {"a comma", "point=12,3:x", {}, false, {}, {"point=12,3:x"}, {"whole metres"}},
        {"no name part", "point=12300", {}, false, {}, {"point=12300"}, {"whole metres"}},
        {"a sign", "point=-5:x", {}, false, {}, {"point=-5:x"}, {"whole metres"}},
        {"too many digits", "point=99999999999:x", {}, false, {}, {"point=99999999999:x"}, {"whole metres"}},
        {"beyond the lap", "point=25000:x", {}, false, {}, {"point=25000:x"}, {"not on the lap"}},
        {"in the pit loop", "point=1000:x", {}, false, {}, {"point=1000:x"}, {"pit loop"}},
        {"near a point", "point=12300:a\r\npoint=12320:b", {{12300, "a"}}, false, {}, {"point=12320:b"},
         {"only 20 m from your point \"a\""}},
        {"near a section", "point=12480:x", {}, false, {}, {"point=12480:x"}, {"Klostertal/Karussell"}},
        {"a long name", "point=12300:" + std::string(41, 'x'), {}, false, {}, {"point=12300:" + std::string(41, 'x')},
         {"40 characters"}},
        {"a 51st point", fiftyOne, fifty, false, {}, {"point=20650:"}, {"as many as Lapforge keeps"}},
        {"a jump to no point", "jump=key:0x75:12300", {}, false, {}, {"jump=key:0x75:12300"}, {"none of your points"}},
        {"a jump to no section", "jump=key:0x75:Nowhere", {}, false, {}, {"jump=key:0x75:Nowhere"}, {"none of the"}},
        {"a jump on the next key", "jump=key:0x73:Pitlane", {}, false, {}, {"jump=key:0x73:Pitlane"},
         {"already does something else"}},
        {"a second jump to a place", "jump=key:0x75:Pitlane\r\njump=key:0x76:Pitlane", {}, false, {f6ToPitlane},
         {"jump=key:0x76:Pitlane"}, {"already gives that place"}},
        {"a second jump on a key", "jump=key:0x75:Pitlane\r\njump=key:0x75:Klostertal/Karussell", {}, false,
         {f6ToPitlane}, {"jump=key:0x75:Klostertal/Karussell"}, {"already does something else"}},
        {"a jump on Alt", "jump=key:0x12:Pitlane", {}, false, {}, {"jump=key:0x12:Pitlane"}, {"no key or button"}},
        {"a jump without target", "jump=Pitlane", {}, false, {}, {"jump=Pitlane"}, {"no key or button"}},
        {"the program to launch, the last line of it counting", "launch=gplc65.exe\r\nlaunch=gplc67.exe\r\n", {},
         false, {}, {}, {}, "gplc67.exe"},
        {"an empty program to launch: gpl.exe", "launch=\r\n", {}, false, {}, {}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SettingsRead read = ParseSettings("C:\\GPL\r\n" + c.lines);
        EXPECT_EQ(read.settings.points.list, c.points);
        EXPECT_EQ(read.settings.points.onlyThese, c.onlyThese);
        EXPECT_EQ(read.settings.bindings.jumps, c.jumps);
        EXPECT_EQ(read.settings.otherLines, c.other);
        EXPECT_EQ(read.settings.launch, c.launch);
        ASSERT_EQ(read.skipped.size(), c.skipped.size());
        for (std::size_t i = 0; i < c.skipped.size(); ++i) {
            EXPECT_EQ(read.skipped[i].line, c.other[i]);
            EXPECT_NE(read.skipped[i].reason.find(c.skipped[i]), std::string::npos) << read.skipped[i].reason;
        }
    }
}

TEST(SettingsPoints, WrittenInTheirOrderAndReadBack) {
    Settings settings;
    settings.bindings.next = KeyBinding(0x74);
    SetJump(settings.bindings, PointStop(12300),
            ButtonBinding(2, 5, JoystickIdentity{0x046d, 0xc29b, 0, "Wheel: Pro"}));
    SetJump(settings.bindings, SectionStop(0), KeyBinding(0x75));
    settings.points = OwnPoints{{{5000, "Fr\xfch"}, {12300, "Before Klostertal"}}, true};
    settings.otherLines = {"[window]", "point=1000:skipped once"};
    settings.launch = "gplc67.exe";
    const std::string folder = "C:\\Spiele\\Gr\xfc\xdf\x65 GPL";
    TestFolder files;
    const std::string path = files.Path() + "\\lapforge.ini";
    WriteSettingsFile(path, folder, settings);
    const std::string bytes = TestFolder::Read(path);
    EXPECT_EQ(bytes, folder +
                         "\r\nnext=key:0x74\r\njump=joy:2:button:5:046d:c29b:0:Wheel: Pro:12300\r\n"
                         "jump=key:0x75:Pitlane\r\nonly-my-points=yes\r\npoint=5000:Fr\xfch\r\n"
                         "point=12300:Before Klostertal\r\nlaunch=gplc67.exe\r\n[window]\r\npoint=1000:skipped once\r\n");
    EXPECT_EQ(ReadFolder(path), folder);
    const SettingsRead read = ParseSettings(bytes);
    EXPECT_EQ(read.settings, settings);
    EXPECT_EQ(read.skipped.size(), 1u);  // the kept line is said again, and kept again

    // A jump whose point has gone is not written.
    settings.points.list.pop_back();
    EXPECT_EQ(SettingsText(folder, settings).find("12300"), std::string::npos);
    // gpl.exe, in any case, is what no line means.
    settings.launch = "GPL.exe";
    EXPECT_EQ(SettingsText(folder, settings).find("launch="), std::string::npos);
}

TEST(SettingsLines, WhatIsTakenKeptAndSaidAndTheTextWrittenBack) {
    const Binding f4 = KeyBinding(0x73);
    struct Case {
        const char* name;
        std::string lines;  // after the folder's
        void (*edit)(Settings&);
        Binding next;
        std::size_t points;
        std::vector<std::string> kept;
        std::size_t said;
        std::string written;  // after the folder's line
    };
    const Case cases[] = {
        {"a tab and a control byte stay",
         "[win]\tx=1\x1f\r\n",
         nullptr,
         f4,
         0,
         {"[win]\tx=1\x1f"},
         0,
         "[win]\tx=1\x1f\r\n"},
        {"a next line not read falls back and stays",
         "next=key:F5\r\n",
         nullptr,
         f4,
         0,
         {"next=key:F5"},
         1,
         "next=key:F5\r\n"},
        {"a previous line of a newer format stays",
         "previous=pad:0:a\r\n",
         nullptr,
         f4,
         0,
         {"previous=pad:0:a"},
         1,
         "previous=pad:0:a\r\n"},
        {"the first readable next line counts",
         "next=key:0x74\nnext=key:0x75\n",
         nullptr,
         KeyBinding(0x74),
         0,
         {"next=key:0x75"},
         1,
         "next=key:0x74\r\nnext=key:0x75\r\n"},
        {"a second next line that would count once F4 is back goes",
         "next=key:0x74\r\nnext=key:0x75\r\n",
         [](Settings& s) { s.bindings.next = KeyBinding(0x73); },
         KeyBinding(0x74),
         0,
         {"next=key:0x75"},
         1,
         ""},
        {"a duplicate point stays skipped while its first stays",
         "point=12300:a\r\npoint=12300:b\r\n",
         [](Settings& s) { s.points.list[0].name = "c"; },
         f4,
         1,
         {"point=12300:b"},
         1,
         "point=12300:c\r\npoint=12300:b\r\n"},
        {"a duplicate point never comes back when its first goes",
         "point=12300:a\r\npoint=12310:b\r\n",
         [](Settings& s) { s.points.list.clear(); },
         f4,
         1,
         {"point=12310:b"},
         1,
         ""},
        {"a jump skipped for its key stays skipped when the clash goes",
         "jump=key:0x75:Pitlane\r\njump=key:0x75:Klostertal/Karussell\r\n",
         [](Settings& s) { s.bindings.jumps.clear(); },
         f4,
         0,
         {"jump=key:0x75:Klostertal/Karussell"},
         1,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SettingsRead read = ParseSettings("C:\\GPL\r\n" + c.lines);
        EXPECT_EQ(read.settings.bindings.next, c.next);
        EXPECT_EQ(read.settings.points.list.size(), c.points);
        EXPECT_EQ(read.settings.otherLines, c.kept);
        EXPECT_EQ(read.skipped.size(), c.said);
        Settings settings = read.settings;
        if (c.edit) c.edit(settings);
        const std::string text = SettingsText("C:\\GPL", settings);
        EXPECT_EQ(text, "C:\\GPL\r\n" + c.written);
        EXPECT_EQ(ParseSettings(text).settings.points, settings.points) << "reads back as written";
    }
}

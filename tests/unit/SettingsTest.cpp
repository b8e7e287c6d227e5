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
        const Bindings read = ParseBindings(c.bytes.value_or(""));
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
        WriteSettingsFile(path, folderLine, bindings);
        const std::string bytes = TestFolder::Read(path);
        EXPECT_EQ(bytes.substr(0, folderLine.size() + 2), folderLine + "\r\n");
        EXPECT_EQ(ReadFolder(path), folderLine);
        EXPECT_EQ(ParseBindings(bytes), bindings);
    }
}

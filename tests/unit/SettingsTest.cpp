#include "core/Failure.h"
#include "core/Settings.h"

#include "FailureText.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <optional>

using namespace lapforge;

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
            EXPECT_EQ(ReadSettingsFile(path), *c.folder);
        } else {
            EXPECT_THROW(ReadSettingsFile(path), Failure);
        }
    }
}

TEST(SettingsRead, FailureNamesThePath) {
    TestFolder folder;
    const std::string path = folder.Path() + "\\lapforge.ini";
    const std::string text = FailureText([&] { ReadSettingsFile(path); });
    EXPECT_NE(text.find("could not open \"" + path + "\": "), std::string::npos) << text;
}

TEST(SettingsWrite, WritesTheFolderAndCrLfOnly) {
    TestFolder folder;
    const std::string path = folder.Path() + "\\lapforge.ini";
    folder.Write("\\lapforge.ini", "a much longer previous content\r\nsecond line\r\n");
    WriteSettingsFile(path, "C:\\GPL");
    EXPECT_EQ(TestFolder::Read(path), "C:\\GPL\r\n");
    EXPECT_EQ(TestFolder::Read(path).size(), 8u);
    EXPECT_EQ(ReadSettingsFile(path), "C:\\GPL");
}

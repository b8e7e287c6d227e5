#include "platform/FolderListModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lapforge::platform;

namespace {

std::vector<std::string> Texts(const FolderRows& r, std::size_t from) {
    std::vector<std::string> texts;
    for (std::size_t i = from; i < r.rows.size(); ++i) texts.push_back(r.rows[i].text);
    return texts;
}

}  // namespace

TEST(FolderRows, PathFromTheRootThenSortedSubfolders) {
    const FolderRows r = BuildFolderRows("C:\\GPL\\tracks", {"nurburg", "Monza", "brands", "Zandvoort"});
    struct Expected {
        const char* text;
        const char* path;
        int indent;
        bool open;
    };
    const Expected expected[] = {
        {"C:\\", "C:\\", 0, true},
        {"GPL", "C:\\GPL", 1, true},
        {"tracks", "C:\\GPL\\tracks", 2, true},
        {"brands", "C:\\GPL\\tracks\\brands", 3, false},
        {"Monza", "C:\\GPL\\tracks\\Monza", 3, false},
        {"nurburg", "C:\\GPL\\tracks\\nurburg", 3, false},
        {"Zandvoort", "C:\\GPL\\tracks\\Zandvoort", 3, false},
    };
    ASSERT_EQ(r.rows.size(), std::size(expected));
    EXPECT_EQ(r.current, 2u);
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(r.rows[i].text, expected[i].text);
        EXPECT_EQ(r.rows[i].path, expected[i].path);
        EXPECT_EQ(r.rows[i].indent, expected[i].indent);
        EXPECT_EQ(r.rows[i].open, expected[i].open);
    }
}

TEST(FolderRows, RootsAndOddlyWrittenPaths) {
    struct Case {
        const char* name;
        const char* folder;
        std::vector<std::string> openTexts;  // root down to the current folder
        const char* currentPath;
        const char* subfolderPath;  // where the subfolder "a" opens
    };
    const Case cases[] = {
        {"drive root", "C:\\", {"C:\\"}, "C:\\", "C:\\a"},
        {"bare drive", "c:", {"C:\\"}, "C:\\", "C:\\a"},
        {"small letter", "d:\\Games", {"D:\\", "Games"}, "D:\\Games", "D:\\Games\\a"},
        {"trailing backslashes", "D:\\Games\\\\", {"D:\\", "Games"}, "D:\\Games", "D:\\Games\\a"},
        {"doubled backslash", "C:\\GPL\\\\tracks", {"C:\\", "GPL", "tracks"}, "C:\\GPL\\tracks",
         "C:\\GPL\\tracks\\a"},
        {"ANSI letters and a space", "Z:\\Gr\xf6\xdf" "e GPL", {"Z:\\", "Gr\xf6\xdf" "e GPL"},
         "Z:\\Gr\xf6\xdf" "e GPL", "Z:\\Gr\xf6\xdf" "e GPL\\a"},
        {"network share", "\\\\server\\games\\GPL", {"\\\\server\\games", "GPL"}, "\\\\server\\games\\GPL",
         "\\\\server\\games\\GPL\\a"},
        {"network share root", "\\\\server\\games\\", {"\\\\server\\games"}, "\\\\server\\games",
         "\\\\server\\games\\a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FolderRows r = BuildFolderRows(c.folder, {"a"});
        ASSERT_EQ(r.rows.size(), c.openTexts.size() + 1);
        std::vector<std::string> texts = c.openTexts;
        texts.push_back("a");
        EXPECT_EQ(Texts(r, 0), texts);
        EXPECT_EQ(r.current, c.openTexts.size() - 1);
        EXPECT_EQ(r.rows[r.current].path, c.currentPath);
        EXPECT_EQ(r.rows.back().path, c.subfolderPath);
        EXPECT_EQ(r.rows.back().indent, static_cast<int>(c.openTexts.size()));
    }
}

TEST(FolderRows, EveryRowOpensTheFolderItNames) {
    const FolderRows r = BuildFolderRows("E:\\Sim\\GPL\\tracks", {"monza", "nurburg"});
    for (const FolderRow& row : r.rows) {
        SCOPED_TRACE(row.path);
        const FolderRows opened = BuildFolderRows(row.path, {});
        EXPECT_EQ(opened.rows[opened.current].path, row.path);
        EXPECT_EQ(opened.rows[opened.current].text, row.text);
        EXPECT_EQ(static_cast<int>(opened.current), row.indent);
    }
}

TEST(FolderRows, WithoutSubfoldersTheCurrentFolderIsLast) {
    const FolderRows r = BuildFolderRows("C:\\GPL", {});
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.current, 1u);
    EXPECT_TRUE(r.rows.back().open);
}

TEST(FolderRows, SubfoldersSortIgnoringCaseOfAsciiAndAnsiLetters) {
    // 0xC4/0xE4 are Ä/ä, 0xD6/0xF6 Ö/ö; 0xD7 (×) and 0xF7 (÷) are no letters.
    const FolderRows r = BuildFolderRows(
        "C:\\", {"b", "\xc4rger", "A", "\xe4" "b", "C", "_x", "10", "2", "\xf6l", "\xd6" "d", "ab", "Aa"});
    const std::vector<std::string> expected{"10", "2", "_x", "A", "Aa", "ab", "b", "C",
                                            "\xe4" "b", "\xc4rger", "\xd6" "d", "\xf6l"};
    EXPECT_EQ(Texts(r, 1), expected);
}

TEST(FolderNames, JoinParentAndNormalise) {
    struct Case {
        const char* folder;
        const char* joinedWithX;
        const char* parent;
        const char* normalised;
    };
    const Case cases[] = {
        {"C:\\", "C:\\x", "C:\\", "C:\\"},
        {"C:\\GPL", "C:\\GPL\\x", "C:\\", "C:\\GPL"},
        {"C:\\GPL\\tracks", "C:\\GPL\\tracks\\x", "C:\\GPL", "C:\\GPL\\tracks"},
        {"c:\\gpl\\", "c:\\gpl\\x", "C:\\", "C:\\gpl"},
        {"c:", "c:\\x", "C:\\", "C:\\"},
        {"\\\\server\\games", "\\\\server\\games\\x", "\\\\server\\games", "\\\\server\\games"},
        {"\\\\server\\games\\GPL\\", "\\\\server\\games\\GPL\\x", "\\\\server\\games", "\\\\server\\games\\GPL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(JoinFolder(c.folder, "x"), c.joinedWithX);
        EXPECT_EQ(ParentFolder(c.folder), c.parent);
        EXPECT_EQ(NormaliseFolder(c.folder), c.normalised);
    }
}

TEST(FolderNames, ComposedDataFileAtADriveRootHasTwoBackslashes) {
    // The caller appends "\gpl.exe" to the folder as it is; only the root keeps its backslash.
    EXPECT_EQ(NormaliseFolder("D:\\") + "\\gpl.exe", "D:\\\\gpl.exe");
    EXPECT_EQ(NormaliseFolder("D:\\GPL\\") + "\\gpl.exe", "D:\\GPL\\gpl.exe");
}

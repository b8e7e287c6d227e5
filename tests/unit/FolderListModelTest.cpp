#include "platform/FolderListModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lapforge::platform;

namespace {

std::vector<std::wstring> Texts(const FolderRows& r, std::size_t from) {
    std::vector<std::wstring> texts;
    for (std::size_t i = from; i < r.rows.size(); ++i) texts.push_back(r.rows[i].text);
    return texts;
}

}  // namespace

TEST(FolderRows, PathFromTheRootThenSortedSubfolders) {
    const FolderRows r = BuildFolderRows(L"C:\\GPL\\tracks", {L"nurburg", L"Monza", L"brands", L"Zandvoort"});
    struct Expected {
        const wchar_t* text;
        const wchar_t* path;
        int indent;
        bool open;
    };
    const Expected expected[] = {
        {L"C:\\", L"C:\\", 0, true},
        {L"GPL", L"C:\\GPL", 1, true},
        {L"tracks", L"C:\\GPL\\tracks", 2, true},
        {L"brands", L"C:\\GPL\\tracks\\brands", 3, false},
        {L"Monza", L"C:\\GPL\\tracks\\Monza", 3, false},
        {L"nurburg", L"C:\\GPL\\tracks\\nurburg", 3, false},
        {L"Zandvoort", L"C:\\GPL\\tracks\\Zandvoort", 3, false},
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
        const wchar_t* name;
        const wchar_t* folder;
        std::vector<std::wstring> openTexts;  // root down to the current folder
        const wchar_t* currentPath;
        const wchar_t* subfolderPath;  // where the subfolder L"a" opens
    };
    const Case cases[] = {
        {L"drive root", L"C:\\", {L"C:\\"}, L"C:\\", L"C:\\a"},
        {L"bare drive", L"c:", {L"C:\\"}, L"C:\\", L"C:\\a"},
        {L"small letter", L"d:\\Games", {L"D:\\", L"Games"}, L"D:\\Games", L"D:\\Games\\a"},
        {L"trailing backslashes", L"D:\\Games\\\\", {L"D:\\", L"Games"}, L"D:\\Games", L"D:\\Games\\a"},
        {L"doubled backslash",
         L"C:\\GPL\\\\tracks",
         {L"C:\\", L"GPL", L"tracks"},
         L"C:\\GPL\\tracks",
         L"C:\\GPL\\tracks\\a"},
        {L"Latin-1 letters and a space",
         L"Z:\\Gr\u00f6\u00dfe GPL",
         {L"Z:\\", L"Gr\u00f6\u00dfe GPL"},
         L"Z:\\Gr\u00f6\u00dfe GPL",
         L"Z:\\Gr\u00f6\u00dfe GPL\\a"},
        {L"network share",
         L"\\\\server\\games\\GPL",
         {L"\\\\server\\games", L"GPL"},
         L"\\\\server\\games\\GPL",
         L"\\\\server\\games\\GPL\\a"},
        {L"network share root",
         L"\\\\server\\games\\",
         {L"\\\\server\\games"},
         L"\\\\server\\games",
         L"\\\\server\\games\\a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FolderRows r = BuildFolderRows(c.folder, {L"a"});
        ASSERT_EQ(r.rows.size(), c.openTexts.size() + 1);
        std::vector<std::wstring> texts = c.openTexts;
        texts.push_back(L"a");
        EXPECT_EQ(Texts(r, 0), texts);
        EXPECT_EQ(r.current, c.openTexts.size() - 1);
        EXPECT_EQ(r.rows[r.current].path, c.currentPath);
        EXPECT_EQ(r.rows.back().path, c.subfolderPath);
        EXPECT_EQ(r.rows.back().indent, static_cast<int>(c.openTexts.size()));
    }
}

TEST(FolderRows, EveryRowOpensTheFolderItNames) {
    const FolderRows r = BuildFolderRows(L"E:\\Sim\\GPL\\tracks", {L"monza", L"nurburg"});
    for (const FolderRow& row : r.rows) {
        SCOPED_TRACE(row.path);
        const FolderRows opened = BuildFolderRows(row.path, {});
        EXPECT_EQ(opened.rows[opened.current].path, row.path);
        EXPECT_EQ(opened.rows[opened.current].text, row.text);
        EXPECT_EQ(static_cast<int>(opened.current), row.indent);
    }
}

TEST(FolderRows, WithoutSubfoldersTheCurrentFolderIsLast) {
    const FolderRows r = BuildFolderRows(L"C:\\GPL", {});
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.current, 1u);
    EXPECT_TRUE(r.rows.back().open);
}

TEST(FolderRows, SubfoldersSortIgnoringCaseOfLatinGreekAndCyrillicLetters) {
    // U+00C4/E4 are Ä/ä, U+00D6/F6 Ö/ö; U+00D7 (×) and U+00F7 (÷) are no letters. Greek Α/α, Ω/ω;
    // Cyrillic Д/д, Я/я, and Ё, whose small ё comes after я.
    const FolderRows r = BuildFolderRows(
        L"C:\\", {L"b", L"\u00c4rger", L"A", L"\u00e4b", L"C", L"_x", L"10", L"2", L"\u00f6l", L"\u00d6d", L"ab", L"Aa",
                  L"\u03c9", L"\u0391", L"\u044f", L"\u0414", L"\u0401", L"\u0434\u0430"});
    const std::vector<std::wstring> expected{L"10",           L"2",       L"_x",     L"A",       L"Aa",
                                             L"ab",           L"b",       L"C",      L"\u00e4b", L"\u00c4rger",
                                             L"\u00d6d",      L"\u00f6l", L"\u0391", L"\u03c9",  L"\u0414",
                                             L"\u0434\u0430", L"\u044f",  L"\u0401"};
    EXPECT_EQ(Texts(r, 1), expected);
}

TEST(FolderNames, JoinParentAndNormalise) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* joinedWithX;
        const wchar_t* parent;
        const wchar_t* normalised;
    };
    const Case cases[] = {
        {L"C:\\", L"C:\\x", L"C:\\", L"C:\\"},
        {L"C:\\GPL", L"C:\\GPL\\x", L"C:\\", L"C:\\GPL"},
        {L"C:\\GPL\\tracks", L"C:\\GPL\\tracks\\x", L"C:\\GPL", L"C:\\GPL\\tracks"},
        {L"c:\\gpl\\", L"c:\\gpl\\x", L"C:\\", L"C:\\gpl"},
        {L"c:", L"c:\\x", L"C:\\", L"C:\\"},
        {L"\\\\server\\games", L"\\\\server\\games\\x", L"\\\\server\\games", L"\\\\server\\games"},
        {L"\\\\server\\games\\GPL\\", L"\\\\server\\games\\GPL\\x", L"\\\\server\\games", L"\\\\server\\games\\GPL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(JoinFolder(c.folder, L"x"), c.joinedWithX);
        EXPECT_EQ(ParentFolder(c.folder), c.parent);
        EXPECT_EQ(NormaliseFolder(c.folder), c.normalised);
    }
}

TEST(FolderNames, ComposedDataFileAtADriveRootHasTwoBackslashes) {
    // The caller appends L"\gpl.exe" to the folder as it is; only the root keeps its backslash.
    EXPECT_EQ(NormaliseFolder(L"D:\\") + L"\\gpl.exe", L"D:\\\\gpl.exe");
    EXPECT_EQ(NormaliseFolder(L"D:\\GPL\\") + L"\\gpl.exe", L"D:\\GPL\\gpl.exe");
}

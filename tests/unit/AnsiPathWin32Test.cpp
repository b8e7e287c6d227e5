// Under Wine (or Windows): folder names the ANSI code page cannot spell, on a real disk.
#include "core/FileIO.h"
#include "core/Settings.h"
#include "platform/Win32.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lapforge;

TEST(AnsiPathOnDisk, FoldersOfAnyNameGiveAPathTheCoreCanUse) {
    TestFolder folder;
    const std::wstring names[] = {
        L"\u041f\u043e\u043b\u044c\u0437\u043e\u0432\u0430\u0442\u0435\u043b\u044c "
        L"\u0414\u043c\u0438\u0442\u0440\u0438\u0439",
        L"GPL \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
        L"Grand Prix L\u00e9gends",
    };
    for (const std::wstring& name : names) {
        SCOPED_TRACE(name);
        const std::filesystem::path real = std::filesystem::path(folder.Path()) / name / L"Lapforge";
        std::filesystem::create_directories(real);
        const std::string ansi = platform::AnsiPath(real.wstring());
        EXPECT_EQ(ansi.find('?'), std::string::npos) << ansi;
        // The core's 8-bit file functions reach the real folder through it.
        WriteSettingsFile(ansi + std::string(SettingsFileName), "C:\\GPL");
        const std::string settings = ansi + std::string(SettingsFileName);
        EXPECT_EQ(SettingsFolder(ReadWholeFile(settings), settings), "C:\\GPL");
        EXPECT_TRUE(std::filesystem::exists(real / L"lapforge.ini"));
    }
}

TEST(AnsiPathOnDisk, TheCodePageSpellsWhatItCanAndNothingElse) {
    EXPECT_EQ(platform::SpellInAnsi(L"C:\\GPL"), std::optional<std::string>("C:\\GPL"));
    EXPECT_EQ(platform::SpellInAnsi(L""), std::optional<std::string>(""));
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 code page spells everything";
    // No 8-bit code page has both Greek and Cyrillic letters: one of them cannot be spelled, and no
    // best-fit letter stands in.
    EXPECT_FALSE(platform::SpellInAnsi(L"\u0414\u03b1").has_value());
}

TEST(AnsiPathOnDisk, AFolderWithoutAShortFormIsNamedInTheFailure) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "a UTF-8 code page spells everything";
    // A folder that does not exist has no short form either, as on a volume without 8.3 names.
    TestFolder folder;
    const std::wstring missing = std::filesystem::path(folder.Path()).wstring() + L"\\\u0414\u03b1";
    try {
        platform::AnsiPath(missing + L"\\GPL");
        FAIL() << "no failure";
    } catch (const platform::WideFailure& failure) {
        EXPECT_NE(failure.Text().find(L"\"" + missing + L"\""), std::wstring::npos);
    }
}

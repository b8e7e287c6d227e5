#include "platform/AnsiPathModel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace lapforge::platform;

namespace {

// Windows-1252 as far as these tests need it: Latin-1 letters spell as their own byte, Greek and
// Cyrillic ones not at all.
std::optional<std::string> SpellLatin1(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        if (c > 0xFF) return std::nullopt;
        bytes += static_cast<char>(c);
    }
    return bytes;
}

}  // namespace

TEST(AnsiPath, LongFormWhereTheCodePageSpellsItElseTheShortNames) {
    struct Case {
        const char* name;
        const wchar_t* longPath;
        const wchar_t* shortPath;  // as the system gives it; empty: none
        const char* path;          // empty: no 8-bit form
        const wchar_t* unspellable;
    };
    const Case cases[] = {
        {"ASCII as it is", L"C:\\Games\\GPL", L"C:\\Games\\GPL", "C:\\Games\\GPL", L""},
        {"Latin-1 as it is, without asking for a short form", L"D:\\Grand Prix L\u00e9gends", L"",
         "D:\\Grand Prix L\xe9gends", L""},
        {"drive root", L"C:\\", L"", "C:\\", L""},
        {"Cyrillic user folder: its short name, the others by their own",
         L"C:\\Users\\\u041f\u043e\u043b\u044c\u0437\u043e\u0432\u0430\u0442\u0435\u043b\u044c "
         L"\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\Downloads\\Lapforge",
         L"C:\\Users\\____~3V3\\DOWNLO~1\\LAPFOR~1", "C:\\Users\\____~3V3\\Downloads\\Lapforge", L""},
        {"Greek simulator folder", L"Z:\\tmp\\GPL \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
         L"Z:\\tmp\\GPLE~1XQ", "Z:\\tmp\\GPLE~1XQ", L""},
        {"a short name the code page cannot spell either (8.3 names switched off)",
         L"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\GPL",
         L"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\GPL", "",
         L"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439"},
        {"no short form at all", L"C:\\\u03b1\\\u03b2", L"", "", L"C:\\\u03b1"},
        {"a short form with another number of folders counts as none", L"C:\\\u03b1\\b", L"C:\\A~1", "", L"C:\\\u03b1"},
        {"share whose name cannot be shortened", L"\\\\server\\\u03b1\\GPL", L"\\\\server\\\u03b1\\GPL", "",
         L"\\\\server\\\u03b1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnsiPathChoice choice = ChooseAnsiPath(c.longPath, c.shortPath, SpellLatin1);
        EXPECT_EQ(choice.path, c.path);
        EXPECT_EQ(choice.unspellable, c.unspellable);
    }
}

TEST(AnsiPath, MessageNamesTheFolderByItsRealName) {
    const std::wstring text = UnspellableFolderMessage(L"C:\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439");
    EXPECT_NE(text.find(L"\"C:\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\""), std::wstring::npos);
    EXPECT_NE(text.find(L"Language for non-Unicode programs"), std::wstring::npos);
}

#include "tests/imports/ImportRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lapforge::imports;

namespace {

// As objdump -p prints it for a 64-bit PE file, shortened; the function table after it has
// tab-indented hex lines too.
constexpr const char* ObjdumpText =
    "lapforge.exe:     file format pei-x86-64\n"
    "\n"
    "The Import Tables (interpreted .idata section contents)\n"
    " vma:            Hint    Time      Forward  DLL       First\n"
    "                 Table   Stamp     Chain    Name      Thunk\n"
    " 00055000\t000550b8 00000000 00000000 00056c80 000557b0\n"
    "\n"
    "\tDLL Name: COMCTL32.dll\n"
    "\tvma:  Hint/Ord Member-Name Bound-To\n"
    "\t55ea8\t   41  DefSubclassProc\n"
    "\t55eba\t  105  InitCommonControlsEx\n"
    "\n"
    " 00055014\t000550e0 00000000 00000000 00056cd8 000557d8\n"
    "\n"
    "\tDLL Name: USER32.dll\n"
    "\tvma:  Hint/Ord Member-Name Bound-To\n"
    "\t55efe\t   20  AdjustWindowRectExForDpi\n"
    "\t80000000\t  345  <none>\n"
    "\n"
    "The Function Table (interpreted .pdata section contents)\n"
    " vma:\t\t\tBeginAddress\t EndAddress\t  UnwindData\n"
    "\t 0000000140001000 0000000140001010 0000000140060000\n";

std::vector<Import> SomeImports(std::vector<std::pair<const char*, const char*>> pairs) {
    std::vector<Import> imports;
    for (const auto& [dll, function] : pairs) imports.push_back(Import{dll, function});
    return imports;
}

}  // namespace

TEST(ImportTable, ObjdumpTablesGiveEachFunctionWithItsDll) {
    const std::vector<Import> imports = ParseObjdumpImports(ObjdumpText);
    ASSERT_EQ(imports.size(), 4u);
    EXPECT_EQ(imports[0].dll, "COMCTL32.dll");
    EXPECT_EQ(imports[0].function, "DefSubclassProc");
    EXPECT_EQ(imports[1].function, "InitCommonControlsEx");
    EXPECT_EQ(imports[2].dll, "USER32.dll");
    EXPECT_EQ(imports[2].function, "AdjustWindowRectExForDpi");
    EXPECT_EQ(imports[3].function, "#345");  // by ordinal
}

TEST(ImportTable, ListsDropCommentsAndBlankLines) {
    EXPECT_EQ(ParseList("# newer ones\r\n\r\nshcore.dll\r\n  *ForDpi   # per monitor\n\t\nGetDpiFor*"),
              (std::vector<std::string>{"shcore.dll", "*ForDpi", "GetDpiFor*"}));
}

TEST(ImportTable, Wildcards) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*ForDpi", "AdjustWindowRectExForDpi", true},
        {"*ForDpi", "SystemParametersInfoForDpiX", false},
        {"GetDpiFor*", "GetDpiForWindow", true},
        {"GetDpiFor*", "GetDpi", false},
        {"*DpiAwareness*", "SetProcessDpiAwarenessContext", true},
        {"*DpiAwareness*", "GetDpiAwareness", true},
        {"api-ms-win-*.dll", "API-MS-WIN-CRT-RUNTIME-L1-1-0.DLL", true},
        {"api-ms-win-*.dll", "kernel32.dll", false},
        {"shcore.dll", "SHCORE.dll", true},
        {"shcore.dll", "shcore.dll.mui", false},
        {"WakeByAddress*", "WakeByAddressAll", true},
        {"Wait?nAddress", "WaitOnAddress", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYcZ", false},
        {"", "", true},
        {"*", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.name);
        EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches);
    }
}

TEST(ImportTable, ForbidsTooNewFunctionsAndDllsAndDllsOutsideTheAllowedSet) {
    const std::vector<std::string> tooNew{"shcore.dll", "api-ms-win-*.dll", "*ForDpi", "GetDpiFor*"};
    const std::vector<std::string> allowed{"kernel32.dll", "user32.dll", "comctl32.dll"};
    struct Case {
        const char* name;
        std::vector<Import> imports;
        std::vector<std::string> findings;
    };
    const Case cases[] = {
        {"Windows 7 functions of allowed DLLs",
         SomeImports({{"KERNEL32.dll", "CreateFileW"},
                      {"USER32.dll", "AdjustWindowRectEx"},
                      {"COMCTL32.dll", "InitCommonControlsEx"}}),
         {}},
        {"a DPI function",
         SomeImports({{"USER32.dll", "AdjustWindowRectExForDpi"}, {"USER32.dll", "GetDpiForWindow"}}),
         {"USER32.dll!AdjustWindowRectExForDpi: newer than Windows 7",
          "USER32.dll!GetDpiForWindow: newer than Windows 7"}},
        {"a DLL newer than Windows 7, named once for all its functions",
         SomeImports({{"SHCORE.dll", "GetDpiForMonitor"}, {"SHCORE.dll", "SetProcessDpiAwareness"}}),
         {"SHCORE.dll: newer than Windows 7", "SHCORE.dll!GetDpiForMonitor: newer than Windows 7"}},
        {"an API set",
         SomeImports({{"api-ms-win-crt-runtime-l1-1-0.dll", "_initterm"}}),
         {"api-ms-win-crt-runtime-l1-1-0.dll: newer than Windows 7"}},
        {"a DLL Windows looks for beside the exe first",
         SomeImports({{"WINMM.dll", "sndPlaySoundA"}}),
         {"WINMM.dll: not loaded from Windows' own folders whatever lies beside the exe"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ForbiddenImports(c.imports, tooNew, allowed), c.findings);
    }
}

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lapforge::imports {

// One function an executable imports; by ordinal, function is "#<ordinal>".
struct Import {
    std::string dll;
    std::string function;
};

// The import tables (delay-loaded ones included) from the text `objdump -p` prints for a PE file.
std::vector<Import> ParseObjdumpImports(std::string_view text);

// A list file: one entry a line, surrounding blanks dropped; '#' starts a comment.
std::vector<std::string> ParseList(std::string_view text);

// '*' stands for any run of characters, '?' for one; ASCII letters match either case.
bool MatchesPattern(std::string_view pattern, std::string_view name);

// What may not be imported, one line each: functions and DLLs matching a too-new pattern (patterns
// ending in ".dll" name DLLs, the others functions), and DLLs outside the allowed list.
std::vector<std::string> ForbiddenImports(const std::vector<Import>& imports, const std::vector<std::string>& tooNew,
                                          const std::vector<std::string>& allowedDlls);

}  // namespace lapforge::imports

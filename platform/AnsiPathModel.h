#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge::platform {

// The text's bytes in the ANSI code page, or nothing when the code page cannot spell every letter.
using AnsiSpeller = std::function<std::optional<std::string>(std::wstring_view)>;

struct AnsiPathChoice {
    std::string path;          // empty when the path has no 8-bit form
    std::wstring unspellable;  // then the first folder on the way that has none, by its real name
};

// The 8-bit form of a full path, which the core, the settings file and the A functions take: the
// path as it is when the code page spells it; else each folder by its real name where the code
// page spells that, by its short 8.3 name otherwise. `shortPath` is the system's short form of the
// same path, empty when there is none.
AnsiPathChoice ChooseAnsiPath(std::wstring_view longPath, std::wstring_view shortPath, const AnsiSpeller& spell);

// What the user reads when a folder has no 8-bit form.
std::wstring UnspellableFolderMessage(std::wstring_view folder);

}  // namespace lapforge::platform

#include "platform/Win32.h"

#include "platform/AnsiPathModel.h"

namespace lapforge::platform {

std::optional<std::string> SpellInAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    // A UTF-8 code page spells everything, and takes neither the flag nor the default-character check.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const checkDefault = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, checkDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

std::string AnsiPath(const std::wstring& path) {
    if (auto spelled = SpellInAnsi(path)) return std::move(*spelled);  // nearly always: no disk access
    std::wstring shortPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
        if (length < shortPath.size()) {
            shortPath.resize(length);  // 0: no short form
            break;
        }
        shortPath.resize(length);
    }
    AnsiPathChoice choice = ChooseAnsiPath(path, shortPath, SpellInAnsi);
    if (choice.path.empty()) throw WideFailure(UnspellableFolderMessage(choice.unspellable));
    return std::move(choice.path);
}

}  // namespace lapforge::platform

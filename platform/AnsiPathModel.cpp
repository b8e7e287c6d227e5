#include "platform/AnsiPathModel.h"

#include <vector>

namespace lapforge::platform {

namespace {

// "C:\Users\x" gives "C:", "Users", "x"; a share's leading backslashes give empty parts.
std::vector<std::wstring_view> Parts(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = path.find(L'\\', begin);
        parts.push_back(path.substr(begin, end == std::wstring_view::npos ? std::wstring_view::npos : end - begin));
        if (end == std::wstring_view::npos) return parts;
        begin = end + 1;
    }
}

}  // namespace

AnsiPathChoice ChooseAnsiPath(std::wstring_view longPath, std::wstring_view shortPath, const AnsiSpeller& spell) {
    if (auto whole = spell(longPath)) return AnsiPathChoice{std::move(*whole), {}};

    const std::vector<std::wstring_view> longParts = Parts(longPath);
    std::vector<std::wstring_view> shortParts = Parts(shortPath);
    // The system shortens names, never the number of folders; anything else is no short form of ours.
    if (shortParts.size() != longParts.size()) shortParts.assign(longParts.size(), std::wstring_view());

    AnsiPathChoice choice;
    for (std::size_t i = 0; i < longParts.size(); ++i) {
        auto part = spell(longParts[i]);
        if (!part && !shortParts[i].empty()) part = spell(shortParts[i]);
        if (!part) {
            const auto end = static_cast<std::size_t>(longParts[i].data() - longPath.data()) + longParts[i].size();
            return AnsiPathChoice{{}, std::wstring(longPath.substr(0, end))};
        }
        if (i > 0) choice.path += '\\';
        choice.path += *part;
    }
    return choice;
}

std::wstring UnspellableFolderMessage(std::wstring_view folder) {
    std::wstring text = L"Lapforge cannot work in the folder \"";
    text += folder;
    text +=
        L"\": Windows cannot spell its name for older programs such as GPL and Lapforge, which use the "
        L"\"Language for non-Unicode programs\" set in Windows, and the folder has no short 8.3 name to use "
        L"instead.\n\n"
        L"Move Lapforge or GPL to a folder whose name that language can spell (for example C:\\GPL), or rename "
        L"the folder.";
    return text;
}

}  // namespace lapforge::platform

#include "core/SimulatorProcess.h"

#include <algorithm>

namespace lapforge {

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// One spelling of a path: lower-case ASCII, backslashes only, none doubled or trailing, no "\\?\".
std::wstring Normalised(std::wstring_view path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path.remove_prefix(8);
        return L"\\\\" + Normalised(path);
    }
    if (path.starts_with(L"\\\\?\\")) path.remove_prefix(4);
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        c = c == L'/' ? L'\\' : FoldAscii(c);
        // A network path keeps its two leading backslashes.
        if (c == L'\\' && out.size() > 1 && out.back() == L'\\') continue;
        out += c;
    }
    while (!out.empty() && out.back() == L'\\') out.pop_back();
    return out;
}

}  // namespace

bool IsSimulatorFileName(std::wstring_view fileName) {
    std::wstring name(fileName);
    std::transform(name.begin(), name.end(), name.begin(), FoldAscii);
    return name.size() >= 7 && name.starts_with(L"gpl") && name.ends_with(L".exe");
}

bool IsSimulatorImage(std::wstring_view imagePath, std::wstring_view folder) {
    const std::wstring image = Normalised(imagePath);
    const std::size_t slash = image.find_last_of(L'\\');
    if (slash == std::wstring::npos) return false;
    return IsSimulatorFileName(std::wstring_view(image).substr(slash + 1)) &&
           image.substr(0, slash) == Normalised(folder);
}

}  // namespace lapforge

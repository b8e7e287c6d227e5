#include "platform/TextWrapModel.h"

namespace lapforge::platform {

namespace {

constexpr wchar_t Ellipsis[] = L"\u2026";

std::wstring WithoutTrailingSpaces(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text;
}

// The name's start and end around an ellipsis, as much of both as fits.
std::wstring Squeezed(const std::wstring& name, int width, const TextWidth& measure) {
    for (std::size_t keep = name.size() - 1; keep > 0; --keep) {
        const std::size_t head = (keep + 1) / 2, tail = keep / 2;
        std::wstring shortened = name.substr(0, head) + Ellipsis + name.substr(name.size() - tail);
        if (measure(shortened) <= width) return shortened;
    }
    return Ellipsis;
}

void WrapParagraph(std::wstring_view paragraph, int width, const TextWidth& measure, std::vector<std::wstring>& lines) {
    const std::size_t before = lines.size();
    std::wstring line;
    std::size_t start = 0;
    while (start < paragraph.size()) {
        std::size_t end = paragraph.find_first_of(L" \\", start);
        end = end == std::wstring_view::npos ? paragraph.size() : end + 1;
        const std::wstring piece(paragraph.substr(start, end - start));
        start = end;
        if (!line.empty() && measure(WithoutTrailingSpaces(line + piece)) <= width) {
            line += piece;
            continue;
        }
        if (!line.empty()) lines.push_back(WithoutTrailingSpaces(line));
        line.clear();
        const std::wstring word = WithoutTrailingSpaces(piece);
        if (word.empty()) continue;  // a space left over at a line's start
        if (measure(word) > width)
            lines.push_back(Squeezed(word, width, measure));
        else
            line = piece;
    }
    if (!line.empty() || lines.size() == before) lines.push_back(WithoutTrailingSpaces(line));
}

}  // namespace

std::vector<std::wstring> WrapText(std::wstring_view text, int width, std::size_t maxLines, const TextWidth& measure) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(L'\n', start);
        std::wstring_view paragraph = text.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (!paragraph.empty() && paragraph.back() == L'\r') paragraph.remove_suffix(1);
        WrapParagraph(paragraph, width, measure, lines);
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    if (maxLines > 0 && lines.size() > maxLines) {
        lines.resize(maxLines);
        std::wstring& last = lines.back();
        while (!last.empty() && measure(last + Ellipsis) > width) last.pop_back();
        last = WithoutTrailingSpaces(last) + Ellipsis;
    }
    return lines;
}

}  // namespace lapforge::platform

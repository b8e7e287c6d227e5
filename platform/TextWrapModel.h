#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge::platform {

// A text's width in pixels, in the font it is drawn in.
using TextWidth = std::function<int(std::wstring_view text)>;

// The lines a label shows its text in, none wider than `width`. A line breaks after a space, which
// it drops, or after a backslash, so that a path breaks between its folders and never inside a
// name; the text's own line ends are kept. A name wider than a whole line is shortened in its
// middle with an ellipsis, and beyond `maxLines` the last line ends in one.
std::vector<std::wstring> WrapText(std::wstring_view text, int width, std::size_t maxLines, const TextWidth& measure);

}  // namespace lapforge::platform

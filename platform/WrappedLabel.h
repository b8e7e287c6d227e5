#pragma once

#include <windows.h>

#include <cstddef>
#include <string_view>

namespace lapforge::platform {

// A label whose text breaks between words and after backslashes, never inside a name, in the font
// the window gave it. It is a static control drawn by its window: created with this style, its
// WM_DRAWITEM goes to DrawWrappedLabel.
inline constexpr DWORD WrappedLabelStyle = SS_OWNERDRAW;

// The height in pixels the text needs in the label, at the label's width and font, in at most
// `maxLines` lines.
int WrappedLabelHeight(HWND label, std::wstring_view text, std::size_t maxLines);

// Draws the label's own text, wrapped as WrappedLabelHeight counts it.
void DrawWrappedLabel(const DRAWITEMSTRUCT& item, std::size_t maxLines);

}  // namespace lapforge::platform

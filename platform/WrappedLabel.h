#pragma once

#include <windows.h>

#include <cstddef>

namespace lapforge::platform {

// A label whose text breaks between words and after backslashes, never inside a name, in the font
// the window gave it. It is a static control drawn by its window: created with this style, its
// WM_DRAWITEM goes to DrawWrappedLabel.
inline constexpr DWORD WrappedLabelStyle = SS_OWNERDRAW;

// The height in pixels the label's text needs, at the label's width and font, in at most
// `maxLines` lines.
int WrappedLabelHeight(HWND label, std::size_t maxLines);

// Draws the label's own text, wrapped as WrappedLabelHeight counts it.
void DrawWrappedLabel(const DRAWITEMSTRUCT& item, std::size_t maxLines);

}  // namespace lapforge::platform

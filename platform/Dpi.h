#pragma once

#include <windows.h>

namespace lapforge::platform {

// The DPI the window is shown at (per monitor where the system supports it).
UINT DpiForWindow(HWND window);

// 1440 twips make an inch.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// A size in pixels at 96 DPI, at the given DPI.
inline int ScaleToDpi(int pixelsAt96, UINT dpi) { return MulDiv(pixelsAt96, static_cast<int>(dpi), 96); }

// Right and bottom come from the rounded far edge, so controls that touch in twips touch on screen.
inline RECT TwipsRect(int left, int top, int width, int height, UINT dpi) {
    return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
                TwipsToPixels(top + height, dpi)};
}

// The system's message font at that DPI; the caller owns it.
HFONT CreateMessageFont(UINT dpi);

}  // namespace lapforge::platform

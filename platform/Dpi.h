#pragma once

#include "platform/DpiModel.h"

#include <windows.h>

namespace lapforge::platform {

// The DPI the window is shown at (per monitor where the system supports it).
UINT DpiForWindow(HWND window);

inline RECT TwipsRect(int left, int top, int width, int height, UINT dpi) {
    const PixelRect r = TwipsToPixels(TwipsPlace{left, top, width, height}, dpi);
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The system's message font at that DPI; the caller owns it.
HFONT CreateMessageFont(UINT dpi);

}  // namespace lapforge::platform

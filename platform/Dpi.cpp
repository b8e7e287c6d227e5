#include "platform/Dpi.h"

#include "platform/NewerWindows.h"

namespace lapforge::platform {

UINT DpiForWindow(HWND window) { return newer::DpiForWindow(window); }

HFONT CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    newer::NonClientMetricsForDpi(metrics, dpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace lapforge::platform

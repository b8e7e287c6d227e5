#include "platform/WrappedLabel.h"

#include "platform/Control.h"
#include "platform/TextWrapModel.h"
#include "platform/Win32.h"

#include <string>
#include <vector>

namespace lapforge::platform {

namespace {

std::vector<std::wstring> Lines(HDC dc, std::wstring_view text, int width, std::size_t maxLines) {
    return WrapText(text, width, maxLines, [dc](std::wstring_view part) {
        SIZE size{};
        GetTextExtentPoint32W(dc, part.data(), static_cast<int>(part.size()), &size);
        return static_cast<int>(size.cx);
    });
}

}  // namespace

int WrappedLabelHeight(HWND label, std::size_t maxLines) {
    RECT box{};
    GetClientRect(label, &box);
    const WindowDc dc(label);
    const Selection font(dc.Get(), ControlFont(label));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    return static_cast<int>(Lines(dc.Get(), ControlText(label), box.right, maxLines).size()) * metrics.tmHeight;
}

void DrawWrappedLabel(const DRAWITEMSTRUCT& item, std::size_t maxLines) {
    HDC dc = item.hDC;
    const Selection font(dc, ControlFont(item.hwndItem));
    // The window's colours for its labels, as a static control would ask for them.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(GetParent(item.hwndItem), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(item.hwndItem)));
    FillRect(dc, &item.rcItem, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int width = item.rcItem.right - item.rcItem.left;
    int top = item.rcItem.top;
    for (const std::wstring& line : Lines(dc, ControlText(item.hwndItem), width, maxLines)) {
        TextOutW(dc, item.rcItem.left, top, line.c_str(), static_cast<int>(line.size()));
        top += metrics.tmHeight;
    }
}

}  // namespace lapforge::platform

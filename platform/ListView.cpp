#include "platform/ListView.h"

#include "platform/Dpi.h"

#include <commctrl.h>

namespace lapforge::platform {

void AddListColumns(HWND list, std::span<const ListColumn> columns) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(columns[i].title);
        column.cx = columns[i].twips / 15;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void SizeListColumns(HWND list, std::span<const ListColumn> columns, UINT dpi) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int width = i + 1 < columns.size() ? TwipsToPixels(columns[i].twips, dpi) : LVSCW_AUTOSIZE_USEHEADER;
        ListView_SetColumnWidth(list, static_cast<int>(i), width);
    }
}

void SetListRows(HWND list, const std::vector<std::vector<std::wstring>>& rows) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(rows[row].empty() ? L"" : rows[row][0].c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (std::size_t column = 1; column < rows[row].size(); ++column)
            SetListCell(list, row, static_cast<int>(column), rows[row][column]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void SetListCell(HWND list, std::size_t row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::optional<std::size_t> SelectedListRow(HWND list) {
    const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void SelectListRow(HWND list, std::size_t row) {
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(list, static_cast<int>(row), both, both);
    ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
}

}  // namespace lapforge::platform

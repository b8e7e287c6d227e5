#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lapforge::platform {

// The list of rows with columns that the Keys and Points windows show: a report-view list view,
// one row selected at most, the selection shown also while the list has no focus.
inline constexpr wchar_t ListViewClass[] = L"SysListView32";
inline constexpr DWORD ListViewStyle =
    WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

// A column's title and its width in twips; the last column takes what is left of the list's width.
struct ListColumn {
    const wchar_t* title;
    int twips;
};

// Adds the columns once, after the list is created; whole rows are selected.
void AddListColumns(HWND list, std::span<const ListColumn> columns);
// Sizes the columns for the DPI the window's layout was placed at.
void SizeListColumns(HWND list, std::span<const ListColumn> columns, UINT dpi);

// Puts the rows in, each a text per column, in place of those there; the selection goes.
void SetListRows(HWND list, const std::vector<std::vector<std::wstring>>& rows);
void SetListCell(HWND list, std::size_t row, int column, const std::wstring& text);

std::optional<std::size_t> SelectedListRow(HWND list);
// Selects the row, gives it the focus rectangle and scrolls it into view.
void SelectListRow(HWND list, std::size_t row);

}  // namespace lapforge::platform

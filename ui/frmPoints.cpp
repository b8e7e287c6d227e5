#include "ui/frmPoints.h"

#include "core/Controller.h"
#include "core/LapPoints.h"
#include "core/Messages.h"
#include "platform/InputState.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Win32.h"
#include "ui/frmPoint.h"

#include <algorithm>
#include <string>
#include <vector>

namespace lapforge {

namespace {

enum ControlId {
    lvPoints = 100,
    cmdAdd,
    cmdRename,
    cmdRemove,
    chkOnlyMine,
    lblHint,
    cmdClose,
};

// clang-format off
constexpr ControlPlacement LayoutTable[] = {
    {lvPoints, 240, 240, 6840, 2655},
    {cmdAdd, 240, 3000, 1020, 375},
    {cmdRename, 1365, 3000, 1020, 375},
    {cmdRemove, 2490, 3000, 1020, 375},
    {chkOnlyMine, 240, 3495, 6840, 255},
    {lblHint, 240, 3870, 6840, 495},
    {cmdClose, 6060, 4485, 1020, 375},
};
// clang-format on
constexpr WindowLayout Layout{7320, 4980, LayoutTable};

constexpr platform::ListColumn Columns[] = {{L"Distance", 1050}, {L"Name", 2700}, {L"Key or button", 0}};

}  // namespace

frmPoints::frmPoints(Controller& controller) : controller_(controller) {}

template <typename Edit>
void frmPoints::Saved(Edit edit) {
    try {
        edit();
    } catch (const SettingsNotSaved& failure) {
        platform::ShowErrorMessage(hwnd_, std::string(failure.what()));  // the change holds for this run
    }
}

void frmPoints::ShowModal(HWND owner) {
    CreateTopLevel(L"frmPoints", L"Points", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, Layout,
                   owner);
    CentreOnScreen();
    platform::RunModal(hwnd_, GetDlgItem(hwnd_, controller_.Points.list.empty() ? cmdAdd : lvPoints));
}

void frmPoints::OnCreate() {
    // Created in tab order.
    HWND list = AddControl(platform::ListViewClass, L"", platform::ListViewStyle, lvPoints, WS_EX_CLIENTEDGE);
    platform::AddListColumns(list, Columns);
    AddControl(L"BUTTON", L"Add\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdAdd);
    AddControl(L"BUTTON", L"Rename\u2026", WS_TABSTOP | BS_PUSHBUTTON, cmdRename);
    AddControl(L"BUTTON", L"Remove", WS_TABSTOP | BS_PUSHBUTTON, cmdRemove);
    const Binding& next = controller_.HotkeyBindings.next;
    AddControl(L"BUTTON", platform::Widen(OnlyMyPointsCaption(next, platform::KeyName(next.key))).c_str(),
               WS_TABSTOP | BS_AUTOCHECKBOX, chkOnlyMine);
    AddControl(L"STATIC", std::wstring(PointsHint).c_str(), SS_LEFT | SS_NOPREFIX, lblHint);
    AddControl(L"BUTTON", L"Close", WS_TABSTOP | BS_PUSHBUTTON, cmdClose);
    ShowPoints(std::nullopt);
}

void frmPoints::OnLayoutApplied() { platform::SizeListColumns(GetDlgItem(hwnd_, lvPoints), Columns, LayoutDpi()); }

void frmPoints::OnCommand(int id, int code) {
    switch (id) {
    case cmdAdd:
        if (code == BN_CLICKED) cmdAdd_Click();
        break;
    case cmdRename:
        if (code == BN_CLICKED) cmdRename_Click();
        break;
    case cmdRemove:
        if (code == BN_CLICKED) cmdRemove_Click();
        break;
    case chkOnlyMine:
        if (code == BN_CLICKED) chkOnlyMine_Click();
        break;
    case cmdClose:
    case IDCANCEL:  // Esc
        if (code == BN_CLICKED) cmdClose_Click();
        break;
    }
}

LRESULT frmPoints::OnMessage(UINT message, WPARAM, LPARAM lParam, bool& handled) {
    if (message == DM_GETDEFID) {
        handled = true;
        return MAKELRESULT(cmdClose, DC_HASDEFID);
    }
    if (message != WM_NOTIFY) return 0;
    const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
    if (notice.idFrom != lvPoints) return 0;
    if (notice.code == LVN_ITEMCHANGED) lvPoints_Change();
    if (notice.code == NM_DBLCLK && SelectedPoint()) cmdRename_Click();
    return 0;
}

bool frmPoints::OnClose() {
    cmdClose_Click();
    return true;
}

void frmPoints::lvPoints_Change() {
    const BOOL selected = SelectedPoint() ? TRUE : FALSE;
    EnableWindow(GetDlgItem(hwnd_, cmdRename), selected);
    EnableWindow(GetDlgItem(hwnd_, cmdRemove), selected);
}

void frmPoints::cmdAdd_Click() {
    frmPoint point(controller_, frmPoint::Purpose::Add);
    point.ShowModal(hwnd_);
    if (point.Done()) ShowPoints(point.Done());
}

void frmPoints::cmdRename_Click() {
    const std::optional<int> selected = SelectedPoint();
    if (!selected) return;
    frmPoint point(controller_, frmPoint::Purpose::Rename, *selected);
    point.ShowModal(hwnd_);
    if (point.Done()) ShowPoints(point.Done());
}

void frmPoints::cmdRemove_Click() {
    const HWND list = GetDlgItem(hwnd_, lvPoints);
    const std::optional<std::size_t> row = platform::SelectedListRow(list);
    const std::optional<int> selected = SelectedPoint();
    if (!row || !selected) return;
    Saved([&] { controller_.RemovePoint(*selected); });
    ShowPoints(std::nullopt, *row);
    SetFocus(controller_.Points.list.empty() ? GetDlgItem(hwnd_, cmdAdd) : list);
}

void frmPoints::chkOnlyMine_Click() {
    const bool ticked = SendMessageW(GetDlgItem(hwnd_, chkOnlyMine), BM_GETCHECK, 0, 0) == BST_CHECKED;
    Saved([&] { controller_.SetOnlyMyPoints(ticked); });
    ShowPoints(SelectedPoint());
}

void frmPoints::cmdClose_Click() { platform::EndModal(hwnd_); }

void frmPoints::ShowPoints(std::optional<int> metres, std::size_t row) {
    const HWND list = GetDlgItem(hwnd_, lvPoints);
    const std::vector<OwnPoint>& points = controller_.Points.list;
    std::vector<std::vector<std::wstring>> rows;
    for (const OwnPoint& point : points) {
        const Binding jump = JumpBinding(controller_.HotkeyBindings, PointStop(point.metres));
        rows.push_back({platform::Widen(KmText(point.metres)), platform::Widen(point.name),
                        platform::Widen(BindingName(jump, platform::KeyName(jump.key)))});
    }
    platform::SetListRows(list, rows);
    if (!points.empty()) {
        const auto at = std::find_if(points.begin(), points.end(),
                                     [&](const OwnPoint& point) { return metres && point.metres == *metres; });
        platform::SelectListRow(list, at != points.end() ? static_cast<std::size_t>(at - points.begin())
                                                         : std::min(row, points.size() - 1));
    }
    const HWND only = GetDlgItem(hwnd_, chkOnlyMine);
    SendMessageW(only, BM_SETCHECK, controller_.Points.onlyThese ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(only, points.empty() ? FALSE : TRUE);
    lvPoints_Change();
}

std::optional<int> frmPoints::SelectedPoint() const {
    const std::optional<std::size_t> row = platform::SelectedListRow(GetDlgItem(hwnd_, lvPoints));
    if (!row || *row >= controller_.Points.list.size()) return std::nullopt;
    return controller_.Points.list[*row].metres;
}

}  // namespace lapforge

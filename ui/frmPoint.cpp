#include "ui/frmPoint.h"

#include "core/Controller.h"
#include "core/LapPoints.h"
#include "core/Messages.h"
#include "platform/Control.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "platform/Win32.h"

namespace lapforge {

namespace {

enum ControlId {
    lblKm = 100,
    txtKm,
    lblOffer,
    lblName,
    txtName,
    lblProblem,
    cmdOK,
    cmdCancel,
};

// clang-format off
constexpr ControlPlacement AddTable[] = {
    {lblKm, 240, 300, 1500, 255},
    {txtKm, 1800, 240, 1200, 315},
    {lblOffer, 240, 720, 6000, 735},
    {lblName, 240, 1620, 1500, 255},
    {txtName, 1800, 1560, 4440, 315},
    {lblProblem, 240, 2040, 6000, 735},
    {cmdOK, 4095, 2880, 1020, 375},
    {cmdCancel, 5220, 2880, 1020, 375},
};
constexpr ControlPlacement OfferTable[] = {
    {lblOffer, 240, 240, 6000, 255},
    {lblName, 240, 720, 1500, 255},
    {txtName, 1800, 660, 4440, 315},
    {lblProblem, 240, 1140, 6000, 735},
    {cmdOK, 4095, 1980, 1020, 375},
    {cmdCancel, 5220, 1980, 1020, 375},
};
constexpr ControlPlacement RenameTable[] = {
    {lblName, 240, 300, 1500, 255},
    {txtName, 1800, 240, 4440, 315},
    {lblProblem, 240, 720, 6000, 735},
    {cmdOK, 4095, 1560, 1020, 375},
    {cmdCancel, 5220, 1560, 1020, 375},
};
// clang-format on
constexpr WindowLayout AddLayout{6480, 3375, AddTable};
constexpr WindowLayout OfferLayout{6480, 2475, OfferTable};
constexpr WindowLayout RenameLayout{6480, 2055, RenameTable};

void SetText(HWND window, int id, const std::wstring& text) { SetDlgItemTextW(window, id, text.c_str()); }

std::wstring FieldText(HWND window, int id) { return platform::ControlText(GetDlgItem(window, id)); }

}  // namespace

frmPoint::frmPoint(Controller& controller, Purpose purpose, int metres)
    : controller_(controller), purpose_(purpose), metres_(metres) {}

void frmPoint::ShowModal(HWND owner) {
    const WindowLayout& layout = purpose_ == Purpose::Add     ? AddLayout
                                 : purpose_ == Purpose::Offer ? OfferLayout
                                                              : RenameLayout;
    CreateTopLevel(L"frmPoint", L"Point", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, layout, owner);
    CentreOnOwner();
    const HWND first = GetDlgItem(hwnd_, purpose_ == Purpose::Add ? txtKm : txtName);
    SendMessageW(first, EM_SETSEL, 0, -1);
    platform::RunModal(hwnd_, first);
}

void frmPoint::OnCreate() {
    // Created in tab order.
    if (purpose_ == Purpose::Add) AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, txtKm, WS_EX_CLIENTEDGE);
    AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, txtName, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, cmdOK);
    AddControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, cmdCancel);
    if (purpose_ == Purpose::Add) AddControl(L"STATIC", L"Distance in km:", SS_LEFT | SS_NOPREFIX, lblKm);
    if (purpose_ != Purpose::Rename) AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblOffer);
    AddControl(L"STATIC", L"Name:", SS_LEFT | SS_NOPREFIX, lblName);
    AddControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, lblProblem);

    fillingName_ = true;
    switch (purpose_) {
    case Purpose::Offer:
        SetText(hwnd_, lblOffer, PointOfferText(metres_));
        defaultName_ = platform::Widen(DefaultPointName(metres_));
        SetText(hwnd_, txtName, defaultName_);
        break;
    case Purpose::Add:
        txtKm_Change();
        break;
    case Purpose::Rename:
        if (const OwnPoint* point = FindPoint(controller_.Points, metres_))
            SetText(hwnd_, txtName, platform::Widen(point->name));
        break;
    }
    fillingName_ = false;
}

void frmPoint::OnCommand(int id, int code) {
    switch (id) {
    case txtKm:
        if (code == EN_CHANGE) txtKm_Change();
        break;
    case txtName:
        if (code == EN_CHANGE) txtName_Change();
        break;
    case cmdOK:
        if (code == BN_CLICKED) cmdOK_Click();
        break;
    case cmdCancel:
    case IDCANCEL:  // Esc
        if (code == BN_CLICKED) cmdCancel_Click();
        break;
    }
}

LRESULT frmPoint::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
    if (message != DM_GETDEFID) return 0;
    // Enter in a field is OK.
    handled = true;
    return MAKELRESULT(cmdOK, DC_HASDEFID);
}

bool frmPoint::OnClose() {
    cmdCancel_Click();
    return true;
}

void frmPoint::txtKm_Change() {
    const TypedPlace place = PlaceOfTypedKm(controller_.Points, platform::Narrow(FieldText(hwnd_, txtKm)));
    SetText(hwnd_, lblOffer, place.metres ? PointOfferText(*place.metres) : platform::Widen(place.problem));
    if (!place.metres) return;
    // The name follows the distance until the driver types one of his own.
    const std::wstring name = FieldText(hwnd_, txtName);
    const std::wstring fitting = platform::Widen(DefaultPointName(*place.metres));
    if (!name.empty() && name != defaultName_) return;
    defaultName_ = fitting;
    fillingName_ = true;
    SetText(hwnd_, txtName, fitting);
    fillingName_ = false;
}

void frmPoint::txtName_Change() {
    if (!fillingName_) SetText(hwnd_, lblProblem, L"");
}

void frmPoint::cmdOK_Click() {
    const std::optional<std::string> name = TypedName();
    if (!name) return;
    if (purpose_ != Purpose::Add) return Save(metres_, *name);
    const TypedPlace place = PlaceOfTypedKm(controller_.Points, platform::Narrow(FieldText(hwnd_, txtKm)));
    if (!place.metres) return ShowProblem(place.problem, txtKm);
    Save(*place.metres, *name);
}

void frmPoint::cmdCancel_Click() { platform::EndModal(hwnd_); }

std::optional<std::string> frmPoint::TypedName() {
    std::optional<std::string> name = platform::SpellInAnsi(FieldText(hwnd_, txtName));
    if (!name) ShowProblem(std::string(NameNotInCodePageText), txtName);
    return name;
}

void frmPoint::ShowProblem(const std::string& text, int field) {
    SetText(hwnd_, lblProblem, platform::Widen(text));
    const HWND edit = GetDlgItem(hwnd_, field);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

void frmPoint::Save(int metres, const std::string& name) {
    std::optional<std::string> refused;
    try {
        refused =
            purpose_ == Purpose::Rename ? controller_.RenamePoint(metres, name) : controller_.AddPoint(metres, name);
    } catch (const SettingsNotSaved& failure) {
        platform::ShowErrorMessage(hwnd_, std::string(failure.what()));  // the point holds for this run
    }
    if (refused) return ShowProblem(*refused, txtName);
    done_ = metres;
    platform::EndModal(hwnd_);
}

}  // namespace lapforge

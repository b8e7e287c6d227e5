#pragma once

#include "platform/WindowBase.h"

#include <optional>
#include <string>

namespace lapforge {

class Controller;

// "Point": one of the driver's own points, added where he clicked the map (the offer "Deploy at
// km 12.30 — Karussell in 450 m" above its name), added at a distance he types (the offer, or
// what is wrong, follows the typing), or renamed. OK (the default button) adds or renames it and
// saves it at once; a refusal is said in the window, which stays open and changes nothing.
// Cancel, Esc and the close box change nothing.
class frmPoint final : public WindowBase {
public:
    enum class Purpose { Offer, Add, Rename };

    // For an offer, the place clicked (a point may lie there); for a rename, the point's distance.
    frmPoint(Controller& controller, Purpose purpose, int metres = 0);

    // Shows the window centred on its owner and returns once it has gone.
    void ShowModal(HWND owner);

    // The point added or renamed once OK closed the window; nothing after Cancel.
    std::optional<int> Done() const { return done_; }

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    void txtKm_Change();
    void txtName_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The name typed, in the ANSI code page; nothing when that cannot spell it (said in the window).
    std::optional<std::string> TypedName();
    void ShowProblem(const std::string& text, int field);
    // Saves the edit: a refusal is said and keeps the window open; a file refused holds the edit.
    void Save(int metres, const std::string& name);

    Controller& controller_;
    Purpose purpose_;
    int metres_;
    std::wstring defaultName_;  // in the name field until the driver types his own
    bool fillingName_ = false;
    std::optional<int> done_;
};

}  // namespace lapforge

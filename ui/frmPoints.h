#pragma once

#include "platform/WindowBase.h"

#include <optional>

namespace lapforge {

class Controller;

// "Points": the driver's own points in lap order, each with its distance, name and jump key or
// button; Add, Rename and Remove, and the tick box that lets the cycle visit only these points.
// Every change is saved at once; Close, Esc and the close box end the window.
class frmPoints final : public WindowBase {
public:
    explicit frmPoints(Controller& controller);

    // Shows the window owned by the main window and returns once it has gone.
    void ShowModal(HWND owner);

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnLayoutApplied() override;

    void lvPoints_Change();
    void cmdAdd_Click();
    void cmdRename_Click();
    void cmdRemove_Click();
    void chkOnlyMine_Click();
    void cmdClose_Click();

    // The list anew, with the point at `metres` selected (or the row at `row`, or the last).
    void ShowPoints(std::optional<int> metres, std::size_t row = 0);
    std::optional<int> SelectedPoint() const;
    // A change lapforge.ini refused holds for the run: the driver is told.
    template <typename Edit>
    void Saved(Edit edit);

    Controller& controller_;
};

}  // namespace lapforge

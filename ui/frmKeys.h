#pragma once

#include "core/BindingCapture.h"
#include "core/Bindings.h"
#include "core/JoystickReprobe.h"
#include "platform/WindowBase.h"

#include <optional>
#include <vector>

namespace lapforge {

class Controller;

// "Keys": the two bindings, next section and previous section, each with "Change", which takes the
// next key or controller button or hat direction pressed; "previous" can be cleared. Below them every
// stop of the lap (the sections and the driver's points) with its jump binding, changed and cleared
// the same way. OK (the default button) stores them all; Cancel, Esc and the close box leave them.
class frmKeys final : public WindowBase {
public:
    // `reprobe`: the section cycle's, the one that says when the joysticks are listed anew; the
    // window drives it while the cycle is paused behind it.
    frmKeys(Controller& controller, JoystickReprobe& reprobe);

    // Shows the window owned by the main window and returns once it has gone.
    void ShowModal(HWND owner);

private:
    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    bool OnClose() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnLayoutApplied() override;

    void cmdChangeNext_Click();
    void cmdChangePrevious_Click();
    void cmdClearPrevious_Click();
    void cmdChangeJump_Click();
    void cmdClearJump_Click();
    void lvJumps_Change();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Escape_Press();

    // `button`: the Change button clicked, which gets the focus back.
    void BeginChange(const BindingSlot& slot, int button);
    void LookForPress();
    // The change is over, taken or cancelled. The buttons come back once the key that ended it is
    // let go, so that key cannot click one; anything else held does not keep them.
    void EndChange(int endingKey);
    void Settled();
    void EnableButtons(bool enabled);
    void ShowBindings();
    std::optional<Stop> SelectedStop() const;
    // Lists the joysticks anew and shows them when the re-probe says so; woken when it will.
    void ListWhenDue();
    void ShowControllers();

    Controller& controller_;
    Bindings bindings_;  // as changed so far
    std::vector<Stop> stops_;            // the jump list's rows
    std::optional<BindingSlot> change_;  // the binding a change waits for
    BindingCapture capture_;
    int settleKey_ = 0;  // while the buttons wait for it to be let go
    int changed_ = 0;    // the Change button of the last change, which gets the focus back
    JoystickReprobe& reprobe_;
};

}  // namespace lapforge

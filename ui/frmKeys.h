#pragma once

#include "core/Bindings.h"
#include "platform/InputState.h"
#include "platform/WindowBase.h"

#include <cstdint>
#include <vector>

namespace lapforge {

class Controller;

// "Keys": the two bindings, next section and previous section, each with "Change", which takes the
// next key or controller button pressed. OK stores them; Cancel, Esc and the close box leave them.
class frmKeys final : public WindowBase {
public:
    explicit frmKeys(Controller& controller);

    // Shows the window owned by the main window and returns once it has gone.
    void ShowModal(HWND owner);

private:
    enum class Change { None, Next, Previous };

    void OnCreate() override;
    void OnCommand(int id, int code) override;
    void OnTimer(UINT_PTR id) override;
    bool OnClose() override;

    void cmdChangeNext_Click();
    void cmdChangePrevious_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Escape_Press();

    void BeginChange(Change change);
    // The change is over, taken or cancelled: the buttons come back once every key is let go, so the
    // key that was taken cannot click one.
    void EndChange();
    void EnableButtons(bool enabled);
    void ShowBindings();
    void ShowControllers();

    Controller& controller_;
    Bindings bindings_;  // as changed so far
    Change change_ = Change::None;
    bool settling_ = false;
    int changed_ = 0;  // the Change button of the last change, which gets the focus back
    InputSnapshot before_;
    std::vector<platform::ConnectedJoystick> joysticks_;
    std::uint64_t joysticksAsked_ = 0;
};

}  // namespace lapforge

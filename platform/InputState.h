#pragma once

#include "core/BindingCapture.h"
#include "core/Bindings.h"
#include "core/SectionCycle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lapforge::platform {

// System-wide: true while the key is down, whichever program has the focus. Not consumed.
bool IsKeyDown(int virtualKey);

// Alt, Ctrl, Shift or a Windows key is down.
bool IsModifierDown();

// The joystick's buttons 1 to 32 and its hat; nothing when it does not answer (unplugged, or no
// joystick support at all). Slow for an unplugged one.
std::optional<JoystickControls> JoystickInputs(unsigned joystick);

// The system's name of the key in the keyboard's language ("F4", "Num +"); empty when it has none.
std::string KeyName(int virtualKey);

// The joysticks that answered at the last enumeration, shared by the windows: enumerated at the
// first use and again after JoysticksChanged. An enumeration asks every id the system offers, which
// is slow where some are unplugged, so it is made only when devices change.
const std::vector<JoystickInfo>& Joysticks();

// Windows said that devices changed (WM_DEVICECHANGE), or a joystick stopped answering: the list is
// made anew at its next use.
void JoysticksChanged();

// The keys down now and the listed joysticks' controls.
InputSnapshot TakeSnapshot();

// The desktop's keyboard and joysticks, as the section cycle reads them.
class DesktopInput final : public InputSource {
public:
    bool IsKeyDown(int virtualKey) override { return platform::IsKeyDown(virtualKey); }
    bool IsModifierDown() override { return platform::IsModifierDown(); }
    const std::vector<JoystickInfo>& Joysticks() override { return platform::Joysticks(); }
    void Reenumerate() override { JoysticksChanged(); }
    std::optional<JoystickControls> JoystickInputs(unsigned joystick) override {
        return platform::JoystickInputs(joystick);
    }
};

}  // namespace lapforge::platform

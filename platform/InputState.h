#pragma once

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

// The controller's buttons, bit n-1 for button n; nothing when it does not answer (unplugged, or
// no controller support at all). Slow for an unplugged one.
std::optional<std::uint32_t> JoystickButtons(unsigned joystick);

// The system's name of the key in the keyboard's language ("F4", "Num +"); empty when it has none.
std::string KeyName(int virtualKey);

struct ConnectedJoystick {
    unsigned id;
    std::wstring name;  // as its driver names it
};

// The controllers that answer now. Asks every id the system offers, so it is slow where some are
// unplugged: for the Keys window, not for the cycle.
std::vector<ConnectedJoystick> ConnectedJoysticks();

// The keys down now and the given controllers' buttons.
InputSnapshot TakeSnapshot(const std::vector<ConnectedJoystick>& joysticks);

// The desktop's keyboard and controllers, as the section cycle reads them.
class DesktopInput final : public InputSource {
public:
    bool IsKeyDown(int virtualKey) override { return platform::IsKeyDown(virtualKey); }
    bool IsModifierDown() override { return platform::IsModifierDown(); }
    std::optional<std::uint32_t> JoystickButtons(unsigned joystick) override {
        return platform::JoystickButtons(joystick);
    }
};

}  // namespace lapforge::platform

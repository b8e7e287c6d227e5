#pragma once

#include "core/Bindings.h"

#include <array>
#include <bitset>
#include <optional>
#include <vector>

namespace lapforge {

// Everything pressed at one moment: the keys down and, per joystick id that answers, its controls.
struct InputSnapshot {
    std::bitset<256> keys;
    std::array<std::optional<JoystickControls>, JoystickCount> joysticks;
    bool silent = false;  // a listed joystick did not answer
};

// The Keys window's change: it takes the first press from up to down after it began. Whatever was
// down then (a shifter in gear, a latched switch) stays ignored until it is let go, and a joystick
// that comes in with controls down brings them in held; so nothing held can take or block a change.
class BindingCapture {
public:
    enum class Outcome { Waiting, Taken, Refused };
    struct Result {
        Outcome outcome = Outcome::Waiting;
        Binding binding;                   // taken, or refused
        std::optional<BindingUse> heldBy;  // what the refused input already does
    };

    void Begin(const InputSnapshot& now) { last_ = now; }

    // One look. A key that makes a shortcut (MakesShortcut) binds nothing, nor does the hat held in
    // a diagonal: moved into one from a direction, nothing new is pressed, and straight from rest
    // the driver means neither direction more than the other, so he presses one cleanly. An input
    // that any other binding holds (next, previous or another jump) is refused, and the change goes
    // on waiting; the slot's own input is taken again.
    Result Look(const InputSnapshot& now, const std::vector<JoystickInfo>& joysticks, const Bindings& bindings,
                const BindingSlot& slot);

private:
    std::optional<Binding> NewPress(const InputSnapshot& now, const std::vector<JoystickInfo>& joysticks) const;

    InputSnapshot last_;
};

}  // namespace lapforge

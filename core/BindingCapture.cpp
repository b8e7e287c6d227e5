#include "core/BindingCapture.h"

#include <utility>

namespace lapforge {

std::optional<Binding> BindingCapture::NewPress(const InputSnapshot& now,
                                                const std::vector<JoystickInfo>& joysticks) const {
    const auto isDown = [&](int key) { return now.keys[static_cast<std::size_t>(key)]; };
    for (int key = 0; key < 256; ++key) {
        const auto bit = static_cast<std::size_t>(key);
        if (now.keys[bit] && !last_.keys[bit] && IsBindableKey(key) && !MakesShortcut(KeyBinding(key), isDown))
            return KeyBinding(key);
    }
    for (unsigned id = 0; id < JoystickCount; ++id) {
        // One that did not answer last time had nothing seen going down.
        if (!now.joysticks[id] || !last_.joysticks[id]) continue;
        const JoystickControls pressed = *now.joysticks[id] & ~*last_.joysticks[id];
        for (unsigned button = 1; button <= ButtonCount; ++button)
            if (pressed & ControlBit(ButtonBinding(id, button))) return ButtonBinding(id, button, IdentityOf(joysticks, id));
        if (IsHatDiagonal(*now.joysticks[id])) continue;
        for (const Hat hat : {Hat::Up, Hat::Right, Hat::Down, Hat::Left})
            if (pressed & ControlBit(HatBinding(id, hat))) return HatBinding(id, hat, IdentityOf(joysticks, id));
    }
    return std::nullopt;
}

BindingCapture::Result BindingCapture::Look(const InputSnapshot& now, const std::vector<JoystickInfo>& joysticks,
                                            const Bindings& bindings, const BindingSlot& slot) {
    const std::optional<Binding> pressed = NewPress(now, joysticks);
    last_ = now;
    if (!pressed) return {};
    std::optional<BindingUse> heldBy = OtherUseOf(bindings, slot, *pressed);
    return Result{heldBy ? Outcome::Refused : Outcome::Taken, *pressed, std::move(heldBy)};
}

}  // namespace lapforge

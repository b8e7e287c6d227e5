#include "core/BindingCapture.h"

namespace lapforge {

namespace {

bool ShortcutModifierDown(const std::bitset<256>& keys) {
    // Ctrl and Alt, either side, and the two Windows keys; Shift+F5 is still F5.
    for (const std::size_t key : {0x11u, 0x12u, 0xA2u, 0xA3u, 0xA4u, 0xA5u, 0x5Bu, 0x5Cu})
        if (keys[key]) return true;
    return false;
}

}  // namespace

std::optional<Binding> BindingCapture::NewPress(const InputSnapshot& now,
                                                const std::vector<JoystickInfo>& joysticks) const {
    if (!ShortcutModifierDown(now.keys)) {
        for (int key = 0; key < 256; ++key) {
            const auto bit = static_cast<std::size_t>(key);
            if (now.keys[bit] && !last_.keys[bit] && IsBindableKey(key)) return KeyBinding(key);
        }
    }
    for (unsigned id = 0; id < JoystickCount; ++id) {
        // One that did not answer last time had nothing seen going down.
        if (!now.joysticks[id] || !last_.joysticks[id]) continue;
        const JoystickControls pressed = *now.joysticks[id] & ~*last_.joysticks[id];
        for (unsigned button = 1; button <= ButtonCount; ++button)
            if (pressed & ControlBit(ButtonBinding(id, button))) return ButtonBinding(id, button, IdentityOf(joysticks, id));
        for (const Hat hat : {Hat::Up, Hat::Right, Hat::Down, Hat::Left})
            if (pressed & ControlBit(HatBinding(id, hat))) return HatBinding(id, hat, IdentityOf(joysticks, id));
    }
    return std::nullopt;
}

BindingCapture::Result BindingCapture::Look(const InputSnapshot& now, const std::vector<JoystickInfo>& joysticks,
                                            const Binding& other) {
    const std::optional<Binding> pressed = NewPress(now, joysticks);
    last_ = now;
    if (!pressed) return {};
    return Result{SameInput(*pressed, other) ? Outcome::Refused : Outcome::Taken, *pressed};
}

}  // namespace lapforge

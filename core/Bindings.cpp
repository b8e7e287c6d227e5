#include "core/Bindings.h"

#include <charconv>
#include <cstdio>

namespace lapforge {

namespace {

constexpr int EscapeKey = 0x1B;
constexpr int PacketKey = 0xE7;  // characters typed by other programs, not a key of its own

// Decimal or, after "0x", hexadecimal; the whole text and nothing else.
std::optional<unsigned> Number(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

bool IsModifierKey(int virtualKey) {
    switch (virtualKey) {
    case 0x10:  // Shift
    case 0x11:  // Ctrl
    case 0x12:  // Alt
    case 0x5B:  // left Windows key
    case 0x5C:  // right Windows key
    case 0xA0:
    case 0xA1:
    case 0xA2:
    case 0xA3:
    case 0xA4:
    case 0xA5:  // the left and right Shift, Ctrl and Alt
        return true;
    }
    return false;
}

bool IsBindableKey(int virtualKey) {
    // Below 0x08 are the mouse buttons and Ctrl+Break; 0x0A and 0x0B are no keys; 0xFF is reserved.
    if (virtualKey < 0x08 || virtualKey > 0xFE || virtualKey == 0x0A || virtualKey == 0x0B) return false;
    return virtualKey != EscapeKey && virtualKey != PacketKey && !IsModifierKey(virtualKey);
}

std::string BindingText(const Binding& binding) {
    char text[40] = {};
    switch (binding.kind) {
    case Binding::Kind::None:
        return "none";
    case Binding::Kind::Key:
        std::snprintf(text, sizeof text, "key:0x%02x", static_cast<unsigned>(binding.key));
        return text;
    case Binding::Kind::JoystickButton:
        std::snprintf(text, sizeof text, "joy:%u:button:%u", binding.joystick, binding.button);
        return text;
    }
    return "none";
}

std::optional<Binding> ParseBinding(std::string_view text) {
    if (text == "none") return Binding{};
    if (text.starts_with("key:")) {
        const auto key = Number(text.substr(4));
        if (!key || !IsBindableKey(static_cast<int>(*key))) return std::nullopt;
        return KeyBinding(static_cast<int>(*key));
    }
    if (text.starts_with("joy:")) {
        text.remove_prefix(4);
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos || !text.substr(colon + 1).starts_with("button:")) return std::nullopt;
        const auto joystick = Number(text.substr(0, colon));
        const auto button = Number(text.substr(colon + 1 + 7));
        if (!joystick || *joystick >= JoystickCount || !button || *button < 1 || *button > ButtonCount)
            return std::nullopt;
        return ButtonBinding(*joystick, *button);
    }
    return std::nullopt;
}

std::string BindingName(const Binding& binding, std::string_view keyName) {
    switch (binding.kind) {
    case Binding::Kind::None:
        return "not set";
    case Binding::Kind::Key:
        if (!keyName.empty()) return std::string(keyName);
        return "key " + BindingText(binding).substr(4);
    case Binding::Kind::JoystickButton:
        return "button " + std::to_string(binding.button) + " on controller " + std::to_string(binding.joystick + 1);
    }
    return {};
}

std::string HotkeyOptionCaption(const Binding& next, std::string_view keyName) {
    // The box is narrow: a button goes without its controller, which the Keys window names.
    if (next.kind == Binding::Kind::JoystickButton)
        return "Activate button " + std::to_string(next.button) + " as hotkey";
    if (next.kind == Binding::Kind::None) return "Activate hotkeys";
    return "Activate " + BindingName(next, keyName) + " as hotkey";
}

std::optional<Binding> NewPress(const InputSnapshot& before, const InputSnapshot& now) {
    for (int key = 0; key < 256; ++key) {
        const auto bit = static_cast<std::size_t>(key);
        if (now.keys[bit] && !before.keys[bit] && IsBindableKey(key)) return KeyBinding(key);
    }
    for (unsigned joystick = 0; joystick < JoystickCount; ++joystick) {
        if (!now.buttons[joystick]) continue;
        // A controller that has just been plugged in had no buttons down before.
        const std::uint32_t pressed = *now.buttons[joystick] & ~before.buttons[joystick].value_or(0);
        for (unsigned button = 1; button <= ButtonCount; ++button)
            if (pressed & (1u << (button - 1))) return ButtonBinding(joystick, button);
    }
    return std::nullopt;
}

}  // namespace lapforge

#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// What moves the section list: a key, or a button of a game controller (a wheel, a button box, a
// joystick) as winmm numbers them.
struct Binding {
    enum class Kind { None, Key, JoystickButton };
    Kind kind = Kind::None;
    int key = 0;              // virtual-key code
    unsigned joystick = 0;  // winmm's joystick id, 0 to 15
    unsigned button = 0;      // 1 to 32, as the controller's own settings count them

    bool operator==(const Binding&) const = default;
};

inline constexpr int F4Key = 0x73;
inline constexpr unsigned JoystickCount = 16;
inline constexpr unsigned ButtonCount = 32;

constexpr Binding KeyBinding(int virtualKey) { return Binding{Binding::Kind::Key, virtualKey, 0, 0}; }
constexpr Binding ButtonBinding(unsigned joystick, unsigned button) {
    return Binding{Binding::Kind::JoystickButton, 0, joystick, button};
}

struct Bindings {
    Binding next = KeyBinding(F4Key);
    Binding previous;  // unbound

    bool operator==(const Bindings&) const = default;
};

// Alt, Ctrl, Shift and the Windows keys, either side: held, they make a press some program's shortcut.
bool IsModifierKey(int virtualKey);

// Keys a binding may name: keyboard keys except the modifiers and Esc, which cancels a change.
bool IsBindableKey(int virtualKey);

// The settings file's form: "none", "key:0x73", "joy:0:button:5". Nothing for text that names no
// binding that could be made.
std::string BindingText(const Binding& binding);
std::optional<Binding> ParseBinding(std::string_view text);

// How the windows name a binding, given the system's name of its key: "F4", "button 5 on
// controller 1", "not set".
std::string BindingName(const Binding& binding, std::string_view keyName);

// The option box's caption, which names the binding that moves on.
std::string HotkeyOptionCaption(const Binding& next, std::string_view keyName);

// Everything pressed at one moment: the keys down and, per connected controller, its buttons down.
struct InputSnapshot {
    std::bitset<256> keys;
    std::array<std::optional<std::uint32_t>, JoystickCount> buttons;
};

// The binding a new press makes: a bindable key or a controller button that is down now and was
// not before. Keys come first, then controllers and buttons in their order.
std::optional<Binding> NewPress(const InputSnapshot& before, const InputSnapshot& now);

}  // namespace lapforge

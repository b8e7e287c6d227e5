#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

inline constexpr int F4Key = 0x73;
inline constexpr unsigned JoystickCount = 16;
inline constexpr unsigned ButtonCount = 32;

// The hat (a wheel's D-pad) as four buttons; a diagonal holds two of them.
enum class Hat { Up, Right, Down, Left };

// A joystick's buttons and hat at one moment: bit n-1 for button n, bits 32 to 35 for the hat's
// up, right, down and left.
using JoystickControls = std::uint64_t;

// Which joystick it is, whatever number winmm gives it today: its make (the vendor's and product's
// ids from its driver), its place among joysticks of that same make in winmm's order, and its name.
struct JoystickIdentity {
    unsigned vendor = 0;
    unsigned product = 0;
    unsigned place = 0;
    std::string name;

    bool operator==(const JoystickIdentity&) const = default;
};

// A joystick that answers, as an enumeration finds it.
struct JoystickInfo {
    unsigned id = 0;  // winmm's, 0 to 15
    unsigned vendor = 0;
    unsigned product = 0;
    std::string name;
    unsigned buttons = 0;  // as many as the driver reports, which may be more than winmm can read
    bool hat = false;
};

// What moves the section list: a key, or a button or hat direction of a game controller (a wheel, a
// button box, a joystick).
struct Binding {
    enum class Kind { None, Key, JoystickButton, JoystickHat };
    Kind kind = Kind::None;
    int key = 0;            // virtual-key code
    unsigned joystick = 0;  // winmm's id when last seen; what an old settings line names alone
    unsigned button = 0;    // 1 to 32, as the controller's own settings count them
    Hat hat = Hat::Up;
    // Nothing for an old line not yet matched to the joystick under its id.
    std::optional<JoystickIdentity> identity;

    bool IsJoystick() const { return kind == Kind::JoystickButton || kind == Kind::JoystickHat; }
    bool operator==(const Binding&) const = default;
};

inline Binding KeyBinding(int virtualKey) { return Binding{Binding::Kind::Key, virtualKey, 0, 0, Hat::Up, {}}; }
inline Binding ButtonBinding(unsigned joystick, unsigned button, std::optional<JoystickIdentity> identity = {}) {
    return Binding{Binding::Kind::JoystickButton, 0, joystick, button, Hat::Up, std::move(identity)};
}
inline Binding HatBinding(unsigned joystick, Hat hat, std::optional<JoystickIdentity> identity = {}) {
    return Binding{Binding::Kind::JoystickHat, 0, joystick, 0, hat, std::move(identity)};
}

// A place the car can be deployed at: a row of the section table, or one of the driver's own points,
// known by its distance along the lap.
struct Stop {
    bool ownPoint = false;
    std::size_t section = 0;  // the section table's row, for a section
    int metres = 0;           // the point's distance, for an own point

    bool operator==(const Stop&) const = default;
};

inline Stop SectionStop(std::size_t row) { return Stop{false, row, 0}; }
inline Stop PointStop(int metres) { return Stop{true, 0, metres}; }

// A binding that deploys straight at one stop.
struct Jump {
    Binding binding;
    Stop target;

    bool operator==(const Jump&) const = default;
};

struct Bindings {
    Binding next = KeyBinding(F4Key);
    Binding previous;           // unbound
    std::vector<Jump> jumps{};  // at most one a stop, none unbound; none at first

    bool operator==(const Bindings&) const = default;
};

// Alt, Ctrl, Shift and the Windows keys, either side: held, they make a press some program's shortcut.
bool IsModifierKey(int virtualKey);

// Keys a binding may name: keyboard keys except the modifiers and Esc, which cancels a change.
bool IsBindableKey(int virtualKey);

// What a held modifier means, the same in the Keys window and in the section cycle: a key pressed
// with Alt, Ctrl or a Windows key held (either side) is another program's shortcut (Alt+F4, Alt+Tab,
// Win+D) and neither binds nor moves on. Shift makes no shortcut (Shift+F4 is F4), and a controller's
// button or hat is nobody's shortcut, whatever keys are held. isDown tells whether a key is down.
bool MakesShortcut(const Binding& pressed, const std::function<bool(int)>& isDown);

// A text as a line of the settings file can hold it: line ends and other control characters
// become blanks.
std::string LineSafe(std::string_view text);

// The settings file's form: "none", "key:0x73", "joy:2:button:5:046d:c29b:0:G27 Racing Wheel",
// "joy:2:hat:right:046d:c29b:0:G27 Racing Wheel" (id when last seen, make, place, name). The
// older "joy:2:button:5" still reads, without an identity. Nothing for text that names no binding
// that could be made.
std::string BindingText(const Binding& binding);
std::optional<Binding> ParseBinding(std::string_view text);

// How the windows name a binding, given the system's name of its key: "F4", "button 5 on G27
// Racing Wheel", "hat right on G27 Racing Wheel", "not set".
std::string BindingName(const Binding& binding, std::string_view keyName);

// The option box's caption, which names the binding that moves on.
std::string HotkeyOptionCaption(const Binding& next, std::string_view keyName);
// The Points window's tick box, named the same way: "F4 visits only my points".
std::string OnlyMyPointsCaption(const Binding& next, std::string_view keyName);

// The hat's directions from winmm's angle in hundredths of a degree, clockwise from up; anything
// above 35999 (JOY_POVCENTERED) is the hat at rest. As JoystickControls bits.
JoystickControls HatControls(unsigned angle);

// The hat held between two directions.
bool IsHatDiagonal(JoystickControls controls);

// The binding's bit in JoystickControls.
JoystickControls ControlBit(const Binding& binding);

// The joystick of the list (winmm's order) with that id, with its identity.
std::optional<JoystickIdentity> IdentityOf(const std::vector<JoystickInfo>& joysticks, unsigned id);

// The id under which the binding's joystick answers now: the joystick of its make at its place;
// for an old binding without identity, its id if that answers. Nothing when it is not connected.
std::optional<unsigned> FindJoystick(const Binding& binding, const std::vector<JoystickInfo>& joysticks);

// An old binding takes the identity of the joystick answering under its id; true when it did.
bool AdoptIdentity(Binding& binding, const std::vector<JoystickInfo>& joysticks);
bool AdoptIdentities(Bindings& bindings, const std::vector<JoystickInfo>& joysticks);

// The two bindings name the same key, or the same control of the same joystick.
bool SameInput(const Binding& a, const Binding& b);

// The binding that jumps to the stop; unbound when none does.
Binding JumpBinding(const Bindings& bindings, const Stop& target);

// Makes the binding jump to the stop, in place of the one it had; an unbound one takes the jump away.
void SetJump(Bindings& bindings, const Stop& target, const Binding& binding);

// What a binding does, for the message that refuses a second use of the same input.
struct BindingUse {
    enum class Role { Next, Previous, Jump };
    Role role = Role::Next;
    Stop target;  // for a jump
    Binding binding;
};

// Every binding set: next, previous, then the jumps.
std::vector<BindingUse> TakenBindings(const Bindings& bindings);

// What the input already does; nothing when it is free.
std::optional<BindingUse> UseOf(const Bindings& bindings, const Binding& input);

// One binding as the Keys window changes it: next, previous, or the jump to a stop.
struct BindingSlot {
    BindingUse::Role role = BindingUse::Role::Next;
    Stop target;  // for a jump

    bool operator==(const BindingSlot&) const = default;
};

inline BindingSlot JumpSlot(const Stop& target) { return BindingSlot{BindingUse::Role::Jump, target}; }

Binding SlotBinding(const Bindings& bindings, const BindingSlot& slot);
void SetSlot(Bindings& bindings, const BindingSlot& slot, const Binding& binding);

// What the input already does besides the slot's own binding: the use that keeps it from the slot,
// or nothing when the slot may have it.
std::optional<BindingUse> OtherUseOf(const Bindings& bindings, const BindingSlot& slot, const Binding& input);

}  // namespace lapforge

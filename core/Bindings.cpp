#include "core/Bindings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace lapforge {

namespace {

constexpr int EscapeKey = 0x1B;
constexpr int PacketKey = 0xE7;  // characters typed by other programs, not a key of its own
constexpr unsigned HatBit = 32;
constexpr std::string_view HatNames[] = {"up", "right", "down", "left"};

// Decimal or, after "0x" (or with base 16), hexadecimal; the whole text and nothing else.
std::optional<unsigned> Number(std::string_view text, int base = 10) {
    if (text.starts_with("0x")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The text up to the next colon, taken off the front; nothing when there is no colon.
std::optional<std::string_view> Field(std::string_view& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view field = text.substr(0, colon);
    text.remove_prefix(colon + 1);
    return field;
}

// Two joysticks of one make; a driver that gives no ids is told apart by its name.
bool SameMake(const JoystickInfo& joystick, const JoystickIdentity& identity) {
    if (joystick.vendor != identity.vendor || joystick.product != identity.product) return false;
    return joystick.vendor != 0 || joystick.product != 0 || joystick.name == identity.name;
}

}  // namespace

std::string LineSafe(std::string_view text) {
    std::string safe;
    for (const char c : text) safe += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return safe;
}

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

bool MakesShortcut(const Binding& pressed, const std::function<bool(int)>& isDown) {
    if (pressed.kind != Binding::Kind::Key) return false;
    // Ctrl and Alt as either side reports them, and the two Windows keys.
    for (const int modifier : {0x11, 0x12, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C})
        if (isDown(modifier)) return true;
    return false;
}

std::string BindingText(const Binding& binding) {
    char text[64] = {};
    switch (binding.kind) {
    case Binding::Kind::None:
        return "none";
    case Binding::Kind::Key:
        std::snprintf(text, sizeof text, "key:0x%02x", static_cast<unsigned>(binding.key));
        return text;
    case Binding::Kind::JoystickButton:
        std::snprintf(text, sizeof text, "joy:%u:button:%u", binding.joystick, binding.button);
        break;
    case Binding::Kind::JoystickHat:
        std::snprintf(text, sizeof text, "joy:%u:hat:%s", binding.joystick,
                      HatNames[static_cast<int>(binding.hat)].data());
        break;
    }
    std::string line = text;
    if (const auto& identity = binding.identity) {
        std::snprintf(text, sizeof text, ":%04x:%04x:%u:", identity->vendor, identity->product, identity->place);
        line += text + LineSafe(identity->name);
    }
    return line;
}

std::optional<Binding> ParseBinding(std::string_view text) {
    if (text == "none") return Binding{};
    if (text.starts_with("key:")) {
        const auto key = Number(text.substr(4));
        if (!key || !IsBindableKey(static_cast<int>(*key))) return std::nullopt;
        return KeyBinding(static_cast<int>(*key));
    }
    if (!text.starts_with("joy:")) return std::nullopt;
    text.remove_prefix(4);
    const auto idText = Field(text);
    const auto kind = Field(text);
    if (!idText || !kind) return std::nullopt;
    const auto id = Number(*idText);
    if (!id || *id >= JoystickCount) return std::nullopt;
    // The control, then, in a line with an identity, the rest.
    const std::size_t colon = text.find(':');
    const std::string_view control = text.substr(0, colon);
    std::string_view rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
    Binding binding;
    if (*kind == "button") {
        const auto button = Number(control);
        if (!button || *button < 1 || *button > ButtonCount) return std::nullopt;
        binding = ButtonBinding(*id, *button);
    } else if (*kind == "hat") {
        const auto hat = std::find(std::begin(HatNames), std::end(HatNames), control);
        if (hat == std::end(HatNames)) return std::nullopt;
        binding = HatBinding(*id, static_cast<Hat>(hat - std::begin(HatNames)));
    } else {
        return std::nullopt;
    }
    if (colon == std::string_view::npos) return binding;
    const auto vendor = Field(rest);
    const auto product = Field(rest);
    const auto place = Field(rest);
    if (!vendor || !product || !place) return std::nullopt;
    const auto vendorId = Number(*vendor, 16);
    const auto productId = Number(*product, 16);
    const auto placeNumber = Number(*place);
    if (!vendorId || !productId || !placeNumber || *vendorId > 0xFFFF || *productId > 0xFFFF ||
        *placeNumber >= JoystickCount)
        return std::nullopt;
    binding.identity = JoystickIdentity{*vendorId, *productId, *placeNumber, std::string(rest)};
    return binding;
}

std::string BindingName(const Binding& binding, std::string_view keyName) {
    std::string name;
    switch (binding.kind) {
    case Binding::Kind::None:
        return "not set";
    case Binding::Kind::Key:
        if (!keyName.empty()) return std::string(keyName);
        return "key " + BindingText(binding).substr(4);
    case Binding::Kind::JoystickButton:
        name = "button " + std::to_string(binding.button);
        break;
    case Binding::Kind::JoystickHat:
        name = "hat " + std::string(HatNames[static_cast<int>(binding.hat)]);
        break;
    }
    // An old binding not yet matched, or a driver that names nothing: winmm's number, counted from 1.
    if (binding.identity && !binding.identity->name.empty()) return name + " on " + binding.identity->name;
    return name + " on controller " + std::to_string(binding.joystick + 1);
}

namespace {

// The boxes are narrow: a button goes without its controller, which the Keys window names.
std::string ShortName(const Binding& binding, std::string_view keyName) {
    if (binding.kind == Binding::Kind::JoystickButton) return "button " + std::to_string(binding.button);
    if (binding.kind == Binding::Kind::JoystickHat)
        return "hat " + std::string(HatNames[static_cast<int>(binding.hat)]);
    return BindingName(binding, keyName);
}

}  // namespace

std::string HotkeyOptionCaption(const Binding& next, std::string_view keyName) {
    if (next.kind == Binding::Kind::None) return "Activate hotkeys";
    return "Activate " + ShortName(next, keyName) + " as hotkey";
}

std::string OnlyMyPointsCaption(const Binding& next, std::string_view keyName) {
    if (next.kind == Binding::Kind::None) return "The hotkeys visit only my points";
    std::string name = ShortName(next, keyName);
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));  // "Button 5", "Hat right"
    return name + " visits only my points";
}

JoystickControls HatControls(unsigned angle) {
    if (angle > 35999) return 0;
    constexpr auto up = JoystickControls{1} << (HatBit + 0), right = JoystickControls{1} << (HatBit + 1);
    constexpr auto down = JoystickControls{1} << (HatBit + 2), left = JoystickControls{1} << (HatBit + 3);
    // Eight sectors of 45 degrees, each centred on its direction.
    constexpr JoystickControls sectors[] = {up, up | right, right, down | right, down, down | left, left, up | left};
    return sectors[((angle + 2250) / 4500) % 8];
}

bool IsHatDiagonal(JoystickControls controls) {
    const auto hat = static_cast<unsigned>(controls >> HatBit) & 0xF;
    return hat != 0 && (hat & (hat - 1)) != 0;
}

JoystickControls ControlBit(const Binding& binding) {
    if (binding.kind == Binding::Kind::JoystickButton) return JoystickControls{1} << (binding.button - 1);
    if (binding.kind == Binding::Kind::JoystickHat)
        return JoystickControls{1} << (HatBit + static_cast<unsigned>(binding.hat));
    return 0;
}

std::optional<JoystickIdentity> IdentityOf(const std::vector<JoystickInfo>& joysticks, unsigned id) {
    const auto found = std::find_if(joysticks.begin(), joysticks.end(), [&](const JoystickInfo& j) { return j.id == id; });
    if (found == joysticks.end()) return std::nullopt;
    JoystickIdentity identity{found->vendor, found->product, 0, found->name};
    for (auto other = joysticks.begin(); other != found; ++other)
        if (SameMake(*other, identity)) ++identity.place;
    return identity;
}

std::optional<unsigned> FindJoystick(const Binding& binding, const std::vector<JoystickInfo>& joysticks) {
    if (!binding.IsJoystick()) return std::nullopt;
    if (!binding.identity) {
        if (IdentityOf(joysticks, binding.joystick)) return binding.joystick;
        return std::nullopt;
    }
    unsigned place = 0;
    for (const JoystickInfo& joystick : joysticks) {
        if (!SameMake(joystick, *binding.identity)) continue;
        if (place++ == binding.identity->place) return joystick.id;
    }
    return std::nullopt;
}

bool AdoptIdentity(Binding& binding, const std::vector<JoystickInfo>& joysticks) {
    if (!binding.IsJoystick() || binding.identity) return false;
    binding.identity = IdentityOf(joysticks, binding.joystick);
    return binding.identity.has_value();
}

bool AdoptIdentities(Bindings& bindings, const std::vector<JoystickInfo>& joysticks) {
    bool adopted = AdoptIdentity(bindings.next, joysticks);
    adopted = AdoptIdentity(bindings.previous, joysticks) || adopted;
    for (Jump& jump : bindings.jumps) adopted = AdoptIdentity(jump.binding, joysticks) || adopted;
    return adopted;
}

bool SameInput(const Binding& a, const Binding& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case Binding::Kind::None:
        return false;  // "not set" twice is no clash
    case Binding::Kind::Key:
        return a.key == b.key;
    case Binding::Kind::JoystickButton:
    case Binding::Kind::JoystickHat:
        if (ControlBit(a) != ControlBit(b)) return false;
        if (a.identity && b.identity)
            return a.identity->vendor == b.identity->vendor && a.identity->product == b.identity->product &&
                   a.identity->place == b.identity->place &&
                   (a.identity->vendor != 0 || a.identity->product != 0 || a.identity->name == b.identity->name);
        return a.joystick == b.joystick;
    }
    return false;
}

Binding JumpBinding(const Bindings& bindings, const Stop& target) {
    for (const Jump& jump : bindings.jumps)
        if (jump.target == target) return jump.binding;
    return Binding{};
}

void SetJump(Bindings& bindings, const Stop& target, const Binding& binding) {
    auto& jumps = bindings.jumps;
    const auto found =
        std::find_if(jumps.begin(), jumps.end(), [&](const Jump& jump) { return jump.target == target; });
    if (binding.kind == Binding::Kind::None) {
        if (found != jumps.end()) jumps.erase(found);
    } else if (found != jumps.end()) {
        found->binding = binding;
    } else {
        jumps.push_back(Jump{binding, target});
    }
}

std::vector<BindingUse> TakenBindings(const Bindings& bindings) {
    std::vector<BindingUse> taken;
    if (bindings.next.kind != Binding::Kind::None) taken.push_back({BindingUse::Role::Next, {}, bindings.next});
    if (bindings.previous.kind != Binding::Kind::None)
        taken.push_back({BindingUse::Role::Previous, {}, bindings.previous});
    for (const Jump& jump : bindings.jumps)
        if (jump.binding.kind != Binding::Kind::None)
            taken.push_back({BindingUse::Role::Jump, jump.target, jump.binding});
    return taken;
}

std::optional<BindingUse> UseOf(const Bindings& bindings, const Binding& input) {
    for (const BindingUse& use : TakenBindings(bindings))
        if (SameInput(use.binding, input)) return use;
    return std::nullopt;
}

Binding SlotBinding(const Bindings& bindings, const BindingSlot& slot) {
    switch (slot.role) {
    case BindingUse::Role::Next:
        return bindings.next;
    case BindingUse::Role::Previous:
        return bindings.previous;
    case BindingUse::Role::Jump:
        break;
    }
    return JumpBinding(bindings, slot.target);
}

void SetSlot(Bindings& bindings, const BindingSlot& slot, const Binding& binding) {
    switch (slot.role) {
    case BindingUse::Role::Next:
        bindings.next = binding;
        return;
    case BindingUse::Role::Previous:
        bindings.previous = binding;
        return;
    case BindingUse::Role::Jump:
        SetJump(bindings, slot.target, binding);
        return;
    }
}

std::optional<BindingUse> OtherUseOf(const Bindings& bindings, const BindingSlot& slot, const Binding& input) {
    for (const BindingUse& use : TakenBindings(bindings))
        if (SameInput(use.binding, input) && !(use.role == slot.role && use.target == slot.target)) return use;
    return std::nullopt;
}

}  // namespace lapforge

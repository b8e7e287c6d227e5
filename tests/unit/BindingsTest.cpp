#include "core/BindingCapture.h"
#include "core/Bindings.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using namespace lapforge;

namespace {

constexpr int AltKey = 0x12, CtrlKey = 0xA2, WinKey = 0x5B, ShiftKey = 0xA0, TabKey = 0x09, F3Key = 0x72;
constexpr JoystickControls HatBit(Hat direction) { return JoystickControls{1} << (32 + static_cast<int>(direction)); }

const JoystickIdentity G27{0x046d, 0xc29b, 0, "G27 Racing Wheel"};
const JoystickIdentity Box0{0x1234, 0x0001, 0, "Button Box"};
const JoystickIdentity Box1{0x1234, 0x0001, 1, "Button Box"};
// Two drivers that give no vendor or product ids: told apart by their names.
const JoystickIdentity PadA{0, 0, 0, "Pad A"};
const JoystickIdentity PadB{0, 0, 0, "Pad B"};

JoystickInfo Info(unsigned id, const JoystickIdentity& identity) {
    return JoystickInfo{id, identity.vendor, identity.product, identity.name, 12, true};
}

// Keys down, and joystick 2's controls (nothing: it does not answer).
InputSnapshot Snapshot(std::initializer_list<int> keys, std::optional<JoystickControls> joystick2 = std::nullopt) {
    InputSnapshot snapshot;
    for (const int key : keys) snapshot.keys.set(static_cast<std::size_t>(key));
    snapshot.joysticks[2] = joystick2;
    return snapshot;
}

}  // namespace

TEST(BindingCapture, TakesOnlyAPressMadeAfterChange) {
    using Outcome = BindingCapture::Outcome;
    const std::vector<JoystickInfo> wheel{Info(2, G27)};
    struct Case {
        const char* name;
        std::vector<InputSnapshot> looks;  // the first is when Change was clicked
        Bindings held;                     // the bindings as they are
        Outcome outcome;
        Binding binding;
        BindingSlot slot = {};  // the one changed: next unless said
        std::optional<BindingUse::Role> heldBy = {};
    };
    const Binding none;
    const Bindings free{none, none};
    const auto previous = [](const Binding& b) { return Bindings{Binding{}, b}; };
    const Stop karussell = SectionStop(6), point = PointStop(12300);
    const Bindings jumps{KeyBinding(F3Key), none, {{ButtonBinding(2, 3, G27), karussell}, {KeyBinding(0x74), point}}};
    const Case cases[] = {
        {"a key", {Snapshot({}), Snapshot({F3Key})}, free, Outcome::Taken, KeyBinding(F3Key)},
        {"the key that clicked Change", {Snapshot({0x20}), Snapshot({0x20})}, free, Outcome::Waiting, none},
        {"a shifter in gear, then a button",
         {Snapshot({}, 0b1000), Snapshot({}, 0b1000), Snapshot({}, 0b1010)},
         free, Outcome::Taken, ButtonBinding(2, 2, G27)},
        {"a latched switch let go and pressed again",
         {Snapshot({}, 0b1), Snapshot({}, 0), Snapshot({}, 0b1)},
         free, Outcome::Taken, ButtonBinding(2, 1, G27)},
        {"a joystick plugged in with a button down", {Snapshot({}), Snapshot({}, 0b1)}, free, Outcome::Waiting, none},
        {"button 32", {Snapshot({}, 0), Snapshot({}, 0x80000000u)}, free, Outcome::Taken, ButtonBinding(2, 32, G27)},
        {"the hat", {Snapshot({}, 0), Snapshot({}, HatBit(Hat::Left))}, free, Outcome::Taken, HatBinding(2, Hat::Left, G27)},
        {"the hat held up, then up-right",
         {Snapshot({}, HatBit(Hat::Up)), Snapshot({}, HatBit(Hat::Up) | HatBit(Hat::Right))}, free, Outcome::Waiting, none},
        {"the hat from rest into a diagonal, then right",
         {Snapshot({}, 0), Snapshot({}, HatBit(Hat::Up) | HatBit(Hat::Right)), Snapshot({}, HatBit(Hat::Right))},
         free, Outcome::Waiting, none},
        {"the hat in a diagonal, at rest, then right",
         {Snapshot({}, 0), Snapshot({}, HatBit(Hat::Down) | HatBit(Hat::Right)), Snapshot({}, 0), Snapshot({}, HatBit(Hat::Right))},
         free, Outcome::Taken, HatBinding(2, Hat::Right, G27)},
        {"Alt+Tab", {Snapshot({AltKey}), Snapshot({AltKey, TabKey})}, free, Outcome::Waiting, none},
        {"Ctrl+F3", {Snapshot({}), Snapshot({CtrlKey, F3Key})}, free, Outcome::Waiting, none},
        {"Win+D", {Snapshot({WinKey}), Snapshot({WinKey, 0x44})}, free, Outcome::Waiting, none},
        {"Tab after Alt is let go, still held", {Snapshot({AltKey, TabKey}), Snapshot({TabKey})}, free, Outcome::Waiting, none},
        {"Shift+F5 gives F5", {Snapshot({ShiftKey}), Snapshot({ShiftKey, 0x74})}, free, Outcome::Taken, KeyBinding(0x74)},
        {"a button with Alt held", {Snapshot({AltKey}, 0), Snapshot({AltKey}, 0b1)}, free, Outcome::Taken, ButtonBinding(2, 1, G27)},
        {"modifiers and Esc alone", {Snapshot({}), Snapshot({0x10, 0xA1, 0x1B})}, free, Outcome::Waiting, none},
        {"a mouse click", {Snapshot({}), Snapshot({0x01})}, free, Outcome::Waiting, none},
        {"the key the other direction holds",
         {Snapshot({}), Snapshot({F3Key})}, previous(KeyBinding(F3Key)), Outcome::Refused, KeyBinding(F3Key),
         {}, BindingUse::Role::Previous},
        {"the button the other direction holds",
         {Snapshot({}, 0), Snapshot({}, 0b100)}, previous(ButtonBinding(7, 3, G27)), Outcome::Refused, ButtonBinding(2, 3, G27),
         {}, BindingUse::Role::Previous},
        {"the same button of an old line under the same id",
         {Snapshot({}, 0), Snapshot({}, 0b100)}, previous(ButtonBinding(2, 3)), Outcome::Refused, ButtonBinding(2, 3, G27),
         {}, BindingUse::Role::Previous},
        {"the same button on another box",
         {Snapshot({}, 0), Snapshot({}, 0b100)}, previous(ButtonBinding(2, 3, Box0)), Outcome::Taken, ButtonBinding(2, 3, G27)},
        {"for next, a button a jump holds", {Snapshot({}, 0), Snapshot({}, 0b100)}, jumps, Outcome::Refused,
         ButtonBinding(2, 3, G27), {}, BindingUse::Role::Jump},
        {"for next, its own key again", {Snapshot({}), Snapshot({F3Key})}, jumps, Outcome::Taken, KeyBinding(F3Key)},
        {"for a jump, the key next holds", {Snapshot({}), Snapshot({F3Key})}, jumps, Outcome::Refused,
         KeyBinding(F3Key), JumpSlot(karussell), BindingUse::Role::Next},
        {"for a jump, the key another jump holds", {Snapshot({}), Snapshot({0x74})}, jumps, Outcome::Refused,
         KeyBinding(0x74), JumpSlot(karussell), BindingUse::Role::Jump},
        {"for a jump, its own button again", {Snapshot({}, 0), Snapshot({}, 0b100)}, jumps, Outcome::Taken,
         ButtonBinding(2, 3, G27), JumpSlot(karussell)},
        {"for a jump, a free key", {Snapshot({}), Snapshot({0x75})}, jumps, Outcome::Taken, KeyBinding(0x75),
         JumpSlot(SectionStop(0))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BindingCapture capture;
        capture.Begin(c.looks.front());
        BindingCapture::Result result;
        for (std::size_t i = 1; i < c.looks.size() && result.outcome == Outcome::Waiting; ++i)
            result = capture.Look(c.looks[i], wheel, c.held, c.slot);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome != Outcome::Waiting) {
            EXPECT_EQ(result.binding, c.binding);
        }
        EXPECT_EQ(result.heldBy ? std::optional(result.heldBy->role) : std::nullopt, c.heldBy);
    }
}

TEST(JoystickIdentity, FoundWhereverItIsPluggedIn) {
    const std::vector<JoystickInfo> usual{Info(0, G27), Info(1, Box0), Info(3, Box1)};
    const std::vector<JoystickInfo> renumbered{Info(0, Box0), Info(2, Box1), Info(5, G27)};
    const std::vector<JoystickInfo> firstBoxGone{Info(1, Box1), Info(4, G27)};
    const std::vector<JoystickInfo> pads{Info(0, PadA), Info(1, PadB)};
    struct Case {
        const char* name;
        Binding binding;
        std::vector<JoystickInfo> connected;
        std::optional<unsigned> found;
    };
    const Case cases[] = {
        {"where it was", ButtonBinding(0, 5, G27), usual, 0},
        {"under another id", ButtonBinding(0, 5, G27), renumbered, 5},
        {"the second of two identical", HatBinding(3, Hat::Up, Box1), usual, 3},
        {"the second of two identical, renumbered", HatBinding(3, Hat::Up, Box1), renumbered, 2},
        {"the first of two identical, renumbered", ButtonBinding(1, 1, Box0), renumbered, 0},
        {"the second when the first is unplugged is not taken for it", ButtonBinding(3, 1, Box1), firstBoxGone, std::nullopt},
        {"unplugged", ButtonBinding(0, 5, G27), {Info(1, Box0)}, std::nullopt},
        {"another make at its old id", ButtonBinding(0, 5, G27), renumbered, 5},
        {"an old line: its id answers", ButtonBinding(3, 2), usual, 3},
        {"an old line: nothing under its id", ButtonBinding(2, 2), usual, std::nullopt},
        {"a key", KeyBinding(F3Key), usual, std::nullopt},
        {"no ids, another name: another make", ButtonBinding(0, 1, PadB), pads, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindJoystick(c.binding, c.connected), c.found);
    }

    Binding old = ButtonBinding(3, 2);
    EXPECT_FALSE(AdoptIdentity(old, firstBoxGone)) << "nothing answers under 3";
    EXPECT_TRUE(AdoptIdentity(old, usual));
    EXPECT_EQ(old, ButtonBinding(3, 2, Box1));
    EXPECT_EQ(FindJoystick(old, renumbered), 2u) << "once adopted, found by its identity";
    EXPECT_EQ(IdentityOf(pads, 1), PadB) << "the first of its make, whatever came before it";
}

TEST(BindingText, RoundTripsAndReadsOldLines) {
    struct Case {
        const char* text;
        std::optional<Binding> binding;
    };
    const Case cases[] = {
        {"none", Binding{}},
        {"key:0x72", KeyBinding(F3Key)},
        {"joy:0:button:5:046d:c29b:0:G27 Racing Wheel", ButtonBinding(0, 5, G27)},
        {"joy:3:hat:right:1234:0001:1:Button Box", HatBinding(3, Hat::Right, Box1)},
        {"joy:4:button:2:0000:0000:0:Wheel: Pro", ButtonBinding(4, 2, JoystickIdentity{0, 0, 0, "Wheel: Pro"})},
        {"joy:2:button:32", ButtonBinding(2, 32)},
        {"joy:2:hat:left", HatBinding(2, Hat::Left)},
        {"joy:2:button:33", std::nullopt},
        {"joy:16:button:1", std::nullopt},
        {"joy:2:hat:middle", std::nullopt},
        {"joy:2:button:5:046d:c29b", std::nullopt},
        {"joy:2:button:5:046d:zz:0:G27", std::nullopt},
        {"key:0x1b", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseBinding(c.text), c.binding);
        if (c.binding) {
            EXPECT_EQ(BindingText(*c.binding), c.text);
        }
    }
    Binding lineEnd = ButtonBinding(1, 1, JoystickIdentity{1, 2, 0, "Bad\r\nname"});
    EXPECT_EQ(BindingText(lineEnd), "joy:1:button:1:0001:0002:0:Bad  name") << "a name cannot break the file's lines";
}

TEST(BindingNames, NameTheInputAndItsController) {
    struct Case {
        Binding next;
        const char* keyName;
        const char* caption;
        const char* name;
        const char* onlyMine;  // the Points window's tick box
    };
    const Case cases[] = {
        {KeyBinding(F4Key), "F4", "Activate F4 as hotkey", "F4", "F4 visits only my points"},
        {KeyBinding(0x6B), "Num +", "Activate Num + as hotkey", "Num +", "Num + visits only my points"},
        {KeyBinding(0xE2), "", "Activate key 0xe2 as hotkey", "key 0xe2", "Key 0xe2 visits only my points"},
        {ButtonBinding(0, 5, G27), "", "Activate button 5 as hotkey", "button 5 on G27 Racing Wheel",
         "Button 5 visits only my points"},
        {HatBinding(0, Hat::Right, G27), "", "Activate hat right as hotkey", "hat right on G27 Racing Wheel",
         "Hat right visits only my points"},
        {ButtonBinding(0, 7), "", "Activate button 7 as hotkey", "button 7 on controller 1",
         "Button 7 visits only my points"},
        {Binding{}, "", "Activate hotkeys", "not set", "The hotkeys visit only my points"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HotkeyOptionCaption(c.next, c.keyName), c.caption);
        EXPECT_EQ(BindingName(c.next, c.keyName), c.name);
        EXPECT_EQ(OnlyMyPointsCaption(c.next, c.keyName), c.onlyMine);
    }
}

TEST(HatControls, EightWaysFromWinmmsAngle) {
    struct Case {
        unsigned angle;
        JoystickControls controls;
    };
    const Case cases[] = {
        {0, HatBit(Hat::Up)},
        {4500, HatBit(Hat::Up) | HatBit(Hat::Right)},
        {9000, HatBit(Hat::Right)},
        {18000, HatBit(Hat::Down)},
        {27000, HatBit(Hat::Left)},
        {31500, HatBit(Hat::Up) | HatBit(Hat::Left)},
        {35999, HatBit(Hat::Up)},
        {2000, HatBit(Hat::Up)},
        {65535, 0},  // at rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(HatControls(c.angle), c.controls);
    }
}

#include "core/Bindings.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace lapforge;

namespace {

InputSnapshot Snapshot(std::initializer_list<int> keys, std::optional<std::uint32_t> controller2 = std::nullopt) {
    InputSnapshot snapshot;
    for (const int key : keys) snapshot.keys.set(static_cast<std::size_t>(key));
    snapshot.buttons[2] = controller2;
    return snapshot;
}

}  // namespace

TEST(BindingChange, TakesTheFirstNewPressThatCanBeBound) {
    struct Case {
        const char* name;
        InputSnapshot before;
        InputSnapshot now;
        std::optional<Binding> taken;
    };
    const Case cases[] = {
        {"nothing", Snapshot({}), Snapshot({}), std::nullopt},
        {"a key", Snapshot({}), Snapshot({0x72}), KeyBinding(0x72)},
        {"the key that opened the change is still down", Snapshot({0x20}), Snapshot({0x20}), std::nullopt},
        {"Shift, Ctrl, Alt and the Windows keys", Snapshot({}), Snapshot({0x10, 0xA1, 0x11, 0xA4, 0x5B}), std::nullopt},
        {"Shift+F5 gives F5", Snapshot({0x10, 0xA0}), Snapshot({0x10, 0xA0, 0x74}), KeyBinding(0x74)},
        {"Esc cancels, it is not taken", Snapshot({}), Snapshot({0x1B}), std::nullopt},
        {"a mouse click", Snapshot({}), Snapshot({0x01}), std::nullopt},
        {"a button", Snapshot({}, 0b1000), Snapshot({}, 0b1010), ButtonBinding(2, 2)},
        {"a button held all along", Snapshot({}, 0b1000), Snapshot({}, 0b1000), std::nullopt},
        {"button 32", Snapshot({}, 0), Snapshot({}, 0x80000000u), ButtonBinding(2, 32)},
        {"a controller plugged in with a button down", Snapshot({}), Snapshot({}, 0b1), ButtonBinding(2, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NewPress(c.before, c.now), c.taken);
    }
}

TEST(BindingNames, TheOptionBoxNamesTheBindingThatMovesOn) {
    struct Case {
        Binding next;
        const char* keyName;
        const char* caption;
        const char* name;
    };
    const Case cases[] = {
        {KeyBinding(F4Key), "F4", "Activate F4 as hotkey", "F4"},
        {KeyBinding(0x6B), "Num +", "Activate Num + as hotkey", "Num +"},
        {KeyBinding(0xE2), "", "Activate key 0xe2 as hotkey", "key 0xe2"},
        {ButtonBinding(0, 7), "", "Activate button 7 as hotkey", "button 7 on controller 1"},
        {Binding{}, "", "Activate hotkeys", "not set"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(HotkeyOptionCaption(c.next, c.keyName), c.caption);
        EXPECT_EQ(BindingName(c.next, c.keyName), c.name);
    }
}

#pragma once

#include "core/BindingCapture.h"
#include "core/Bindings.h"
#include "core/SectionCycle.h"
#include "platform/JoystickSampler.h"

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lapforge::platform {

// System-wide: true while the key is down, whichever program has the focus. Not consumed.
bool IsKeyDown(int virtualKey);

// The joystick's buttons 1 to 32 and its hat; nothing when it does not answer (unplugged, or no
// joystick support at all). Slow for an unplugged one.
std::optional<JoystickControls> JoystickInputs(unsigned joystick);

// The system's name of the key in the keyboard's language ("F4", "Num +"); empty when it has none.
std::string KeyName(int virtualKey);

// The joysticks that answered at the last enumeration, shared by the windows: enumerated at the
// first use and again after JoysticksChanged. An enumeration asks every id the system offers, which
// is slow where some are unplugged, so it is made only when devices change.
const std::vector<JoystickInfo>& Joysticks();

// The list is made anew at its next use (when JoystickReprobe says so).
void JoysticksChanged();

// The keys down now and the listed joysticks' controls.
InputSnapshot TakeSnapshot();

// The clock the polls and the joysticks' listing are timed by, in milliseconds from some start, to
// the millisecond: the tick count moves in steps of 10 to 16 ms, too coarse for a 10 ms beat.
std::uint64_t Milliseconds();

// Windows tells the window of every key pressed or let go anywhere, whichever program is in front
// (raw input, WM_INPUT), while wanted; the keys are only observed. Asked for only on a change.
class KeyEventRequest {
public:
    KeyEventRequest() = default;
    ~KeyEventRequest() { Want(nullptr, false); }
    KeyEventRequest(const KeyEventRequest&) = delete;
    KeyEventRequest& operator=(const KeyEventRequest&) = delete;

    void Want(HWND window, bool wanted);
    bool Registered() const { return registered_; }

private:
    bool registered_ = false;
};

// A key pressed or let go, from a WM_INPUT message's raw input; nothing for anything else.
std::optional<InputChange> KeyChangeOf(LPARAM rawInput);

// The desktop's keyboard and joysticks, as the section cycle reads them, with the keys' changes the
// window was told of and the joysticks' a sampler saw, kept until the next poll.
class DesktopInput final : public InputSource {
public:
    // While the window is told of every key, a key is down as its last change said: a tap during a
    // step is then seen down and up in order, and never as the state a later look happens upon.
    void LatchKeys(bool latched);
    void KeyEvent(const InputChange& change);
    // The joysticks the cycle reads now, looked at between polls.
    void SampleJoysticks(const std::vector<unsigned>& joysticks) { sampler_.Sample(joysticks); }
    std::vector<InputChange> TakeChanges() override {
        std::vector<InputChange> changes = std::move(keys_);
        keys_.clear();
        for (InputChange& change : sampler_.Take()) changes.push_back(std::move(change));
        return changes;
    }
    bool IsKeyDown(int virtualKey) override;
    const std::vector<JoystickInfo>& Joysticks() override { return platform::Joysticks(); }
    void Reenumerate() override { JoysticksChanged(); }
    std::optional<JoystickControls> JoystickInputs(unsigned joystick) override {
        return platform::JoystickInputs(joystick);
    }

private:
    bool latched_ = false;
    std::bitset<256> down_;  // while latched, for the keys told of
    std::bitset<256> told_;
    std::vector<InputChange> keys_;
    JoystickSampler sampler_;
};

}  // namespace lapforge::platform

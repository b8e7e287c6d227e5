#include "core/SectionCycle.h"

#include "core/Controller.h"

#include <array>
#include <exception>

namespace lapforge {

namespace {

// One joystick within one poll: not asked yet, asked without an answer, or its controls.
struct JoystickReading {
    enum class State { NotAsked, Silent, Answered };
    State state = State::NotAsked;
    JoystickControls controls = 0;
};

}  // namespace

bool PressWatch::Look(std::optional<bool> down, bool modifierHeld) {
    if (!down) {
        state_ = State::WaitingForUp;
        return false;
    }
    switch (state_) {
    case State::Up:
        if (*down) state_ = modifierHeld ? State::WaitingForUp : State::Down;
        return false;
    case State::Down:
        if (!*down) {
            state_ = State::Up;
            return true;
        }
        if (modifierHeld) state_ = State::WaitingForUp;
        return false;
    case State::WaitingForUp:
        if (!*down) state_ = State::Up;
        return false;
    }
    return false;
}

void SectionCycle::SetOptionChecked(bool checked) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    optionChecked_ = checked;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::SetModalInFront(bool inFront) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    modalInFront_ = inFront;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::SetSimulatorWatched(bool watched) {
    const bool wasArmed = IsArmed(), wasRunning = IsRunning();
    simulatorWatched_ = watched;
    Changed(wasArmed, wasRunning);
}

void SectionCycle::Changed(bool wasArmed, bool wasRunning) {
    if (IsRunning() != wasRunning) Forget();
    if (IsArmed() && !wasArmed) lastLook_.reset();
}

SectionCycle::Due SectionCycle::Next(std::uint64_t nowMilliseconds) {
    if (IsRunning()) return Due::Poll;
    if (!IsWaiting()) return Due::Nothing;
    if (lastLook_ && nowMilliseconds - *lastLook_ < LookMilliseconds) return Due::Nothing;
    lastLook_ = nowMilliseconds;
    return Due::Look;
}

std::optional<std::uint64_t> SectionCycle::WaitMilliseconds(std::uint64_t nowMilliseconds) const {
    if (IsRunning()) return PollMilliseconds;
    if (!IsWaiting()) return std::nullopt;
    if (!lastLook_) return 0;
    const std::uint64_t since = nowMilliseconds - *lastLook_;
    return since >= LookMilliseconds ? 0 : LookMilliseconds - since;
}

void SectionCycle::Forget() {
    next_.Forget();
    previous_.Forget();
}

void SectionCycle::Poll(InputSource& input, CycleView& view, std::uint64_t nowMilliseconds) {
    if (!IsRunning()) return;
    if (controller_.HotkeyBindings != taken_) {
        taken_ = bindings_ = controller_.HotkeyBindings;
        Forget();
    }

    // Each joystick a binding names is asked at most once a poll; one not connected is not asked.
    std::array<JoystickReading, JoystickCount> readings{};
    bool missing = false;
    const auto isDown = [&](Binding& binding) -> std::optional<bool> {
        switch (binding.kind) {
        case Binding::Kind::None:
            return std::nullopt;
        case Binding::Kind::Key:
            return input.IsKeyDown(binding.key);
        case Binding::Kind::JoystickButton:
        case Binding::Kind::JoystickHat: {
            const std::vector<JoystickInfo>& joysticks = input.Joysticks();
            const std::optional<unsigned> id = FindJoystick(binding, joysticks);
            if (!id) {
                missing = true;
                return std::nullopt;
            }
            AdoptIdentity(binding, joysticks);  // an old line's joystick is known from its first answer
            JoystickReading& reading = readings[*id];
            if (reading.state == JoystickReading::State::NotAsked) {
                const std::optional<JoystickControls> controls = input.JoystickInputs(*id);
                reading.state = controls ? JoystickReading::State::Answered : JoystickReading::State::Silent;
                reading.controls = controls.value_or(0);
            }
            if (reading.state == JoystickReading::State::Silent) {
                missing = true;
                return std::nullopt;
            }
            return (reading.controls & ControlBit(binding)) != 0;
        }
        }
        return std::nullopt;
    };
    const std::optional<bool> nextDown = isDown(bindings_.next);
    const std::optional<bool> previousDown = isDown(bindings_.previous);
    if (!missing) {
        reenumeration_.Answered(true, nowMilliseconds);
    } else if (reenumeration_.MayAsk(nowMilliseconds)) {
        input.Reenumerate();
        reenumeration_.Answered(false, nowMilliseconds);
    }
    // The modifiers matter only while a binding is down: the idle poll is one look per binding.
    const bool modifierHeld = (nextDown.value_or(false) || previousDown.value_or(false)) && input.IsModifierDown();
    const bool nextPressed = next_.Look(nextDown, modifierHeld);
    const bool previousPressed = previous_.Look(previousDown, modifierHeld);
    if (nextPressed) Step(true, view);
    if (previousPressed) Step(false, view);
}

void SectionCycle::Step(bool forward, CycleView& view) {
    // From the section the file holds, whatever the list shows.
    std::optional<NeighbourSection> to;
    try {
        to = controller_.WriteNeighbour(forward);
    } catch (const std::exception& failure) {
        // Nothing is announced for a file that was not written; the next press tries again.
        view.StepRefused(failure);
        return;
    }
    // The driver hears it at once; the pictures, which take a decode, come after.
    view.PlayAnnouncement(to->announcementPath);
    view.ShowWrittenSection(to->name);
}

}  // namespace lapforge

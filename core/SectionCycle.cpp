#include "core/SectionCycle.h"

#include "core/Controller.h"

#include <exception>

namespace lapforge {

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
    if (controller_.HotkeyBindings != bindings_) {
        bindings_ = controller_.HotkeyBindings;
        Forget();
    }

    // Each controller a binding names is asked at most once a poll, an unplugged one far less.
    std::array<std::optional<std::optional<std::uint32_t>>, JoystickCount> asked{};
    const auto isDown = [&](const Binding& binding) -> std::optional<bool> {
        switch (binding.kind) {
        case Binding::Kind::None:
            return std::nullopt;
        case Binding::Kind::Key:
            return input.IsKeyDown(binding.key);
        case Binding::Kind::JoystickButton: {
            auto& buttons = asked[binding.joystick];
            if (!buttons) {
                JoystickReprobe& reprobe = reprobes_[binding.joystick];
                buttons = std::optional<std::uint32_t>();
                if (reprobe.MayAsk(nowMilliseconds)) {
                    *buttons = input.JoystickButtons(binding.joystick);
                    reprobe.Answered(buttons->has_value(), nowMilliseconds);
                }
            }
            if (!*buttons) return std::nullopt;
            return (**buttons & (1u << (binding.button - 1))) != 0;
        }
        }
        return std::nullopt;
    };
    const std::optional<bool> nextDown = isDown(bindings_.next);
    const std::optional<bool> previousDown = isDown(bindings_.previous);
    // The modifiers matter only while a binding is down: the idle poll is one look per binding.
    const bool modifierHeld = (nextDown.value_or(false) || previousDown.value_or(false)) && input.IsModifierDown();
    const bool nextPressed = next_.Look(nextDown, modifierHeld);
    const bool previousPressed = previous_.Look(previousDown, modifierHeld);
    if (nextPressed) Step(true, view);
    if (previousPressed) Step(false, view);
}

void SectionCycle::Step(bool forward, CycleView& view) {
    const std::string current = view.CurrentSection();
    const auto to = forward ? controller_.Successor(current) : controller_.Predecessor(current);
    if (!to) return;
    try {
        view.SelectSection(to->name);
    } catch (const std::exception& failure) {
        // Nothing is announced for a file that was not written; the next press tries again.
        view.StepRefused(failure.what());
        return;
    }
    view.PlayAnnouncement(to->announcementPath);
}

}  // namespace lapforge

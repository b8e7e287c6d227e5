#include "core/StatusLine.h"

#include "core/Messages.h"

namespace lapforge {

void StatusLine::Written(std::string_view section) {
    sectionInFile_ = section;
    problem_.clear();
}

std::optional<std::string> StatusLine::Refused(std::string_view what, bool picked) {
    problem_ = StepRefusedStatus(what, sectionInFile_);
    if (picked) return PickRefusedText(what, sectionInFile_);
    return std::nullopt;
}

std::string StatusLine::Text(bool armed, bool simulatorRuns, const Bindings& bindings,
                             const std::function<std::string(int virtualKey)>& keyName) const {
    const auto name = [&](const Binding& binding) {
        return binding.kind == Binding::Kind::None ? std::string() : BindingName(binding, keyName(binding.key));
    };
    CycleStatus status;
    status.armed = armed;
    status.simulatorRuns = simulatorRuns;
    status.nextName = name(bindings.next);
    status.previousName = name(bindings.previous);
    status.deploySection = sectionInFile_;
    status.problem = problem_;
    status.notice = notice_;
    return StatusLineText(status);
}

}  // namespace lapforge

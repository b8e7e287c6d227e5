#include "core/StatusLine.h"

#include "core/Messages.h"

namespace lapforge {

std::optional<std::string> StatusLine::Refused(const std::exception& failure, std::string_view sectionInFile,
                                               bool picked) {
    problem_ = StepRefusedStatus(failure, sectionInFile);
    if (picked) return PickRefusedText(failure.what(), sectionInFile);
    return std::nullopt;
}

void StatusLine::DeployLineChangedElsewhere(std::string_view line) {
    changed_ = DeployLineChangedText(line);
    changedNow_ = true;
}

std::string StatusLine::Text(bool armed, bool simulatorRuns, std::string_view sectionInFile, const Bindings& bindings,
                             const std::function<std::string(int virtualKey)>& keyName, bool onlyPoints) const {
    const auto name = [&](const Binding& binding) {
        return binding.kind == Binding::Kind::None ? std::string() : BindingName(binding, keyName(binding.key));
    };
    CycleStatus status;
    status.armed = armed;
    status.onlyPoints = onlyPoints;
    status.simulatorRuns = simulatorRuns;
    status.nextName = name(bindings.next);
    status.previousName = name(bindings.previous);
    status.deploySection = sectionInFile;
    status.alsoIn = modsInStep_;
    status.problem = !problem_.empty()      ? problem_
                     : !modProblem_.empty() ? modProblem_
                     : !changed_.empty()    ? changed_
                                            : launchNote_;
    status.notice = notice_;
    // A line of its own under the rest, which it must not hide.
    if (startNote_.empty()) return StatusLineText(status);
    return StatusLineText(status) + "\n" + startNote_;
}

}  // namespace lapforge

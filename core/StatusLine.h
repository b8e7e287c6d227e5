#pragma once

#include "core/Bindings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lapforge {

// What the main window's status line says: what the section cycle does, where GPL will put the car
// (the section the track file holds, which the controller knows), and the last problem or notice;
// and whether a problem is told there or in a box.
class StatusLine {
public:
    // A section was written to the track file: an earlier problem is over, and so is a line changed
    // elsewhere, unless this very rewrite found it.
    void Written() {
        problem_.clear();
        startNote_.clear();
        launchNote_.clear();
        if (!changedNow_) changed_.clear();
        changedNow_ = false;
    }
    // A rewrite was refused and the file still holds the section it held; the line says so until a
    // rewrite goes through. A step of the cycle is told there alone: the driver is in GPL, where a
    // box would wait for a click he cannot make. A pick in the list also gets the text for a box,
    // with all the failure's advice: the driver is at Lapforge.
    std::optional<std::string> Refused(const std::exception& failure, std::string_view sectionInFile, bool picked);
    // Someone else changed line 54 to a line Lapforge does not write; said until the next rewrite.
    void DeployLineChangedElsewhere(std::string_view line);
    // A line under the rest from the start until the first rewrite, as about the lines of
    // lapforge.ini that Lapforge skipped.
    void SetStartNote(std::string_view note) { startNote_ = note; }
    // The program chosen for "Launch GPL" is gone; said, after any start note, until the next
    // rewrite or pick of a program. Empty: nothing to say.
    void SetLaunchNote(std::string_view note) { launchNote_ = note; }
    // The mods' track files kept in step with track.ini ("the 1965 and GT mods' track files"; empty:
    // none), and what went wrong with one of them, said while no problem of track.ini's is (empty:
    // nothing). Both as the controller has them now.
    void SetTrackFiles(std::string_view inStep, std::string_view problem) {
        modsInStep_ = inStep;
        modProblem_ = problem;
    }
    // Something about the running GPL (it runs as administrator); empty when there is nothing.
    void SetNotice(std::string_view notice) { notice_ = notice; }

    // `keyName` is the system's name of a key.
    // `onlyPoints`: the cycle visits only the driver's own points.
    std::string Text(bool armed, bool simulatorRuns, std::string_view sectionInFile, const Bindings& bindings,
                     const std::function<std::string(int virtualKey)>& keyName, bool onlyPoints = false) const;

private:
    std::string problem_;
    std::string notice_;
    std::string changed_;
    bool changedNow_ = false;
    std::string startNote_;
    std::string launchNote_;
    std::string modsInStep_;
    std::string modProblem_;
};

}  // namespace lapforge

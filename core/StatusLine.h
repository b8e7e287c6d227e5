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
    // A section was written to the track file: an earlier problem is over.
    void Written() { problem_.clear(); }
    // A rewrite was refused and the file still holds the section it held; the line says so until a
    // rewrite goes through. A step of the cycle is told there alone: the driver is in GPL, where a
    // box would wait for a click he cannot make. A pick in the list also gets the text for a box,
    // with all the failure's advice: the driver is at Lapforge.
    std::optional<std::string> Refused(std::string_view what, std::string_view sectionInFile, bool picked);
    // Something about the running GPL (it runs as administrator); empty when there is nothing.
    void SetNotice(std::string_view notice) { notice_ = notice; }

    // `keyName` is the system's name of a key.
    std::string Text(bool armed, bool simulatorRuns, std::string_view sectionInFile, const Bindings& bindings,
                     const std::function<std::string(int virtualKey)>& keyName) const;

private:
    std::string problem_;
    std::string notice_;
};

}  // namespace lapforge

#pragma once

#include "platform/DpiModel.h"

#include <span>
#include <vector>

namespace lapforge {

// One control of a window: where the layout table puts it, in twips of client coordinates.
struct ControlPlacement {
    int id;
    int left;
    int top;
    int width;
    int height;
    bool operator==(const ControlPlacement&) const = default;
};

// A window's client size and its layout table, in twips.
struct WindowLayout {
    int clientWidth;
    int clientHeight;
    std::span<const ControlPlacement> controls;
};

}  // namespace lapforge

namespace lapforge::platform {

// A layout that a window changes while it is open, as when a text needs more room than its table
// gives it.
struct GrownLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<ControlPlacement> controls;

    explicit GrownLayout(const WindowLayout& table);
    WindowLayout View() const { return {clientWidth, clientHeight, controls}; }
    bool operator==(const GrownLayout&) const = default;
};

// Makes the control `extra` twips taller (no change for none or less): what begins below its old
// bottom edge moves down by as much, what reaches past that edge from above stretches by as much,
// and so does the client area.
void GrowDownwards(GrownLayout& layout, int id, int extra);

// The top-left corner that centres a window of the given size on a monitor's work area; a window
// larger than the work area keeps its top-left corner (and its title bar) on it.
constexpr PixelRect CentredOn(const PixelRect& work, int width, int height) {
    const auto centre = [](int from, int to, int size) {
        const int start = from + (to - from - size) / 2;
        return start < from ? from : start;
    };
    const int left = centre(work.left, work.right, width);
    const int top = centre(work.top, work.bottom, height);
    return PixelRect{left, top, left + width, top + height};
}

// The top-left corner that centres a window of the given size over its owner's window, kept on the
// owner's monitor's work area (its top-left corner first, where it is larger).
constexpr PixelRect CentredOver(const PixelRect& owner, const PixelRect& work, int width, int height) {
    const auto place = [](int ownerFrom, int ownerTo, int from, int to, int size) {
        int start = ownerFrom + (ownerTo - ownerFrom - size) / 2;
        if (start + size > to) start = to - size;
        return start < from ? from : start;
    };
    const int left = place(owner.left, owner.right, work.left, work.right, width);
    const int top = place(owner.top, owner.bottom, work.top, work.bottom, height);
    return PixelRect{left, top, left + width, top + height};
}

}  // namespace lapforge::platform

#include "platform/LayoutModel.h"

#include <algorithm>

namespace lapforge::platform {

GrownLayout::GrownLayout(const WindowLayout& table)
    : clientWidth(table.clientWidth),
      clientHeight(table.clientHeight),
      controls(table.controls.begin(), table.controls.end()) {}

void GrowDownwards(GrownLayout& layout, int id, int extra) {
    const auto grown = std::find_if(layout.controls.begin(), layout.controls.end(),
                                    [id](const ControlPlacement& p) { return p.id == id; });
    if (extra <= 0 || grown == layout.controls.end()) return;
    const int edge = grown->top + grown->height;
    for (ControlPlacement& p : layout.controls) {
        if (p.top >= edge)
            p.top += extra;
        else if (p.top + p.height > edge || &p == &*grown)
            p.height += extra;
    }
    layout.clientHeight += extra;
}

}  // namespace lapforge::platform

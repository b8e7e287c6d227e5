#pragma once

#include "platform/Control.h"

#include <memory>
#include <string>

namespace lapforge::platform {

// A bordered box that shows a JPEG scaled into it, its aspect ratio kept, centred, smoothly filtered.
class PictureBox final : public Control {
public:
    PictureBox();
    ~PictureBox() override;

    // Throws lapforge::Failure when the box cannot be created.
    void Create(HWND parent, int id, const RECT& rect);

    // Loads the picture. A missing or broken file, one that is no JPEG and one too large to decode
    // leave the box empty and return false.
    bool Show(const std::string& path);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lapforge::platform

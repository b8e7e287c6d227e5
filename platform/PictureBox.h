#pragma once

#include "platform/Control.h"
#include "platform/PictureModel.h"

#include <memory>
#include <string>

namespace lapforge::platform {

// A bordered box that shows a JPEG scaled into it, its aspect ratio kept, centred, smoothly filtered.
// It can take clicks on the picture and flag a place on it.
class PictureBox final : public Control {
public:
    // WM_COMMAND's notification code for a left click on the drawn picture, while the box takes clicks.
    static constexpr WORD Clicked = 1;

    PictureBox();
    ~PictureBox() override;

    // Throws lapforge::Failure when the box cannot be created.
    void Create(HWND parent, int id, const RECT& rect);

    // Loads the picture. A missing or broken file, one that is no JPEG and one too large to decode
    // leave the box empty and return false. The flag goes, and clicks are no longer taken.
    bool Show(const std::string& path);

    // Whether a left click on the picture is told to the parent; the hand cursor shows where it is.
    void TakeClicks(bool take);
    // Where the last click told of landed, in the picture's pixels.
    PicturePoint LastClick() const;

    // A small pennant on a pole, its foot at that place of the picture, as the maps flag their
    // deploy point; drawn over the picture at its scale until cleared or another picture is shown.
    void ShowFlag(PicturePoint at, COLORREF colour);
    void ClearFlag();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lapforge::platform

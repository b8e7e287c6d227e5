#pragma once

#include <windows.h>

#include <string>

namespace lapforge::platform {

// A bordered box that shows a JPEG scaled into it, its aspect ratio kept, centred, smoothly filtered.
class PictureBox {
public:
    PictureBox() = delete;

    // Throws lapforge::Failure when the box cannot be created.
    static HWND Create(HWND parent, int id, const RECT& rect);

    // Loads the picture. A missing or broken file, one that is no JPEG and one too large to decode
    // leave the box empty and return false.
    static bool Show(HWND box, const std::string& path);

private:
    struct State;
    static ATOM WindowClass();  // registered on first use
    static LRESULT CALLBACK WindowProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT HandleMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace lapforge::platform

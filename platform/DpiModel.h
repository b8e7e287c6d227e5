#pragma once

namespace lapforge::platform {

// value * numerator / denominator with a 64-bit product, rounded to the nearest integer and halves
// away from zero, as the system's MulDiv rounds. The denominator is positive.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

// 1440 twips make an inch.
constexpr int TwipsToPixels(int twips, unsigned dpi) { return MulDivRounded(twips, static_cast<int>(dpi), 1440); }

// A size in pixels at 96 DPI, at the given DPI.
constexpr int ScaleToDpi(int pixelsAt96, unsigned dpi) { return MulDivRounded(pixelsAt96, static_cast<int>(dpi), 96); }

// A control's place as a layout table gives it.
struct TwipsPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Right and bottom come from the rounded far edge, so controls that touch in twips touch on screen.
constexpr PixelRect TwipsToPixels(TwipsPlace place, unsigned dpi) {
    return PixelRect{TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi),
                     TwipsToPixels(place.left + place.width, dpi), TwipsToPixels(place.top + place.height, dpi)};
}

}  // namespace lapforge::platform

#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace lapforge::platform {

// True for the bytes of a whole JPEG: the start-of-image marker first, and the end-of-image marker
// after the last scan's start. A file cut short (a broken download or copy) has not, and neither
// has a picture of another kind named .jpg.
bool IsWholeJpeg(std::string_view bytes);

constexpr unsigned BytesPerPixel = 4;  // 32-bit premultiplied BGRA throughout

// A picture's or a box's size in pixels.
struct PixelSize {
    long width = 0;
    long height = 0;
};

// The largest size of the picture's shape that fits the box, at least one pixel each way.
PixelSize FitInto(unsigned width, unsigned height, PixelSize box);

// Where a box draws the picture in its client area: fitted into it (FitInto) and centred.
struct PlacedPicture {
    long left = 0;
    long top = 0;
    PixelSize size;
};
PlacedPicture PlaceInto(unsigned width, unsigned height, PixelSize box);

// A place on a picture, in its own pixels: pixel (i, j) covers [i, i + 1) x [j, j + 1).
struct PicturePoint {
    double x = 0;
    double y = 0;
};

// A pixel of a box's client area.
struct BoxPixel {
    long x = 0;
    long y = 0;

    bool operator==(const BoxPixel&) const = default;
};

// The place on the picture under a client pixel of the box that shows it (at the pixel's middle);
// nothing beside the drawn picture.
std::optional<PicturePoint> PictureAt(unsigned width, unsigned height, PixelSize box, BoxPixel pixel);

// The client pixel a place on the picture is drawn on.
BoxPixel BoxPixelOf(unsigned width, unsigned height, PixelSize box, PicturePoint point);

// For each target pixel along one axis: the source pixels it covers and how much of each.
struct Coverage {
    unsigned first = 0;
    std::vector<float> weights;
};

std::vector<Coverage> AxisCoverage(unsigned source, unsigned target);

// Area averaging, as the Fant filter does it: each target pixel is the mean of the area it covers.
std::vector<unsigned char> AreaAverage(const std::vector<unsigned char>& source, unsigned sourceWidth,
                                       unsigned sourceHeight, unsigned width, unsigned height);

}  // namespace lapforge::platform

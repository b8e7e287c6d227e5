#include "platform/PictureModel.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lapforge::platform {

namespace {

constexpr std::string_view StartOfImage = "\xFF\xD8\xFF";
constexpr std::string_view StartOfScan = "\xFF\xDA";
constexpr std::string_view EndOfImage = "\xFF\xD9";

}  // namespace

bool IsWholeJpeg(std::string_view bytes) {
    if (bytes.substr(0, StartOfImage.size()) != StartOfImage) return false;
    // Inside a scan's coded data every 0xFF byte is followed by 0x00 or a restart marker, so the
    // last start-of-scan marker is the main picture's last scan, and an end marker after it ends
    // the picture (a thumbnail's scans and end marker come before).
    const std::size_t scan = bytes.rfind(StartOfScan);
    return scan != std::string_view::npos &&
           bytes.find(EndOfImage, scan + StartOfScan.size()) != std::string_view::npos;
}

PixelSize FitInto(unsigned width, unsigned height, PixelSize box) {
    const double scale = std::min(static_cast<double>(box.width) / width, static_cast<double>(box.height) / height);
    return PixelSize{std::max(1L, static_cast<long>(width * scale + 0.5)),
                     std::max(1L, static_cast<long>(height * scale + 0.5))};
}

PlacedPicture PlaceInto(unsigned width, unsigned height, PixelSize box) {
    const PixelSize size = FitInto(width, height, box);
    return PlacedPicture{(box.width - size.width) / 2, (box.height - size.height) / 2, size};
}

std::optional<PicturePoint> PictureAt(unsigned width, unsigned height, PixelSize box, BoxPixel pixel) {
    const PlacedPicture placed = PlaceInto(width, height, box);
    const long x = pixel.x - placed.left, y = pixel.y - placed.top;
    if (x < 0 || y < 0 || x >= placed.size.width || y >= placed.size.height) return std::nullopt;
    return PicturePoint{(x + 0.5) * width / placed.size.width, (y + 0.5) * height / placed.size.height};
}

BoxPixel BoxPixelOf(unsigned width, unsigned height, PixelSize box, PicturePoint point) {
    const PlacedPicture placed = PlaceInto(width, height, box);
    return BoxPixel{placed.left + static_cast<long>(std::floor(point.x * placed.size.width / width)),
                    placed.top + static_cast<long>(std::floor(point.y * placed.size.height / height))};
}

std::vector<Coverage> AxisCoverage(unsigned source, unsigned target) {
    std::vector<Coverage> axis(target);
    const double step = static_cast<double>(source) / target;
    for (unsigned t = 0; t < target; ++t) {
        const double begin = t * step, end = begin + step;
        Coverage& c = axis[t];
        c.first = static_cast<unsigned>(begin);
        for (unsigned s = c.first; s < source && s < end; ++s) {
            const double overlap = std::min(end, s + 1.0) - std::max(begin, static_cast<double>(s));
            c.weights.push_back(static_cast<float>(overlap / step));
        }
    }
    return axis;
}

std::vector<unsigned char> AreaAverage(const std::vector<unsigned char>& source, unsigned sourceWidth,
                                       unsigned sourceHeight, unsigned width, unsigned height) {
    const std::vector<Coverage> across = AxisCoverage(sourceWidth, width);
    const std::vector<Coverage> down = AxisCoverage(sourceHeight, height);
    std::vector<float> rows(static_cast<std::size_t>(width) * sourceHeight * BytesPerPixel);
    for (unsigned y = 0; y < sourceHeight; ++y) {
        const unsigned char* in = &source[static_cast<std::size_t>(y) * sourceWidth * BytesPerPixel];
        float* out = &rows[static_cast<std::size_t>(y) * width * BytesPerPixel];
        for (unsigned x = 0; x < width; ++x, out += BytesPerPixel)
            for (std::size_t i = 0; i < across[x].weights.size(); ++i)
                for (unsigned b = 0; b < BytesPerPixel; ++b)
                    out[b] += across[x].weights[i] * in[(across[x].first + i) * BytesPerPixel + b];
    }
    std::vector<unsigned char> result(static_cast<std::size_t>(width) * height * BytesPerPixel);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            for (unsigned b = 0; b < BytesPerPixel; ++b) {
                float sum = 0.5f;
                for (std::size_t i = 0; i < down[y].weights.size(); ++i)
                    sum += down[y].weights[i] * rows[((down[y].first + i) * width + x) * BytesPerPixel + b];
                result[(static_cast<std::size_t>(y) * width + x) * BytesPerPixel + b] =
                    static_cast<unsigned char>(std::min(sum, 255.0f));
            }
        }
    }
    return result;
}

}  // namespace lapforge::platform

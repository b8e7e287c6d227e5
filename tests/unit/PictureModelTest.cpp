#include "platform/DpiModel.h"
#include "platform/PictureModel.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

using namespace lapforge::platform;

namespace {

using namespace std::string_literals;

// The markers a JPEG is made of, with a little content between them.
const std::string Soi = "\xFF\xD8"s;
const std::string App1Exif =
    "\xFF\xE1\x00\x10"
    "Exif\0\0abcdefgh"s;
const std::string Quantisation = "\xFF\xDB\x00\x05\x00\x01\x02"s;
const std::string Scan = "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00"s;
const std::string CodedData = "\x12\xFF\x00\x34\xFF\xD0\x56"s;  // a stuffed 0xFF and a restart marker
const std::string Eoi = "\xFF\xD9"s;

using Pixels = std::vector<unsigned char>;

// A picture of one colour (all four bytes of every pixel the same).
Pixels Flat(unsigned width, unsigned height, unsigned char value) {
    return Pixels(std::size_t{width} * height * BytesPerPixel, value);
}

// A picture whose bytes run through many values, so that no two neighbours are alike.
Pixels Varied(unsigned width, unsigned height) {
    Pixels pixels(std::size_t{width} * height * BytesPerPixel);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>((i * 37 + i / 7 * 11) % 256);
    return pixels;
}

// The mean of one colour channel over the whole picture.
double ChannelMean(const Pixels& pixels, unsigned channel) {
    double sum = 0;
    for (std::size_t i = channel; i < pixels.size(); i += BytesPerPixel) sum += pixels[i];
    return sum / static_cast<double>(pixels.size() / BytesPerPixel);
}

}  // namespace

TEST(WholeJpeg, StartAndEndMarkersAroundTheLastScan) {
    const std::string whole = Soi + Quantisation + Scan + CodedData + Eoi;
    // A thumbnail inside the Exif block carries its own scan and end marker.
    const std::string thumbnail = Soi + Scan + CodedData + Eoi;
    const std::string withThumbnail = Soi + "\xFF\xE1\x00\x20"s + thumbnail + Quantisation + Scan + CodedData + Eoi;
    struct Case {
        const char* name;
        std::string bytes;
        bool whole;
    };
    const Case cases[] = {
        {"whole", whole, true},
        {"padding after the end marker", whole + std::string(16, '\0'), true},
        {"progressive: two scans", Soi + Quantisation + Scan + CodedData + Scan + CodedData + Eoi, true},
        {"Exif block before the picture", Soi + App1Exif + Quantisation + Scan + CodedData + Eoi, true},
        {"thumbnail, whole main picture", withThumbnail, true},
        {"cut short in the coded data", whole.substr(0, whole.size() - 3), false},
        {"cut short before the scan", Soi + Quantisation, false},
        {"thumbnail, main picture cut short", withThumbnail.substr(0, withThumbnail.size() - 4), false},
        {"empty file", "", false},
        {"PNG", "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s + Scan + Eoi, false},
        {"end marker only", Soi + Eoi, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsWholeJpeg(c.bytes), c.whole);
    }
}

TEST(PictureFit, KeepsTheShapeAndFillsOneSideOfTheBox) {
    struct Case {
        const char* name;
        unsigned width, height;
        PixelSize box, fitted;
    };
    const Case cases[] = {
        {"landscape into a square", 400, 300, {200, 200}, {200, 150}},
        {"portrait into a square", 300, 400, {200, 200}, {150, 200}},
        {"same shape, shrunk", 640, 480, {320, 240}, {320, 240}},
        {"small picture, enlarged", 10, 5, {100, 100}, {100, 50}},
        {"rounded to the nearest pixel", 3, 2, {100, 100}, {100, 67}},
        {"the map box at 96 DPI", 1024, 1536, {153, 233}, {153, 230}},
        {"a thin line stays one pixel high", 1000, 1, {100, 100}, {100, 1}},
        {"a thin column stays one pixel wide", 1, 1000, {50, 50}, {1, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelSize fitted = FitInto(c.width, c.height, c.box);
        EXPECT_EQ(fitted.width, c.fitted.width);
        EXPECT_EQ(fitted.height, c.fitted.height);
    }
}

TEST(PictureFit, NeverLeavesTheBoxNorShrinksToNothing) {
    for (const unsigned width : {1u, 3u, 17u, 640u, 1023u, 4000u}) {
        for (const unsigned height : {1u, 2u, 19u, 480u, 1536u, 3000u}) {
            for (const PixelSize box : {PixelSize{1, 1}, PixelSize{153, 233}, PixelSize{209, 153}, PixelSize{7, 500}}) {
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " into " +
                             std::to_string(box.width) + "x" + std::to_string(box.height));
                const PixelSize fitted = FitInto(width, height, box);
                EXPECT_GE(fitted.width, 1);
                EXPECT_GE(fitted.height, 1);
                EXPECT_LE(fitted.width, box.width);
                EXPECT_LE(fitted.height, box.height);
                // One side fills the box.
                EXPECT_TRUE(fitted.width == box.width || fitted.height == box.height);
            }
        }
    }
}

TEST(PictureFit, AClickLandsOnThePictureWhereTheBoxDrawsIt) {
    // The map box's client area: its 2295 x 3495 twips less the one-pixel edge on each side.
    const auto mapBox = [](unsigned dpi) {
        const PixelRect r = TwipsToPixels(TwipsPlace{240, 1200, 2295, 3495}, dpi);
        return PixelSize{r.right - r.left - 2, r.bottom - r.top - 2};
    };
    struct Case {
        const char* name;
        PixelSize box;
        BoxPixel click;
        std::optional<PicturePoint> on;  // on the 306 x 466 map
    };
    const Case cases[] = {
        {"96 DPI, the first pixel", mapBox(96), {0, 0}, PicturePoint{1.01, 1.01}},  // 151 x 230 drawn
        {"96 DPI, the last pixel", mapBox(96), {150, 229}, PicturePoint{304.99, 464.99}},
        {"96 DPI, the middle", mapBox(96), {75, 115}, PicturePoint{152.99, 234.01}},
        {"96 DPI, the row under the picture", mapBox(96), {75, 230}, std::nullopt},
        {"96 DPI, right of the box", mapBox(96), {151, 10}, std::nullopt},
        {"96 DPI, left of it", mapBox(96), {-1, 10}, std::nullopt},
        {"144 DPI, the middle", mapBox(144), {114, 173}, PicturePoint{153.67, 233.00}},  // 228 x 347 drawn
        {"144 DPI, the last pixel", mapBox(144), {227, 346}, PicturePoint{305.33, 465.33}},
        {"144 DPI, the row under the picture", mapBox(144), {10, 347}, std::nullopt},
        {"a wide box, in its left margin", {300, 231}, {73, 100}, std::nullopt},  // 152 x 231 drawn from 74
        {"a wide box, the picture's first column", {300, 231}, {74, 100}, PicturePoint{1.01, 202.74}},
        {"a wide box, its right margin", {300, 231}, {226, 100}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PicturePoint> on = PictureAt(306, 466, c.box, c.click);
        ASSERT_EQ(on.has_value(), c.on.has_value());
        if (!on) continue;
        EXPECT_NEAR(on->x, c.on->x, 0.01);
        EXPECT_NEAR(on->y, c.on->y, 0.01);
        EXPECT_EQ(BoxPixelOf(306, 466, c.box, *on), c.click);  // and back, for the flag
    }
}

TEST(AxisCoverage, EveryTargetPixelTakesAWholePixelOfSourceAndAllOfItIsTaken) {
    for (const auto& [source, target] : {std::pair{2u, 1u}, {3u, 2u}, {7u, 3u}, {1536u, 233u}, {5u, 5u}, {2u, 5u}}) {
        SCOPED_TRACE(std::to_string(source) + " to " + std::to_string(target));
        const std::vector<Coverage> axis = AxisCoverage(source, target);
        ASSERT_EQ(axis.size(), target);
        std::vector<double> taken(source);
        for (const Coverage& c : axis) {
            EXPECT_NEAR(std::accumulate(c.weights.begin(), c.weights.end(), 0.0), 1.0, 1e-5);
            ASSERT_LE(c.first + c.weights.size(), source);
            for (std::size_t i = 0; i < c.weights.size(); ++i) taken[c.first + i] += c.weights[i];
        }
        // Each source pixel counts as much as every other: target / source of a target pixel.
        for (unsigned s = 0; s < source; ++s) EXPECT_NEAR(taken[s], static_cast<double>(target) / source, 1e-5) << s;
    }
}

TEST(AxisCoverage, SplitsAPixelBetweenTheTwoTargetsItStraddles) {
    const std::vector<Coverage> axis = AxisCoverage(3, 2);
    ASSERT_EQ(axis.size(), 2u);
    EXPECT_EQ(axis[0].first, 0u);
    EXPECT_EQ(axis[1].first, 1u);
    ASSERT_EQ(axis[0].weights.size(), 2u);
    ASSERT_EQ(axis[1].weights.size(), 2u);
    EXPECT_NEAR(axis[0].weights[0], 2.0 / 3, 1e-6);
    EXPECT_NEAR(axis[0].weights[1], 1.0 / 3, 1e-6);
    EXPECT_NEAR(axis[1].weights[0], 1.0 / 3, 1e-6);
    EXPECT_NEAR(axis[1].weights[1], 2.0 / 3, 1e-6);
}

TEST(AreaAverage, BlackAndWhiteShrinkToMidGrey) {
    const Pixels pair = {0, 0, 0, 255, 255, 255, 255, 255};
    EXPECT_EQ(AreaAverage(pair, 2, 1, 1, 1), (Pixels{128, 128, 128, 255}));
    EXPECT_EQ(AreaAverage(pair, 1, 2, 1, 1), (Pixels{128, 128, 128, 255}));
}

TEST(AreaAverage, KeepsAFlatColourAtEverySize) {
    for (const auto& [width, height] : {std::pair{1u, 1u}, {2u, 3u}, {153u, 230u}, {9u, 1u}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        for (const unsigned char value : {0, 1, 77, 254, 255})
            EXPECT_EQ(AreaAverage(Flat(210, 315, value), 210, 315, width, height), Flat(width, height, value));
    }
}

TEST(AreaAverage, SameSizeKeepsEveryPixel) {
    const Pixels picture = Varied(13, 7);
    EXPECT_EQ(AreaAverage(picture, 13, 7, 13, 7), picture);
}

TEST(AreaAverage, EachTargetPixelIsTheMeanOfItsBlock) {
    const Pixels picture = Varied(6, 4);
    const Pixels shrunk = AreaAverage(picture, 6, 4, 3, 2);
    ASSERT_EQ(shrunk.size(), 3u * 2 * BytesPerPixel);
    for (unsigned y = 0; y < 2; ++y) {
        for (unsigned x = 0; x < 3; ++x) {
            for (unsigned b = 0; b < BytesPerPixel; ++b) {
                const auto at = [&](unsigned px, unsigned py) { return picture[(py * 6 + px) * BytesPerPixel + b]; };
                const int sum =
                    at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1);
                EXPECT_NEAR(shrunk[(y * 3 + x) * BytesPerPixel + b], sum / 4.0, 0.5) << x << "," << y << " byte " << b;
            }
        }
    }
}

TEST(AreaAverage, KeepsThePicturesMeanAtUnevenScales) {
    const Pixels picture = Varied(97, 61);
    for (const auto& [width, height] : {std::pair{40u, 25u}, {33u, 61u}, {7u, 5u}, {96u, 60u}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const Pixels shrunk = AreaAverage(picture, 97, 61, width, height);
        for (unsigned b = 0; b < BytesPerPixel; ++b) EXPECT_NEAR(ChannelMean(shrunk, b), ChannelMean(picture, b), 0.6);
    }
}

#include "platform/DpiModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace lapforge::platform;

namespace {

constexpr unsigned Dpis[] = {96, 108, 120, 144, 168, 192, 240, 288};

}  // namespace

TEST(TwipsToPixels, RoundsToTheNearestPixelAndHalvesAwayFromZero) {
    struct Case {
        const char* name;
        int twips;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {"one pixel at 96 DPI", 15, 96, 1},
        {"just under half a pixel", 7, 96, 0},
        {"just over half a pixel", 8, 96, 1},
        {"half a pixel rounds up", 5, 144, 1},
        {"half a pixel below zero rounds down", -5, 144, -1},
        {"a tenth of a pixel", 1, 144, 0},
        {"the main window's width at 96 DPI", 6015, 96, 401},
        {"the main window's height at 96 DPI", 5535, 96, 369},
        {"the main window's width at 120 DPI", 6015, 120, 501},
        {"the main window's width at 144 DPI: 601.5", 6015, 144, 602},
        {"the main window's height at 144 DPI: 553.5", 5535, 144, 554},
        {"a product beyond 32 bits", 10'000'000, 288, 2'000'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
}

TEST(ScaleToDpi, RoundsAsTwipsDo) {
    struct Case {
        int pixelsAt96;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {16, 96, 16}, {16, 120, 20}, {16, 144, 24}, {2, 120, 3}, {1, 144, 2}, {-1, 144, -2}, {10, 108, 11}, {0, 288, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pixelsAt96) + " at " + std::to_string(c.dpi));
        EXPECT_EQ(ScaleToDpi(c.pixelsAt96, c.dpi), c.pixels);
    }
}

TEST(TwipsToPixels, PlaceKeepsItsNearEdgesAndRoundsItsFarEdges) {
    const PixelRect r = TwipsToPixels(TwipsPlace{240, 1200, 2295, 3495}, 144);
    EXPECT_EQ(r.left, 24);
    EXPECT_EQ(r.top, 120);
    EXPECT_EQ(r.right, 254);   // 253.5, where the width alone would give 24 + 230
    EXPECT_EQ(r.bottom, 470);  // 469.5
}

TEST(TwipsToPixels, ControlsThatTouchInTwipsTouchOnScreen) {
    for (const unsigned dpi : Dpis) {
        for (int left = 0; left < 3000; left += 37) {
            for (int width = 1; width < 600; width += 29) {
                const PixelRect first = TwipsToPixels(TwipsPlace{left, left, width, width}, dpi);
                const PixelRect next = TwipsToPixels(TwipsPlace{left + width, left + width, 255, 255}, dpi);
                if (first.right != next.left || first.bottom != next.top)
                    FAIL() << "at " << dpi << " DPI a control at " << left << " of " << width << " twips ends at "
                           << first.right << ", the next begins at " << next.left;
            }
        }
    }
}

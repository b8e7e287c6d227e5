#include "platform/LayoutModel.h"
#include "platform/TextWrapModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lapforge;
using namespace lapforge::platform;

TEST(WrapText, BreaksBetweenWordsAndAfterBackslashesNeverInsideAName) {
    struct Case {
        const char* name;
        const wchar_t* text;
        int width;  // in characters: each is one pixel wide here
        std::size_t maxLines;
        std::vector<std::wstring> lines;
    };
    const Case cases[] = {
        {"fits", L"OK here", 10, 8, {L"OK here"}},
        {"words, the spaces at the breaks dropped", L"GPL is here, but not", 11, 8, {L"GPL is", L"here, but", L"not"}},
        {"a path between its folders",
         L"\"C:\\Games\\GPL\\tracks\\nurburg\\track.ini\"",
         12,
         8,
         {L"\"C:\\Games\\", L"GPL\\tracks\\", L"nurburg\\", L"track.ini\""}},
        {"a name wider than a line keeps its start and end",
         L"at Nordschleifenstrecke",
         9,
         8,
         {L"at", L"Nord\u2026ecke"}},
        {"the text's own line ends and blank lines",
         L"read-only.\r\n\r\nClear it",
         20,
         8,
         {L"read-only.", L"", L"Clear it"}},
        {"beyond the last line an ellipsis", L"one two three four", 5, 2, {L"one", L"two\u2026"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WrapText(c.text, c.width, c.maxLines, [](std::wstring_view s) { return static_cast<int>(s.size()); }),
                  c.lines);
    }
}

TEST(GrowDownwards, WhatLiesBelowMovesWhatReachesPastStretchesAndTheClientGrows) {
    // The folder dialog's table: a left column, a tall list on the right, a line along the bottom.
    constexpr ControlPlacement table[] = {
        {1, 120, 120, 1935, 255},  {2, 120, 840, 1935, 855},   {3, 120, 1800, 1935, 375},
        {4, 2160, 120, 2175, 255}, {5, 2160, 360, 2175, 2340}, {6, 120, 2790, 4215, 960},
    };
    struct Case {
        const char* name;
        int id;
        int extra;
        std::vector<int> tops;
        std::vector<int> heights;
        int clientHeight;
    };
    const Case cases[] = {
        {"the hint", 2, 300, {120, 840, 2100, 120, 360, 3090}, {255, 1155, 375, 255, 2640, 960}, 4170},
        {"the bottom line", 6, 450, {120, 840, 1800, 120, 360, 2790}, {255, 855, 375, 255, 2340, 1410}, 4320},
        {"no room needed", 2, -40, {120, 840, 1800, 120, 360, 2790}, {255, 855, 375, 255, 2340, 960}, 3870},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GrownLayout layout(WindowLayout{4470, 3870, table});
        GrowDownwards(layout, c.id, c.extra);
        std::vector<int> tops, heights;
        for (const ControlPlacement& p : layout.controls) {
            tops.push_back(p.top);
            heights.push_back(p.height);
        }
        EXPECT_EQ(tops, c.tops);
        EXPECT_EQ(heights, c.heights);
        EXPECT_EQ(layout.clientHeight, c.clientHeight);
        EXPECT_EQ(layout.clientWidth, 4470);
    }
}

TEST(CentredOn, TheMonitorsWorkAreaWithTheTitleBarOnIt) {
    struct Case {
        const char* name;
        PixelRect work;
        int width, height;
        int left, top;
    };
    const Case cases[] = {
        {"the primary monitor above a taskbar", {0, 0, 1920, 1040}, 300, 260, 810, 390},
        {"a second monitor to the left", {-1280, 0, 0, 984}, 300, 260, -790, 362},
        {"a second monitor above, odd sizes", {0, -1080, 1920, 0}, 301, 261, 809, -671},
        {"larger than the work area", {1920, 0, 2944, 728}, 1100, 800, 1920, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelRect place = CentredOn(c.work, c.width, c.height);
        EXPECT_EQ(place.left, c.left);
        EXPECT_EQ(place.top, c.top);
        EXPECT_EQ(place.right - place.left, c.width);
    }
}

TEST(CentredOver, TheOwnerKeptOnItsWorkArea) {
    const PixelRect work{0, 0, 1920, 1040};
    struct Case {
        const char* name;
        PixelRect owner;
        int width, height;
        int left, top;
    };
    const Case cases[] = {
        {"inside the owner", {100, 100, 500, 700}, 300, 200, 150, 300},
        {"wider than the owner", {100, 100, 500, 700}, 600, 200, 0, 300},
        {"an owner at the right edge", {1700, 100, 2100, 700}, 300, 200, 1620, 300},
        {"an owner below the bottom", {100, 900, 500, 1500}, 300, 200, 150, 840},
        {"larger than the work area", {100, 100, 500, 700}, 2000, 1200, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelRect place = CentredOver(c.owner, work, c.width, c.height);
        EXPECT_EQ(place.left, c.left);
        EXPECT_EQ(place.top, c.top);
    }
}

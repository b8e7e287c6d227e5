#include "core/MapRoad.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

using namespace lapforge;

namespace {

const std::string Picture = "the bytes of karte6.jpg";

std::string HashText(std::string_view bytes) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Fnv1a64(bytes)));
    return text;
}

// Three stretches: a straight one, one over the lap's end, and one 10 pixels under the first.
std::string RoadFile(const std::string& runs) {
    return "lapforge-map-road 1\npicture 306 466 " + HashText(Picture) + "\ncolour #3949ab\n" + runs;
}
const std::string Runs =
    "run\n12300 100 100\n12310 110 100\n12320 120 100\n"
    "run\n22790 50 200\n22798 50 208\n2 50 212\n10 50 220\n"
    "run\n15000 100 110\n15010 110 110\n";

}  // namespace

TEST(MapRoad, HashesAndReadsOnlyAWellFormedFileForItsPicture) {
    EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325ULL);
    EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
    EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8ULL);
    EXPECT_EQ(MapRoadFileName("\\karte6.jpg"), "\\karte6.road");

    const std::optional<MapRoad> road = RoadOfPicture(RoadFile(Runs), Picture);
    ASSERT_TRUE(road);
    EXPECT_EQ(road->width, 306u);
    EXPECT_EQ(road->height, 466u);
    EXPECT_EQ(road->colour, 0x3949abu);
    ASSERT_EQ(road->runs.size(), 3u);
    EXPECT_EQ(road->runs[1].size(), 4u);
    EXPECT_FALSE(RoadOfPicture(RoadFile(Runs), "the driver's own picture"));

    struct Case {
        const char* name;
        std::string text;
        bool reads;
    };
    const std::string hash = HashText(Picture);
    const Case cases[] = {
        {"CR LF line ends", "lapforge-map-road 1\r\npicture 306 466 " + hash + "\r\ncolour #3949ab\r\nrun\r\n1 2 3\r\n",
         true},
        {"no last line end", RoadFile("run\n1 2 3"), true},
        {"another version", "lapforge-map-road 2\npicture 306 466 " + hash + "\ncolour #3949ab\nrun\n1 2 3\n", false},
        {"a short hash", "lapforge-map-road 1\npicture 306 466 " + hash.substr(1) + "\ncolour #3949ab\nrun\n1 2 3\n",
         false},
        {"no size", "lapforge-map-road 1\npicture " + hash + "\ncolour #3949ab\nrun\n1 2 3\n", false},
        {"a colour without #", "lapforge-map-road 1\npicture 306 466 " + hash + "\ncolour 3949ab\nrun\n1 2 3\n", false},
        {"no runs", RoadFile(""), false},
        {"a point before any run", RoadFile("1 2 3\nrun\n4 5 6\n"), false},
        {"an empty run", RoadFile("run\nrun\n1 2 3\n"), false},
        {"an empty last run", RoadFile("run\n1 2 3\nrun\n"), false},
        {"falling", RoadFile("run\n12310 1 2\n12305 1 3\n"), false},
        {"a gap", RoadFile("run\n12300 1 2\n12400 1 3\n"), false},
        {"the lap's length", RoadFile("run\n22800 1 2\n"), false},
        {"outside the picture", RoadFile("run\n12300 307 2\n"), false},
        {"no number", RoadFile("run\n12300 abc 2\n"), false},
        {"a fourth number", RoadFile("run\n12300 1 2 3\n"), false},
        {"two spaces", RoadFile("run\n12300  1 2\n"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseMapRoad(c.text).has_value(), c.reads);
    }
}

TEST(MapRoad, PixelsGiveTheDistanceOfTheNearestRoadAndBack) {
    const MapRoad road = *ParseMapRoad(RoadFile(Runs));
    struct Click {
        const char* name;
        MapPixel at;
        std::optional<double> metres;
    };
    const Click clicks[] = {
        {"on a road point", {110, 100}, 12310.0},
        {"between two", {115, 100}, 12315.0},
        {"beside the road, inside the tolerance", {120, 89}, 12320.0},
        {"past the stretch's end, outside it", {132.5, 100}, std::nullopt},
        {"off every road", {300, 400}, std::nullopt},
        {"the nearer of two stretches", {105, 103}, 12305.0},
        {"the other one", {105, 107}, 15005.0},
        {"before the lap's end", {50, 209}, 22799.0},
        {"after it", {50, 211}, 1.0},
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.name);
        const std::optional<double> metres = RoadMetresAt(road, c.at);
        EXPECT_NEAR(metres.value_or(-1), c.metres.value_or(-1), 1e-9);
    }
    struct Place {
        double metres;
        std::optional<MapPixel> at;
    };
    const Place places[] = {
        {12300, MapPixel{100, 100}}, {12315, MapPixel{115, 100}}, {12320, MapPixel{120, 100}},
        {22799, MapPixel{50, 209}},  {0, MapPixel{50, 210}},      {15005, MapPixel{105, 110}},
        {12330, std::nullopt},       {14000, std::nullopt},       {22780, std::nullopt},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.metres);
        EXPECT_EQ(RoadPixelOf(road, p.metres), p.at);
    }
}

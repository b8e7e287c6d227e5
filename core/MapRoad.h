#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// A place on a map picture, in its pixels: pixel (i, j) covers [i, i + 1) x [j, j + 1), origin top-left.
struct MapPixel {
    double x = 0;
    double y = 0;

    bool operator==(const MapPixel&) const = default;
};

// One point of the road as a map draws it.
struct RoadPoint {
    double metres = 0;  // GPL's distance, in [0, 22800)
    MapPixel at;
};

// Where a map picture draws the lap: the build's "karteN.road" beside "karteN.jpg".
struct MapRoad {
    unsigned width = 0;  // the picture's size in pixels
    unsigned height = 0;
    std::uint64_t pictureHash = 0;  // Fnv1a64 of the picture's bytes
    std::uint32_t colour = 0;       // the section's, 0xRRGGBB
    // Each one continuous stretch of road, the distance rising along it (over the lap's end too).
    std::vector<std::vector<RoadPoint>> runs;
};

// How far from the road's centre line a click still counts, in the picture's pixels: the maps are
// drawn at twice their size at 96 DPI, so 12 pixels are 6 on that screen, the road's white edge
// and a little beside it.
inline constexpr double RoadClickTolerance = 12.0;

// FNV-1a, 64 bits, over every byte.
std::uint64_t Fnv1a64(std::string_view bytes);

// The road file's contents (format "lapforge-map-road 1"); nothing for one that is malformed in any way.
std::optional<MapRoad> ParseMapRoad(std::string_view text);

// The road of a map picture: its road file's, when that reads and was made for exactly these
// picture bytes. Nothing for a picture of the driver's own, which takes no clicks and gets no flag.
std::optional<MapRoad> RoadOfPicture(std::string_view roadText, std::string_view pictureBytes);

// The road file beside a map picture: "\karte6.jpg" gives "\karte6.road".
std::string MapRoadFileName(std::string_view mapPicture);

// The distance of the road under a pixel: on the nearest stretch of road within the tolerance,
// between its two nearest points. Nothing off the road.
std::optional<double> RoadMetresAt(const MapRoad& road, MapPixel pixel);

// Where the map draws a distance; nothing where it draws no road.
std::optional<MapPixel> RoadPixelOf(const MapRoad& road, double metres);

}  // namespace lapforge

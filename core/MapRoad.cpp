#include "core/MapRoad.h"

#include "core/LapPoints.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace lapforge {

namespace {

constexpr std::string_view Signature = "lapforge-map-road 1";
// Road points are at most 10 m apart; a longer step means the stretch is not continuous.
constexpr double LongestStep = 20.0;

// The text's lines, LF or CR LF ended; a last line without an end counts.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The line's words, split at single spaces.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t begin = 0;
    while (begin <= line.size()) {
        const std::size_t end = std::min(line.find(' ', begin), line.size());
        words.push_back(line.substr(begin, end - begin));
        begin = end + 1;
    }
    return words;
}

template <typename T>
std::optional<T> Number(std::string_view text, int base = 10) {
    T value{};
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<T>)
        result = std::from_chars(text.data(), text.data() + text.size(), value);
    else
        result = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value)) return std::nullopt;
    return value;
}

// How far the road runs from one distance to the next, over the lap's end too.
double Step(double from, double to) { return to >= from ? to - from : to + LapMetres - from; }

double Normalised(double metres) { return metres >= LapMetres ? metres - LapMetres : metres; }

}  // namespace

std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char byte : bytes) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::optional<MapRoad> ParseMapRoad(std::string_view text) {
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.size() < 3 || lines[0] != Signature) return std::nullopt;
    MapRoad road;
    const std::vector<std::string_view> picture = Words(lines[1]);
    if (picture.size() != 4 || picture[0] != "picture" || picture[3].size() != 16) return std::nullopt;
    const auto width = Number<unsigned>(picture[1]), height = Number<unsigned>(picture[2]);
    const auto hash = Number<std::uint64_t>(picture[3], 16);
    if (!width || !height || !hash || *width == 0 || *height == 0) return std::nullopt;
    const std::vector<std::string_view> colour = Words(lines[2]);
    if (colour.size() != 2 || colour[0] != "colour" || colour[1].size() != 7 || colour[1][0] != '#')
        return std::nullopt;
    const auto rgb = Number<std::uint32_t>(colour[1].substr(1), 16);
    if (!rgb) return std::nullopt;
    road.width = *width;
    road.height = *height;
    road.pictureHash = *hash;
    road.colour = *rgb;

    for (std::size_t i = 3; i < lines.size(); ++i) {
        if (lines[i] == "run") {
            if (!road.runs.empty() && road.runs.back().empty()) return std::nullopt;
            road.runs.emplace_back();
            continue;
        }
        if (lines[i].empty() && i + 1 == lines.size()) break;  // the last line's end
        const std::vector<std::string_view> words = Words(lines[i]);
        if (road.runs.empty() || words.size() != 3) return std::nullopt;
        const auto metres = Number<double>(words[0]), x = Number<double>(words[1]), y = Number<double>(words[2]);
        if (!metres || !x || !y || *metres < 0 || *metres >= LapMetres || *x < 0 || *x > road.width || *y < 0 ||
            *y > road.height)
            return std::nullopt;
        std::vector<RoadPoint>& run = road.runs.back();
        if (!run.empty()) {
            const double step = Step(run.back().metres, *metres);
            if (step <= 0 || step > LongestStep) return std::nullopt;
        }
        run.push_back(RoadPoint{*metres, MapPixel{*x, *y}});
    }
    if (road.runs.empty() || road.runs.back().empty()) return std::nullopt;
    return road;
}

std::optional<MapRoad> RoadOfPicture(std::string_view roadText, std::string_view pictureBytes) {
    std::optional<MapRoad> road = ParseMapRoad(roadText);
    if (!road || road->pictureHash != Fnv1a64(pictureBytes)) return std::nullopt;
    return road;
}

std::string MapRoadFileName(std::string_view mapPicture) {
    const std::size_t dot = mapPicture.rfind('.');
    return std::string(mapPicture.substr(0, dot)) + ".road";
}

std::optional<double> RoadMetresAt(const MapRoad& road, MapPixel pixel) {
    std::optional<double> found;
    double nearest = RoadClickTolerance;
    for (const std::vector<RoadPoint>& run : road.runs) {
        for (std::size_t i = 0; i < run.size(); ++i) {
            // The segment to the next point; a run's last point alone.
            const RoadPoint& a = run[i];
            const RoadPoint& b = run[i + 1 < run.size() ? i + 1 : i];
            const double dx = b.at.x - a.at.x, dy = b.at.y - a.at.y;
            const double length2 = dx * dx + dy * dy;
            double t = 0;
            if (length2 > 0) t = std::clamp(((pixel.x - a.at.x) * dx + (pixel.y - a.at.y) * dy) / length2, 0.0, 1.0);
            const double distance = std::hypot(a.at.x + t * dx - pixel.x, a.at.y + t * dy - pixel.y);
            if (distance <= nearest) {
                nearest = distance;
                found = Normalised(a.metres + t * Step(a.metres, b.metres));
            }
        }
    }
    return found;
}

std::optional<MapPixel> RoadPixelOf(const MapRoad& road, double metres) {
    for (const std::vector<RoadPoint>& run : road.runs) {
        if (run.size() == 1 && run.front().metres == metres) return run.front().at;
        for (std::size_t i = 0; i + 1 < run.size(); ++i) {
            const RoadPoint &a = run[i], &b = run[i + 1];
            // `along` wraps to nearly a lap for a distance just before the segment's start.
            const double step = Step(a.metres, b.metres), along = Step(a.metres, metres);
            if (along > step) continue;
            const double t = along / step;
            return MapPixel{a.at.x + t * (b.at.x - a.at.x), a.at.y + t * (b.at.y - a.at.y)};
        }
    }
    return std::nullopt;
}

}  // namespace lapforge

#pragma once

#include "core/Bindings.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lapforge {

// GPL's distances run along its 1967 lap, in metres from its start.
inline constexpr int LapMetres = 22800;
// An own point lies outside the pit loop, which Pitlane covers: the loop runs from 22185.7 m over the
// lap's end to 1628.3 m.
inline constexpr int FirstPointMetres = 1629;
inline constexpr int LastPointMetres = 22185;
// Apart from each other and from every section's deploy point, so that every stop's line is its own.
inline constexpr int PointSpacingMetres = 50;
inline constexpr std::size_t MaxPoints = 50;
inline constexpr std::size_t MaxPointNameLength = 40;  // bytes of the ANSI code page

// A deploy point of the driver's own.
struct OwnPoint {
    int metres = 0;
    std::string name;  // in the ANSI code page, as lapforge.ini holds it

    bool operator==(const OwnPoint&) const = default;
};

// The driver's own points in lap order, and whether the cycle visits only them (never without points).
struct OwnPoints {
    std::vector<OwnPoint> list;
    bool onlyThese = false;

    bool operator==(const OwnPoints&) const = default;
};

// A named corner of the lap, at its tightest point.
struct Corner {
    std::string_view name;
    int metres = 0;
};

// The named corners in lap order, the Suedkehre in the pit loop first.
std::span<const Corner> Corners();

// The corner a driver at `metres` comes to next, and how far on it is; one he is already in (its
// tightest point less than 40 m ahead) is behind him.
struct CornerAhead {
    std::string_view name;
    int metres = 0;
};
CornerAhead NextCorner(int metres);

// "Karussell in 450 m": to 50 m from 200 m on, to 10 m below.
std::string CornerAheadText(int metres);
// "Before Karussell", from the next corner.
std::string DefaultPointName(int metres);
// "km 12.30".
std::string KmText(int metres);

// A distance typed in km ("12.3", "12,30", " 7 "), in whole metres; nothing when it is no number.
std::optional<int> ParseKm(std::string_view text);

// The deploy line that puts the car at `metres`: "stall_0 = 12300.00 0.00".
std::string PointDeployLine(int metres);
// The distance a deploy line puts the car at, as GPL reads it; nothing for a line that holds none.
std::optional<double> DeployLineMetres(std::string_view line);

// The section table's row a distance falls in: the last section deploying at or before it (before
// the first one, the last, which runs on over the lap's end).
std::size_t SectionOf(double metres);
// Where the section deploys.
int SectionMetres(std::size_t row);

// The lap view nearest to a distance, a data file's name: "\lap\blick12250.jpg".
std::string LapViewName(int metres);
// Every lap view there is, in lap order.
std::vector<std::string> LapViewNames();

// Why no point may lie at `metres`, in a driver's words; nothing when one may. `moving`: the
// distance of the point being moved, which is no neighbour of its own.
std::optional<std::string> PlaceProblem(const OwnPoints& points, int metres, std::optional<int> moving = {});
// A distance typed for a new point, as the Point window judges it while it is typed: the place, or
// why there can be no point there (for an empty field, what to type).
struct TypedPlace {
    std::optional<int> metres;  // only where a point may go
    std::string problem;

    bool operator==(const TypedPlace&) const = default;
};
TypedPlace PlaceOfTypedKm(const OwnPoints& points, std::string_view typed);
// Why a typed name (8-bit) cannot be a point's; nothing when it can. An empty one stands for the default.
std::optional<std::string> NameProblem(std::string_view name);
// The name as kept: without spaces at its ends; the default for an empty one.
std::string PointName(std::string_view typed, int metres);

// The edits of the points. Each returns why it was refused, in a driver's words, and then changes
// nothing; or nothing when it was done. The list stays in lap order.
std::optional<std::string> AddPoint(OwnPoints& points, int metres, std::string_view name);
std::optional<std::string> RenamePoint(OwnPoints& points, int metres, std::string_view name);
// The point's jump moves with it.
std::optional<std::string> MovePoint(OwnPoints& points, Bindings& bindings, int from, int to);
// Its jump goes with it; the last point takes the "only my points" tick with it.
void RemovePoint(OwnPoints& points, Bindings& bindings, int metres);
// Ticks or clears "only my points"; with no points it stays clear. Returns the tick as it is then.
bool SetOnlyThese(OwnPoints& points, bool only);

// The point at that distance; null when there is none.
const OwnPoint* FindPoint(const OwnPoints& points, int metres);

// Where a stop deploys, and its deploy line.
int StopMetres(const Stop& stop);
std::string StopDeployLine(const Stop& stop);

// The stops the cycle visits, in lap order: the sections, each followed by the points that fall in
// it; only the points while "only my points" is ticked.
std::vector<Stop> LapStops(const OwnPoints& points);
// Whether a deploy line is one a Lapforge writes, judged by its form alone: a section's line, or a
// point's ("stall_0 = <whole metres>.00 0.00" within the points' range), whether or not that point is
// in the list now. Any other line is GPL's own or someone else's.
bool IsLapforgeDeployLine(std::string_view line);
// The stop of the section table or the points whose deploy line it is; nothing for any other line.
std::optional<Stop> StopOfDeployLine(const OwnPoints& points, std::string_view line);
// The stop after, or before, the place the deploy line puts the car at, wrapping round the lap. From
// a line that holds no distance: the first stop, or the last.
Stop NextStop(const OwnPoints& points, std::string_view deployLine);
Stop PreviousStop(const OwnPoints& points, std::string_view deployLine);

}  // namespace lapforge

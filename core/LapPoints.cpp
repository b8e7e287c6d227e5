#include "core/LapPoints.h"

#include "core/Messages.h"
#include "core/SectionTable.h"
#include "core/TrackFileBuffer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace lapforge {

namespace {

// The corners' tightest points, measured on the lap's geometry (tools/track/geometry.py, which
// checks this table against its own).
constexpr std::array<Corner, 40> kCorners{{
    {"Suedkehre", 440},
    {"Nordkehre", 1685},
    {"Hatzenbogen", 2075},
    {"Hatzenbach", 2780},
    {"Hocheichen", 2965},
    {"Quiddelbacher Hoehe", 3455},
    {"Flugplatz", 3795},
    {"Schwedenkreuz", 5115},
    {"Aremberg", 5330},
    {"Fuchsroehre", 6420},
    {"Adenauer Forst", 6700},
    {"Metzgesfeld", 7645},
    {"Kallenhard", 7985},
    {"Spiegelkurve", 8260},
    {"Dreifach-Rechts", 8535},
    {"Wehrseifen", 8915},
    {"Breidscheid", 9405},
    {"Exmuehle", 9615},
    {"Bergwerk", 10425},
    {"Senkenlinks", 11355},
    {"Kesselchen", 11970},
    {"Mutkurve", 12320},
    {"Klostertal", 12765},
    {"Steilstrecke", 13095},
    {"Karussell", 13535},
    {"Hohe Acht", 14360},
    {"Hedwigshoehe", 14825},
    {"Wippermann", 15070},
    {"Eschbach", 15500},
    {"Bruennchen", 15710},
    {"Eiskurve", 16210},
    {"Pflanzgarten", 16790},
    {"Sprunghuegel", 17190},
    {"Schwalbenschwanz", 18195},
    {"Mini-Karussell", 18435},
    {"Galgenkopf", 18795},
    {"Doettinger Hoehe", 20340},
    {"Antoniusbuche", 21300},
    {"Tiergarten", 21775},
    {"Hohenrain", 22035},
}};

// A corner whose tightest point is nearer than this is the one the driver is in, not the next.
constexpr int CornerBehindMetres = 40;

// The lap views are rendered every 250 m of the lap outside the pit loop.
constexpr int LapViewStep = 250;
constexpr int FirstLapView = 1750;
constexpr int LastLapView = 22000;

// `value` rounded to a multiple of `step`, halves to the even multiple, as the views' strip rounds.
int RoundToStep(int value, int step) {
    int quotient = value / step;
    const int rest = value % step;
    if (2 * rest > step || (2 * rest == step && quotient % 2 != 0)) ++quotient;
    return quotient * step;
}

int Wrapped(int metres) { return ((metres % LapMetres) + LapMetres) % LapMetres; }

std::string_view Trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::vector<OwnPoint>::iterator PointAt(OwnPoints& points, int metres) {
    return std::find_if(points.list.begin(), points.list.end(), [&](const OwnPoint& p) { return p.metres == metres; });
}

void SortInLapOrder(OwnPoints& points) {
    std::sort(points.list.begin(), points.list.end(),
              [](const OwnPoint& a, const OwnPoint& b) { return a.metres < b.metres; });
}

}  // namespace

std::span<const Corner> Corners() { return kCorners; }

CornerAhead NextCorner(int metres) {
    CornerAhead next{};
    int nearest = LapMetres + CornerBehindMetres;
    for (const Corner& corner : kCorners) {
        const int ahead = Wrapped(corner.metres - metres - CornerBehindMetres) + CornerBehindMetres;
        if (ahead < nearest) {
            nearest = ahead;
            next = CornerAhead{corner.name, ahead};
        }
    }
    return next;
}

std::string CornerAheadText(int metres) {
    const CornerAhead corner = NextCorner(metres);
    const int rounded = RoundToStep(corner.metres, corner.metres >= 200 ? 50 : 10);
    return std::string(corner.name) + " in " + std::to_string(rounded) + " m";
}

std::string DefaultPointName(int metres) { return "Before " + std::string(NextCorner(metres).name); }

std::string KmText(int metres) {
    const int hundredths = (metres + 5) / 10;
    const int rest = hundredths % 100;
    return "km " + std::to_string(hundredths / 100) + (rest < 10 ? ".0" : ".") + std::to_string(rest);
}

std::optional<int> ParseKm(std::string_view text) {
    std::string number(Trimmed(text));
    // A decimal comma, as many drivers write it.
    std::replace(number.begin(), number.end(), ',', '.');
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(number.begin(), number.end(), '.') > 1 || number == ".")
        return std::nullopt;
    double km = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), km);
    if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
    // Anything longer than a lap many times over is as far outside it as a lap and a bit.
    return static_cast<int>(std::lround(std::min(km, 1000.0) * 1000));
}

std::string PointDeployLine(int metres) { return "stall_0 = " + std::to_string(metres) + ".00 0.00"; }

std::optional<double> DeployLineMetres(std::string_view line) {
    if (!IsDeployLine(line)) return std::nullopt;
    std::string_view value = line.substr(line.find('=') + 1);
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    double metres = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), metres);
    // GPL reads the number up to the first character that is no part of it.
    if (error != std::errc() || !std::isfinite(metres)) return std::nullopt;
    return metres;
}

int SectionMetres(std::size_t row) {
    return static_cast<int>(DeployLineMetres(SectionTable::Rows()[row].deployLine).value_or(0));
}

std::size_t SectionOf(double metres) {
    std::size_t row = SectionTable::Count - 1;
    for (std::size_t i = 0; i < SectionTable::Count; ++i)
        if (SectionMetres(i) <= metres) row = i;
    return row;
}

std::string LapViewName(int metres) {
    const int nearest = std::clamp((metres + LapViewStep / 2) / LapViewStep * LapViewStep, FirstLapView, LastLapView);
    return "\\lap\\blick" + std::to_string(nearest) + ".jpg";
}

std::vector<std::string> LapViewNames() {
    std::vector<std::string> names;
    for (int metres = FirstLapView; metres <= LastLapView; metres += LapViewStep) names.push_back(LapViewName(metres));
    return names;
}

std::optional<std::string> PlaceProblem(const OwnPoints& points, int metres, std::optional<int> moving) {
    if (metres < 0 || metres >= LapMetres) return OutsideLapText(metres);
    if (metres < FirstPointMetres || metres > LastPointMetres) return InPitLoopText(metres);
    if (!moving && points.list.size() >= MaxPoints) return std::string(TooManyPointsText);
    for (std::size_t row = 0; row < SectionTable::Count; ++row)
        if (std::abs(SectionMetres(row) - metres) < PointSpacingMetres)
            return NearSectionText(metres, SectionTable::Rows()[row].name, SectionMetres(row));
    for (const OwnPoint& point : points.list)
        if (point.metres != moving && std::abs(point.metres - metres) < PointSpacingMetres)
            return NearPointText(metres, point.name, point.metres);
    return std::nullopt;
}

TypedPlace PlaceOfTypedKm(const OwnPoints& points, std::string_view typed) {
    if (Trimmed(typed).empty()) return TypedPlace{std::nullopt, std::string(KmPromptText)};
    const std::optional<int> metres = ParseKm(typed);
    if (!metres) return TypedPlace{std::nullopt, KmNotReadText(Trimmed(typed))};
    if (std::optional<std::string> problem = PlaceProblem(points, *metres))
        return TypedPlace{std::nullopt, std::move(*problem)};
    return TypedPlace{metres, {}};
}

std::optional<std::string> NameProblem(std::string_view name) {
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return std::string(NameNotOneLineText);
    if (Trimmed(name).size() > MaxPointNameLength) return std::string(NameTooLongText);
    return std::nullopt;
}

std::string PointName(std::string_view typed, int metres) {
    const std::string_view name = Trimmed(typed);
    return name.empty() ? DefaultPointName(metres) : std::string(name);
}

std::optional<std::string> AddPoint(OwnPoints& points, int metres, std::string_view name) {
    if (auto problem = PlaceProblem(points, metres)) return problem;
    if (auto problem = NameProblem(name)) return problem;
    points.list.push_back(OwnPoint{metres, PointName(name, metres)});
    SortInLapOrder(points);
    return std::nullopt;
}

std::optional<std::string> RenamePoint(OwnPoints& points, int metres, std::string_view name) {
    const auto point = PointAt(points, metres);
    if (point == points.list.end()) return std::nullopt;
    if (auto problem = NameProblem(name)) return problem;
    point->name = PointName(name, metres);
    return std::nullopt;
}

std::optional<std::string> MovePoint(OwnPoints& points, Bindings& bindings, int from, int to) {
    const auto point = PointAt(points, from);
    if (point == points.list.end()) return std::nullopt;
    if (auto problem = PlaceProblem(points, to, from)) return problem;
    point->metres = to;
    for (Jump& jump : bindings.jumps)
        if (jump.target == PointStop(from)) jump.target = PointStop(to);
    SortInLapOrder(points);
    return std::nullopt;
}

void RemovePoint(OwnPoints& points, Bindings& bindings, int metres) {
    const auto point = PointAt(points, metres);
    if (point == points.list.end()) return;
    points.list.erase(point);
    SetJump(bindings, PointStop(metres), Binding{});
    if (points.list.empty()) points.onlyThese = false;
}

bool SetOnlyThese(OwnPoints& points, bool only) {
    points.onlyThese = only && !points.list.empty();
    return points.onlyThese;
}

const OwnPoint* FindPoint(const OwnPoints& points, int metres) {
    for (const OwnPoint& point : points.list)
        if (point.metres == metres) return &point;
    return nullptr;
}

int StopMetres(const Stop& stop) { return stop.ownPoint ? stop.metres : SectionMetres(stop.section); }

std::string StopDeployLine(const Stop& stop) {
    return stop.ownPoint ? PointDeployLine(stop.metres) : std::string(SectionTable::Rows()[stop.section].deployLine);
}

std::vector<Stop> LapStops(const OwnPoints& points) {
    std::vector<Stop> stops;
    const bool sections = !points.onlyThese || points.list.empty();
    for (std::size_t row = 0; row < SectionTable::Count; ++row) {
        if (sections) stops.push_back(SectionStop(row));
        // The points kept in lap order: those after this section's deploy point and before the next's.
        const int end = row + 1 < SectionTable::Count ? SectionMetres(row + 1) : LapMetres;
        for (const OwnPoint& point : points.list)
            if (point.metres >= SectionMetres(row) && point.metres < end) stops.push_back(PointStop(point.metres));
    }
    return stops;
}

bool IsLapforgeDeployLine(std::string_view line) {
    if (StopOfDeployLine(OwnPoints{}, line)) return true;  // a section's
    // A point's, in the list or not: the line a point at its whole metres has.
    const std::optional<double> metres = DeployLineMetres(line);
    if (!metres || *metres < FirstPointMetres || *metres > LastPointMetres) return false;
    return PointDeployLine(static_cast<int>(*metres)) == line;
}

std::optional<Stop> StopOfDeployLine(const OwnPoints& points, std::string_view line) {
    for (std::size_t row = 0; row < SectionTable::Count; ++row)
        if (SectionTable::Rows()[row].deployLine == line) return SectionStop(row);
    for (const OwnPoint& point : points.list)
        if (PointDeployLine(point.metres) == line) return PointStop(point.metres);
    return std::nullopt;
}

Stop NextStop(const OwnPoints& points, std::string_view deployLine) {
    const std::vector<Stop> stops = LapStops(points);
    if (const auto at = DeployLineMetres(deployLine))
        for (const Stop& stop : stops)
            if (StopMetres(stop) > *at) return stop;
    return stops.front();
}

Stop PreviousStop(const OwnPoints& points, std::string_view deployLine) {
    const std::vector<Stop> stops = LapStops(points);
    if (const auto at = DeployLineMetres(deployLine))
        for (auto stop = stops.rbegin(); stop != stops.rend(); ++stop)
            if (StopMetres(*stop) < *at) return *stop;
    return stops.back();
}

}  // namespace lapforge
